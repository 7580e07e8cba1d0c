// The process-wide values of the analyzer (see process.h for why there are any at all).
#include "base/process.h"

#include <cstdlib>

namespace kvr {
namespace {

struct ProcessValues {
    int32_t blockTraceLevel = 0;
    RunContext* run = nullptr;
    MemberContext* member = nullptr;
    void* memoryReserve = nullptr;
};

ProcessValues values;

constexpr size_t kReserveSize = 256 * 1024;

} // namespace

int32_t BlockTraceLevel() { return values.blockTraceLevel; }
void SetBlockTraceLevel(int32_t level) { values.blockTraceLevel = level; }

RunContext* RunInProgress() { return values.run; }
MemberContext* MemberInProgress() { return values.member; }

RunMarker::RunMarker(RunContext& run) { values.run = &run; }
RunMarker::~RunMarker() { values.run = nullptr; }
MemberMarker::MemberMarker(MemberContext& member) { values.member = &member; }
MemberMarker::~MemberMarker() { values.member = nullptr; }

bool HoldMemoryReserve() {
    values.memoryReserve = std::malloc(kReserveSize);
    return values.memoryReserve != nullptr;
}

void ReleaseMemoryReserve() {
    std::free(values.memoryReserve);
    values.memoryReserve = nullptr;
}

} // namespace kvr
