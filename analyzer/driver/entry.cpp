// The entry sequence: settings, severity, code page, tool identifier, log, command line,
// informational output, search lists, import file, then the members and the tear-down in
// reverse order. The exit code is the maximum severity of the whole run; a failure while
// the search lists or the import file are set up ends the run at once.
#include "driver/entry.h"

#include "driver/catalog_check.h"
#include "driver/command_line.h"
#include "driver/informational.h"
#include "driver/member_loop.h"
#include "driver/out_of_memory.h"
#include "driver/run_settings.h"
#include "kvrbase.h"
#include "output/member_records.h"
#include "output/record_writer.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {

constexpr int32_t kContainerNameMax = 230;
constexpr int32_t kFileNameMax = 254;
constexpr uint32_t kDefaultLogFailureMessage = 1638;
constexpr int kCatalogUnusable = 16;

// Runs the set-up steps that may fail; false when the run must end at once.
bool SetUpServices(const RunSettings& settings) {
    KVR_SetMSG_Format(settings.formatXML);
    LoadDefaultSearchList(settings.iProcessingMode, settings.debug);
    if (KVRU005() != 0) return false;
    LoadLibraryTranslations(settings.iProcessingMode, settings.debug);
    if (KVRU005() != 0) return false;
    InitializeParameterCaptureControl(settings.iProcessingMode, settings.debug);
    KVR_OpenImportFile("w", settings.iProcessingMode);
    if (KVRU005() != 0) return false;
    SetRecordWriterMode(settings.iProcessingMode);
    KVR_PutXML_start(settings.formatXML);
    KVRIOAPI_Initialize(settings.debug);
    return true;
}

void AnalyzeMembers(const RunSettings& settings) {
    MemberRequest request;
    request.containerName = settings.containerName;
    request.fileName = settings.fileName;
    request.localFile = settings.localFile;
    request.rmType = settings.rmType;
    request.rmDDName = settings.rmDDName;
    char normalized[1025];
    NormalizeName(request.containerName.c_str(), normalized, kContainerNameMax, 0, 1,
                  settings.debug);
    request.containerNameNoQuotes = normalized;
    NormalizeName(request.fileName.c_str(), normalized, kFileNameMax, 0, 1, settings.debug);
    request.fileNameNoQuotes = normalized;
    if (!request.containerNameNoQuotes.empty() && !request.fileNameNoQuotes.empty())
        ProcessSingleFile(request, settings);
    else
        ProcessMultipleFiles(settings);
}

// The exit code: the maximum severity, and at least 8 when the log lost messages.
int ExitCode() {
    constexpr int32_t kLogLost = 8;
    return KVRLogFileFailed() && KVRU005() < kLogLost ? kLogLost : KVRU005();
}

} // namespace

int RunAnalyzer(int argc, char** argv) {
    RunSettings settings;
    settings.argv0 = argc > 0 && argv[0] ? argv[0] : "kvr4000";
    const RunInProgress inProgress(settings);
    ResetMaximumSeverity();
    // A run in the same process as an earlier one (-t switches both) starts from the defaults.
    setMessageDll("kvrmsg.dll");
    setLogFileErrorMsg(kDefaultLogFailureMessage);
    KVRDBCS_SetEnvironment(nullptr, KVR_GetLocaleCodepage());
    KVRU001(&settings.toolID);
    KVROpenLogFile(FALSE, 0);
    if (!MessageCatalogIsUsable(kModeStandard)) {
        KVRCloseLogFile();
        return kCatalogUnusable;
    }

    if (ParseCommandLine(argc, argv, settings)) {
        KVRCloseLogFile();
        return ExitCode();
    }
    if (settings.iProcessingMode == kModeVelkor && !MessageCatalogIsUsable(kModeVelkor)) {
        KVRCloseLogFile();
        return kCatalogUnusable;
    }
    if (settings.writeCopyright) {
        ShowCopyrightStatement(settings.argv0.c_str(), settings.iProcessingMode);
        ShowVersionInformation(settings.iProcessingMode);
    }
    if (settings.iProcessingMode == kModeDravix || settings.debug)
        EchoParameters(argc, argv, settings.iProcessingMode);

    if (!SetUpServices(settings)) {
        TerminateParameterCaptureControl(settings.debug);
        KVRCloseLogFile();
        return ExitCode();
    }
    AnalyzeMembers(settings);

    KVRIOAPI_Terminate(settings.debug);
    KVR_CloseImportFile();
    TerminateParameterCaptureControl(settings.debug);
    if (settings.debug) PrintFileTables(settings.iProcessingMode);
    ReportMallocFreeStatistics(settings.iProcessingMode, settings.debug);
    KVRCloseLogFile();
    return ExitCode();
}

} // namespace kvr
