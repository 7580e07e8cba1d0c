// The run mode of kvr4000 and what it chooses: the standard numbers of messages or the
// companion debugger's, and the program id that MSG records name.
#ifndef KVR_BASE_RUN_MODE_H
#define KVR_BASE_RUN_MODE_H

#include <cstdint>

namespace kvr {

// Run modes: standard, Dravix (-f) and Velkor (-t).
enum : int16_t { kModeStandard = 0, kModeDravix = 1, kModeVelkor = 2 };

// The message number for the run mode: the Velkor number in Velkor mode.
inline uint32_t MessageFor(int16_t mode, uint32_t standard, uint32_t velkor) {
    return mode == kModeVelkor ? velkor : standard;
}

// The program id of MSG records: "VADIRADO" in Velkor mode, else "KVR4000".
inline const char* MsgProgramId(int16_t mode) {
    return mode == kModeVelkor ? "VADIRADO" : "KVR4000";
}

} // namespace kvr

#endif
