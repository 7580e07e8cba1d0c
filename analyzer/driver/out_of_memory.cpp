// Ending a run cleanly when memory runs out. Where the analysis can unwind, the member loop
// reports the failure and stops after the member; where it cannot (a copy kvrbase must
// hand out, the loop's own records), this handler writes what the member loop would have
// written and ends the process: no abort, no member without its END JCL, nothing lost that
// was written before.
#include "driver/out_of_memory.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "base/diagnostics.h"
#include "base/process.h"
#include "output/member_records.h"

namespace kvr {
namespace {

constexpr int kSevereExitCode = 16;

// The new handler: the reserve is given up and the allocation that failed is not retried.
void OnAllocationFailure() {
    ReleaseMemoryReserve();
    throw std::bad_alloc();
}

} // namespace

bool PrepareForOutOfMemory() {
    if (!HoldMemoryReserve()) return false;
    std::set_new_handler(OnAllocationFailure);
    return true;
}

OutOfMemoryHandler::OutOfMemoryHandler() { KVRSetOutOfMemoryHandler(EndRunOutOfMemory); }
OutOfMemoryHandler::~OutOfMemoryHandler() { KVRSetOutOfMemoryHandler(nullptr); }

void EndRunOutOfMemory() {
    ReleaseMemoryReserve();
    if (RunContext* run = RunInProgress(); run != nullptr) reportMemoryAllocationError(*run);
    if (MemberContext* member = MemberInProgress(); member != nullptr && member->output.memberOpen) {
        KVR_PutEND_JCL(*member);
        if (member->run.formatXML) {
            KVR_PutEND_MEMB(*member);
            KVR_PutEND_LIBR(*member);
        }
    }
    KVR_CloseImportFile();
    KVRCloseLogFile();
    std::fflush(nullptr);
    std::_Exit(kSevereExitCode); // no destructors: they would run on a heap with no room
}

} // namespace kvr
