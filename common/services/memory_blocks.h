// Internal side of the counted block allocator: a way for tests to make an allocation
// fail on purpose, so the paths that handle an exhausted heap can be exercised.
#ifndef KVR_SERVICES_MEMORY_BLOCKS_H
#define KVR_SERVICES_MEMORY_BLOCKS_H

#include <cstdint>

namespace kvr {

// Makes the nth block creation from now fail as if memory were exhausted (1 = the next
// one); the countdown then stops. 0 or a negative n cancels a pending failure.
void FailNthBlockCreation(int32_t n);

} // namespace kvr

#endif
