// The end of a run whose memory ran out where the analysis cannot unwind to the member
// boundary: inside a kvrbase copy, or in the member loop's own bookkeeping.
#ifndef KVR_DRIVER_OUT_OF_MEMORY_H
#define KVR_DRIVER_OUT_OF_MEMORY_H

namespace kvr {

// Holds back the memory reserve and makes a failed allocation give it up and throw
// std::bad_alloc; false when the program cannot even start.
bool PrepareForOutOfMemory();

// While it lives, kvrbase ends the run through EndRunOutOfMemory when memory runs out.
struct OutOfMemoryHandler {
    OutOfMemoryHandler();
    ~OutOfMemoryHandler();
    OutOfMemoryHandler(const OutOfMemoryHandler&) = delete;
    OutOfMemoryHandler& operator=(const OutOfMemoryHandler&) = delete;
};

// Reports 1450 (3050) with its MSG record, frames the member being written with its END
// JCL records (closing what XML elements are open), writes out the import file and the
// log and ends the process with exit code 16. Takes no memory.
[[noreturn]] void EndRunOutOfMemory();

} // namespace kvr

#endif
