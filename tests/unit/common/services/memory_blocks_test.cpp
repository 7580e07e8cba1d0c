// Counted blocks: both counters move exactly once per real allocation or release, a
// failed allocation leaves no trace in them, and -d2 traces each block in a fixed shape.
#include "services/memory_blocks.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct Counts {
    int32_t created = 0;
    int32_t freed = 0;
};

Counts Now() {
    Counts c;
    QueryBlockStatistics(&c.created, &c.freed);
    return c;
}

TEST(MemoryBlocks, CountsRealBlocksOnly) {
    const Counts before = Now();
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(1, CreateBlock(&first, 16));
    ASSERT_EQ(1, CreateBlockWithDebug(&second, 0, "Empty", 0));
    EXPECT_NE(nullptr, second); // a zero-byte block is still a real, freeable block
    EXPECT_NE(first, second);
    FreeBlock(first);
    FreeBlockWithDebug(second, "Empty", 0);
    FreeBlock(nullptr);
    FreeBlockWithDebug(nullptr, "Nothing", 2);
    EXPECT_EQ(before.created + 2, Now().created);
    EXPECT_EQ(before.freed + 2, Now().freed);
    QueryBlockStatistics(nullptr, nullptr); // either result may be left out

    // A failed allocation answers 0, stores null and is neither counted nor traced.
    void* block = &block;
    EXPECT_EQ(0, CreateBlock(&block, SIZE_MAX));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(0, CreateBlock(nullptr, 8));
    // A simulated shortage hits exactly the chosen creation, then stops.
    void* a = nullptr;
    void* b = &b;
    void* c = nullptr;
    kvr::FailNthBlockCreation(2);
    EXPECT_EQ(1, CreateBlock(&a, 8));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, CreateBlockWithDebug(&b, 8, "NoMemory", 2));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(nullptr, b);
    EXPECT_EQ(1, CreateBlock(&c, 8));
    EXPECT_EQ(before.created + 4, Now().created);
    FreeBlock(a);
    FreeBlock(c);
}

TEST(MemoryBlocks, TraceLinesAtDebugTwoOnly) {
    void* block = nullptr;
    testing::internal::CaptureStdout();
    ASSERT_EQ(1, CreateBlockWithDebug(&block, 8, "Quiet", 1));
    FreeBlockWithDebug(block, "Quiet", 1);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());

    const Counts before = Now();
    testing::internal::CaptureStdout();
    ASSERT_EQ(1, CreateBlockWithDebug(&block, 24, "CreateList", 2));
    const auto address =
        static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(block) & 0xFFFFFFFFu);
    FreeBlockWithDebug(block, "FreeList", 2);
    // A missing tag traces as an empty one.
    ASSERT_EQ(1, CreateBlockWithDebug(&block, 1, nullptr, 2));
    FreeBlockWithDebug(block, nullptr, 2);
    const std::string trace = testing::internal::GetCapturedStdout();
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "Memory: malloc %06d, %lx 00024 CreateList\nMemory: free   %06d, %lx FreeList\n",
                  before.created + 1, address, before.freed + 1, address);
    EXPECT_EQ(0u, trace.find(expected)) << trace;
    EXPECT_NE(std::string::npos, trace.find(" 00001 \n"));
}

} // namespace
