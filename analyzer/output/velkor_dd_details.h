// The Velkor mode's detail records of a DD's parameter text: "DD PRM1", "DD PRMn",
// "DD PRMn MODNAME", "DD DSP3" and "DD SPC4".
#ifndef KVR_OUTPUT_VELKOR_DD_DETAILS_H
#define KVR_OUTPUT_VELKOR_DD_DETAILS_H

#include <cstdint>

#include "base/contexts.h"

namespace kvr {

// TRUE when iKeyword is one of the 93 DD keywords (exact, upper case).
bool IsDDKeyword(const char* iKeyword);
// Writes the detail records of every parameter of iParms (not the "DD PARM" record).
void PutVelkorDDParmDetails(MemberContext& ctx, const char* iParms);

} // namespace kvr

#endif
