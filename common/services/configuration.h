// Internal side of the configuration files: the section lists themselves, so tests can
// see how many sections a file produced.
#ifndef KVR_SERVICES_CONFIGURATION_H
#define KVR_SERVICES_CONFIGURATION_H

namespace kvr {

// The list of sections read from "DD:KVRCFG" / "DD:KVRANLZ"; null when there is none.
void* CommonCfgList();
void* AnalyzersCfgList();

} // namespace kvr

#endif
