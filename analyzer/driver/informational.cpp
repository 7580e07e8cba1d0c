// Usage, version, copyright and echo lines. Each line is one message with the text as its
// insert, so the log shows them with their identifiers like every other line.
#include "driver/informational.h"

#include <cstdio>

#include "driver/run_settings.h"
#include "kvrbase.h"

namespace kvr {
namespace {

constexpr const char* kUsageLines[] = {
    "Usage: kvr4000 [-options] containerName fileName",
    " ",
    "where options include:",
    "    -c          print copyright message",
    "    -d          run in debug mode",
    "    -f          run in Dravix mode",
    "    -g          normalize GDG -0, +0 names",
    "    -h[elp]     print this help message and exit",
    "    -i          ignore JCLLIB ORDER= statements",
    "    -jes[2|3]   use JES2 or JES3 processing rules",
    "    -t          run in Velkor mode",
    "    -v[ersion]  print product version and exit",
    "    -x[ml]      generate import file in XML format",
    "    -?          print this help message and exit",
    " ",
};

void WriteTextLine(int16_t mode, const char* text) {
    KVRWriteMessageWithStrings(MessageFor(mode, 1119, 3010), text, nullptr, nullptr, nullptr);
}

} // namespace

void ShowUsageInformation(int16_t iProcessingMode) {
    for (const char* line : kUsageLines)
        WriteTextLine(iProcessingMode, line);
}

void ShowVersionInformation(int16_t iProcessingMode) {
    KVRWriteMessageWithStrings(MessageFor(iProcessingMode, 1001, 3002), "KVR4000", KVR_VERSION_TEXT,
                               KVR_BUILD_LEVEL, nullptr);
    WriteTextLine(iProcessingMode, " ");
}

void ShowCopyrightStatement(const char* argv0, int16_t iProcessingMode) {
    if (iProcessingMode == kModeVelkor)
        kvru900_Velkor(argv0, KVR_COPYRIGHT_YEARS, __DATE__, __TIME__);
    else
        kvru900(argv0, KVR_COPYRIGHT_YEARS, __DATE__, __TIME__);
}

void EchoParameters(int argc, char** argv, int16_t iProcessingMode) {
    KVRWriteMessage(MessageFor(iProcessingMode, 1410, 3097));
    for (int index = 1; index < argc; ++index)
        KVRWriteMessageWithStrings(MessageFor(iProcessingMode, 1101, 3010), argv[index], nullptr,
                                   nullptr, nullptr);
}

void ReportMallocFreeStatistics(int16_t iProcessingMode, int32_t debug) {
    int32_t created = 0;
    int32_t freed = 0;
    QueryBlockStatistics(&created, &freed);
    if (!debug) return;
    char text[64];
    std::snprintf(text, sizeof text, "malloc/free counts are %d / %d", created, freed);
    KVRWriteMessageWithStrings(MessageFor(iProcessingMode, 2134, 3010), text, nullptr, nullptr,
                               nullptr);
}

} // namespace kvr
