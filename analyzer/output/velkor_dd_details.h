// The Velkor mode's detail records of a DD's parameter text: "DD PRM1", "DD PRMn",
// "DD PRMn MODNAME", "DD DSP3" and "DD SPC4".
#ifndef KVR_OUTPUT_VELKOR_DD_DETAILS_H
#define KVR_OUTPUT_VELKOR_DD_DETAILS_H

#include <cstdint>

namespace kvr {

// TRUE when iKeyword is one of the 93 DD keywords (exact, upper case).
bool IsDDKeyword(const char* iKeyword);
// Writes the detail records of every parameter of iParms (not the "DD PARM" record).
void PutVelkorDDParmDetails(const char* iParms, int16_t iProcessingMode, int32_t debug);

} // namespace kvr

#endif
