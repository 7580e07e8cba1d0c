// The entry sequence: settings, severity, code page, tool identifier, log, command line,
// informational output, search lists, translations, system symbols, import file, then the
// members and the tear-down in reverse order. The exit code is the maximum severity of the
// whole run; a failure while the search lists, the system symbols or the import file are
// set up ends the run at once.
#include "driver/entry.h"

#include "driver/catalog_check.h"
#include "driver/command_line.h"
#include "driver/informational.h"
#include "driver/member_loop.h"
#include "base/process.h"
#include "driver/out_of_memory.h"
#include "driver/run_settings.h"
#include "kvrbase.h"
#include "output/member_records.h"
#include "reader/system_symbols.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {

constexpr int32_t kContainerNameMax = 230;
constexpr int32_t kFileNameMax = 254;
constexpr uint32_t kDefaultLogFailureMessage = 1638;
constexpr int kCatalogUnusable = 16;

// The run's context from what the command line asked for.
void FillRunContext(RunContext& run, const RunSettings& settings) {
    run.mode = settings.iProcessingMode;
    run.debug = settings.debug;
    run.formatXML = settings.formatXML;
    run.normalizeGDG = settings.normalizeGDG;
    run.ignoreJCLLIB = settings.ignoreJCLLIB;
    run.captureOPC = settings.captureOPC != FALSE;
    run.jesVersion = settings.jesVersion;
    SetBlockTraceLevel(run.debug);
}

// Runs the set-up steps that may fail; false when the run must end at once.
bool SetUpServices(RunContext& run) {
    KVR_SetMSG_Format(run.formatXML);
    LoadDefaultSearchList(run.mode, run.debug);
    if (KVRU005() != 0) return false;
    LoadLibraryTranslations(run.mode, run.debug);
    if (KVRU005() != 0) return false;
    if (!LoadSystemSymbols(run)) return false;
    // A malformed line's warning counts for the run's exit code, not for the first member.
    run.setUpSeverity = KVRU005();
    ResetMaximumSeverity();
    InitializeParameterCaptureControl(run);
    KVR_OpenImportFile("w", run.mode);
    if (KVRU005() != 0) return false;
    KVR_PutXML_start(run);
    KVRIOAPI_Initialize(run.debug);
    return true;
}

void AnalyzeMembers(RunContext& run, const RunSettings& settings) {
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
        ProcessSingleFile(run, request);
    else
        ProcessMultipleFiles(run);
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
    RunContext run;
    const RunMarker inProgress(run);
    const OutOfMemoryHandler outOfMemory;
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

    FillRunContext(run, settings);
    if (!SetUpServices(run)) {
        run.capture.Clear();
        run.systemSymbols.reset();
        KVRCloseLogFile();
        return ExitCode();
    }
    AnalyzeMembers(run, settings);
    SetMaximumSeverity(run.setUpSeverity);

    KVRIOAPI_Terminate(settings.debug);
    KVR_CloseImportFile();
    // Before the block statistics, which count their blocks.
    run.capture.Clear();
    run.systemSymbols.reset();
    if (settings.debug) PrintFileTables(settings.iProcessingMode);
    ReportMallocFreeStatistics(settings.iProcessingMode, settings.debug);
    KVRCloseLogFile();
    return ExitCode();
}

} // namespace kvr
