// Counted heap blocks: every record of the system is taken and returned here, so a debug
// run can compare the numbers of blocks created and freed at its end and, at a higher
// debug level, trace each allocation and release with the caller's tag.
#include "services/memory_blocks.h"

#include "kvrbase.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

int32_t fsCreateBlockCount = 0;
int32_t fsFreeBlockCount = 0;
int32_t failCountdown = 0; // > 0: creations left until the simulated failure

// The trace shows only the low 32 bits of an address, as the log format always has.
unsigned int TraceAddress(const void* block) {
    return static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(block) & 0xFFFFFFFFu);
}

// The counters wrap like the 32-bit values they are instead of overflowing.
void Bump(int32_t& counter) {
    counter = static_cast<int32_t>(static_cast<uint32_t>(counter) + 1u);
}

bool SimulatedFailureDue() {
    if (failCountdown <= 0) return false;
    return --failCountdown == 0;
}

} // namespace

namespace kvr {

void FailNthBlockCreation(int32_t n) {
    failCountdown = n > 0 ? n : 0;
}

} // namespace kvr

extern "C" {

int32_t CreateBlock(void** BlockPtr, size_t BlockSz) {
    if (BlockPtr == nullptr) return 0;
    *BlockPtr = nullptr;
    // Sizes beyond PTRDIFF_MAX can never be satisfied; refusing them here keeps a
    // sanitizer's allocator from treating the request as a fatal error.
    if (BlockSz > static_cast<size_t>(PTRDIFF_MAX) || SimulatedFailureDue()) return 0;
    // A zero-byte request still yields a distinct block that FreeBlock accepts.
    void* block = std::malloc(BlockSz == 0 ? 1 : BlockSz);
    if (block == nullptr) return 0;
    *BlockPtr = block;
    Bump(fsCreateBlockCount);
    return 1;
}

int32_t CreateBlockWithDebug(void** BlockPtr, size_t BlockSz, const char* iString, int32_t debug) {
    if (CreateBlock(BlockPtr, BlockSz) == 0) return 0;
    if (debug > 1) {
        std::printf("Memory: malloc %06d, %x %05d %s\n", fsCreateBlockCount,
                    TraceAddress(*BlockPtr), static_cast<int>(BlockSz),
                    iString != nullptr ? iString : "");
    }
    return 1;
}

void FreeBlock(void* BlockPtr) {
    if (BlockPtr == nullptr) return;
    std::free(BlockPtr);
    Bump(fsFreeBlockCount);
}

void FreeBlockWithDebug(void* BlockPtr, const char* iString, int32_t debug) {
    // Nothing is released for null, so nothing is counted or traced either.
    if (BlockPtr == nullptr) return;
    const unsigned int address = TraceAddress(BlockPtr); // taken while the block is live
    FreeBlock(BlockPtr);
    if (debug > 1) {
        std::printf("Memory: free   %06d, %x %s\n", fsFreeBlockCount, address,
                    iString != nullptr ? iString : "");
    }
}

void QueryBlockStatistics(int32_t* CreateCount, int32_t* FreeCount) {
    if (CreateCount != nullptr) *CreateCount = fsCreateBlockCount;
    if (FreeCount != nullptr) *FreeCount = fsFreeBlockCount;
}

} // extern "C"
