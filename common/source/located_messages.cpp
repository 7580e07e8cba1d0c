// Messages about a card: a locator line naming the member and line number comes first
// (1470 before a warning, 1471 otherwise), then the message; both can also go to the
// import file as MSG records.
#include <cstdio>

#include "source/source_access.h"

namespace kvr {

namespace {

constexpr size_t kMessageText = 512;

uint32_t LocatorFor(uint32_t iMsg, const char* r1, const char* r2, const char* r3, const char* r4,
                    int16_t iProcessingMode) {
    char text[kMessageText] = {};
    KVRGetMessageText(text, iMsg, r1, r2, r3, r4);
    bool warning = KVRGetMessageType(text) == 4;
    if (IsVelkor(iProcessingMode)) return warning ? 3130 : 3131;
    return warning ? 1470 : 1471;
}

// Writes the locator and the message, to the log and, with logMSG, as MSG records.
void WriteLocated(uint32_t iMsg, const char* r1, const char* r2, const char* r3, const char* r4,
                  BOOLEAN logMSG, SOURCE_REF iFileReference, int32_t iFileLine,
                  int16_t iProcessingMode) {
    SOURCE_REF ref = iFileReference < 0 ? 1 : iFileReference;
    const ReferencedSource* source = ReferencedSourceAt(ref);
    const char* member = source ? source->fileName : "";
    char line[16];
    std::snprintf(line, sizeof line, "%1d", static_cast<int>(iFileLine));

    uint32_t locator = LocatorFor(iMsg, r1, r2, r3, r4, iProcessingMode);
    KVRWriteMessageWithStrings(locator, member, line, nullptr, nullptr);
    KVRWriteMessageWithStrings(iMsg, r1, r2, r3, r4);
    if (logMSG) {
        const char* step = MsgRecordStep(iProcessingMode);
        KVR_Write_MSG_RecordWithStrings("JCL", step, static_cast<int32_t>(locator), member, line,
                                        nullptr, nullptr);
        KVR_Write_MSG_RecordWithStrings("JCL", step, static_cast<int32_t>(iMsg), r1, r2, r3, r4);
    }
}

} // namespace

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void KVRWriteMessageWithFileLine(uint32_t iMsg, BOOLEAN logMSG, SOURCE_REF iFileReference,
                                         int32_t iFileLine, int16_t iProcessingMode) {
    WriteLocated(iMsg, nullptr, nullptr, nullptr, nullptr, logMSG, iFileReference, iFileLine,
                 iProcessingMode);
}

KVR_API void KVRWriteMessageWithStringsAndFileLine(uint32_t iMsg, const char* iReplace1,
                                                   const char* iReplace2, const char* iReplace3,
                                                   const char* iReplace4, BOOLEAN logMSG,
                                                   SOURCE_REF iFileReference, int32_t iFileLine,
                                                   int16_t iProcessingMode) {
    WriteLocated(iMsg, iReplace1, iReplace2, iReplace3, iReplace4, logMSG, iFileReference,
                 iFileLine, iProcessingMode);
}

} // extern "C"
