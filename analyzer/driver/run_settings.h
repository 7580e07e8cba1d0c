// The run settings of one kvr4000 run: what the command line asked for.
#ifndef KVR_DRIVER_RUN_SETTINGS_H
#define KVR_DRIVER_RUN_SETTINGS_H

#include <cstdint>
#include <string>

#include "base/run_mode.h"
#include "kvrbase.h"

namespace kvr {

struct RunSettings {
    std::string argv0;         // the program path, for the copyright block
    std::string containerName; // up to 230 characters, as typed
    std::string fileName;      // up to 254 characters, as typed
    std::string localFile;     // up to 254 characters
    std::string rmType;        // up to 4 characters
    std::string rmDDName;      // up to 8 characters
    BOOLEAN ignoreJCLLIB = FALSE;
    BOOLEAN writeCopyright = FALSE;
    BOOLEAN formatXML = FALSE;
    BOOLEAN captureOPC = FALSE;
    std::string jesVersion = "JES3";
    int16_t normalizeGDG = 0;
    int16_t iProcessingMode = kModeStandard;
    int32_t debug = 0;
    int32_t toolID = 1000002;
};

} // namespace kvr

#endif
