// Ending a run cleanly when memory runs out. Where the analysis can unwind, the member loop
// reports the failure and stops after the member; where it cannot (a copy kvrbase must
// hand out, the loop's own records), this handler writes what the member loop would have
// written and ends the process: no abort, no member without its END JCL, nothing lost that
// was written before.
#include "driver/out_of_memory.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "output/member_records.h"
#include "reader/jcl_statement.h"

namespace kvr {
namespace {
const RunSettings* runInProgress = nullptr;
constexpr int kSevereExitCode = 16;
constexpr size_t kReserveSize = 256 * 1024;
void* reserve = nullptr;

void ReleaseReserve() {
    std::free(reserve);
    reserve = nullptr;
}

// The new handler: the allocation that failed is not retried.
void OnAllocationFailure() {
    ReleaseReserve();
    throw std::bad_alloc();
}

} // namespace

bool HoldMemoryReserve() {
    reserve = std::malloc(kReserveSize);
    if (reserve == nullptr) return false;
    std::set_new_handler(OnAllocationFailure);
    return true;
}

RunInProgress::RunInProgress(const RunSettings& settings) {
    runInProgress = &settings;
    KVRSetOutOfMemoryHandler(EndRunOutOfMemory);
    ForgetOutOfMemory();
}

RunInProgress::~RunInProgress() {
    runInProgress = nullptr;
    KVRSetOutOfMemoryHandler(nullptr);
}

void EndRunOutOfMemory() {
    ReleaseReserve();
    const int16_t mode =
        runInProgress != nullptr ? runInProgress->iProcessingMode : int16_t{kModeStandard};
    const BOOLEAN xml = runInProgress != nullptr ? runInProgress->formatXML : FALSE;
    reportMemoryAllocationError(mode);
    if (MemberRecordsOpen()) {
        KVR_PutEND_JCL(xml);
        if (xml) {
            KVR_PutEND_MEMB();
            KVR_PutEND_LIBR();
        }
    }
    KVR_CloseImportFile();
    KVRCloseLogFile();
    std::fflush(nullptr);
    std::_Exit(kSevereExitCode); // no destructors: they would run on a heap with no room
}

} // namespace kvr
