// The entry sequence: settings, severity, code page, tool identifier, log, command line,
// informational output, then the analysis and the tear-down in reverse order. The exit
// code is the maximum severity of the whole run.
#include "driver/entry.h"

#include "driver/command_line.h"
#include "driver/informational.h"
#include "driver/run_settings.h"
#include "kvrbase.h"

namespace kvr {

int RunAnalyzer(int argc, char** argv) {
    RunSettings settings;
    settings.argv0 = argc > 0 && argv[0] ? argv[0] : "kvr4000";
    ResetMaximumSeverity();
    KVRDBCS_SetEnvironment(nullptr, KVR_GetLocaleCodepage());
    KVRU001(&settings.toolID);
    KVROpenLogFile(FALSE, 0);

    if (ParseCommandLine(argc, argv, settings)) {
        KVRCloseLogFile();
        return KVRU005();
    }
    if (settings.writeCopyright) {
        ShowCopyrightStatement(settings.argv0.c_str(), settings.iProcessingMode);
        ShowVersionInformation(settings.iProcessingMode);
    }
    if (settings.iProcessingMode == kModeDravix || settings.debug)
        EchoParameters(argc, argv, settings.iProcessingMode);

    ReportMallocFreeStatistics(settings.iProcessingMode, settings.debug);
    KVRCloseLogFile();
    return KVRU005();
}

} // namespace kvr
