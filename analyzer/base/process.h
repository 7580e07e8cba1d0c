// The analyzer's few process-wide values, kept together here and nowhere else: what a
// handle released without a context needs (the run's trace level for blocks), and what the
// out-of-memory handler that kvrbase calls without a context needs (the run and the member
// in progress, and the memory held back to report with). Everything else lives in the
// contexts.
#ifndef KVR_BASE_PROCESS_H
#define KVR_BASE_PROCESS_H

#include <cstdint>

#include "base/contexts.h"

namespace kvr {

// The run and the member whose records are being written, while their markers live; null
// outside. Only the out-of-memory handler looks at them.
RunContext* RunInProgress();
MemberContext* MemberInProgress();

struct RunMarker {
    explicit RunMarker(RunContext& run);
    ~RunMarker();
    RunMarker(const RunMarker&) = delete;
    RunMarker& operator=(const RunMarker&) = delete;
};

struct MemberMarker {
    explicit MemberMarker(MemberContext& member);
    ~MemberMarker();
    MemberMarker(const MemberMarker&) = delete;
    MemberMarker& operator=(const MemberMarker&) = delete;
};

// Memory held back from the start and given up the first time memory runs out, so that the
// exception carrying the failure and the records that end the run can still be made. False
// when not even the reserve can be had.
bool HoldMemoryReserve();
void ReleaseMemoryReserve();

} // namespace kvr

#endif
