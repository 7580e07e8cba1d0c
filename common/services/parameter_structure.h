// Internal side of the parameter structure: where a structure keeps its copy of the
// operand text, so that tests and fuzz targets can check that every parameter handed
// out lies inside that copy.
#ifndef KVR_SERVICES_PARAMETER_STRUCTURE_H
#define KVR_SERVICES_PARAMETER_STRUCTURE_H

#include <cstdint>

namespace kvr {

// Most parameters one structure holds; one more is refused with message 1359.
inline constexpr int32_t kMaxParmEntries = 2096;
// Entries of the delimiter stack, the base comma included.
inline constexpr int32_t kMatchStackSize = 20;

// The copy of the operand text inside a structure (null when it was built without text)
// and its length in bytes, terminator included (0 without text).
const char* ParmDataOf(const void* ParmArg, uint32_t* outLength);

} // namespace kvr

#endif
