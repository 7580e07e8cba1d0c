// The end of a run whose memory ran out where the analysis cannot unwind to the member
// boundary: inside a kvrbase copy, or in the member loop's own bookkeeping.
#ifndef KVR_DRIVER_OUT_OF_MEMORY_H
#define KVR_DRIVER_OUT_OF_MEMORY_H

#include "driver/run_settings.h"

namespace kvr {

// Holds back a reserve of memory, given up the first time memory runs out so that the
// exception that carries the failure and the records that end the run can still be made;
// from then on an allocation that fails throws std::bad_alloc. False when not even the
// reserve can be had: the program then cannot start.
bool HoldMemoryReserve();

// The settings of the run in progress, for the handler below, while it lives.
struct RunInProgress {
    explicit RunInProgress(const RunSettings& settings);
    ~RunInProgress();
    RunInProgress(const RunInProgress&) = delete;
    RunInProgress& operator=(const RunInProgress&) = delete;
};

// Reports 1450 (3050) with its MSG record, frames the member being written with its END
// JCL records (closing what XML elements are open), writes out the import file and the
// log and ends the process with exit code 16. Takes no memory. kvrbase calls it through
// KVRSetOutOfMemoryHandler.
[[noreturn]] void EndRunOutOfMemory();

} // namespace kvr

#endif
