// The informational outputs of the command line: usage text, version, copyright block,
// the argument echo and the block statistics of debug runs. All are numbered messages.
#ifndef KVR_DRIVER_INFORMATIONAL_H
#define KVR_DRIVER_INFORMATIONAL_H

#include <cstdint>

namespace kvr {

void ShowUsageInformation(int16_t iProcessingMode);
void ShowVersionInformation(int16_t iProcessingMode);
void ShowCopyrightStatement(const char* argv0, int16_t iProcessingMode);
void EchoParameters(int argc, char** argv, int16_t iProcessingMode);
void ReportMallocFreeStatistics(int16_t iProcessingMode, int32_t debug);

} // namespace kvr

#endif
