// Counted blocks: both counters move exactly once per real allocation or release, a
// failed allocation leaves no trace in them, and -d2 traces each block in a fixed shape.
#include "services/memory_blocks.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
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

std::string ZeroPadded(long value, size_t width) {
    std::string digits = std::to_string(value);
    return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

std::string LowHex(const void* block) {
    std::ostringstream out;
    out << std::hex << (reinterpret_cast<std::uintptr_t>(block) & 0xFFFFFFFFu);
    return out.str();
}

TEST(MemoryBlocks, CountsEveryCreateAndFreeButNotNull) {
    const Counts before = Now();
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(1, CreateBlock(&first, 16));
    ASSERT_EQ(1, CreateBlockWithDebug(&second, 0, "Empty", 0));
    EXPECT_NE(nullptr, first);
    EXPECT_NE(nullptr, second); // a zero-byte block is still a real, freeable block
    EXPECT_NE(first, second);
    EXPECT_EQ(before.created + 2, Now().created);
    EXPECT_EQ(before.freed, Now().freed);

    FreeBlock(first);
    FreeBlockWithDebug(second, "Empty", 0);
    FreeBlock(nullptr);
    FreeBlockWithDebug(nullptr, "Nothing", 2);
    EXPECT_EQ(before.created + 2, Now().created);
    EXPECT_EQ(before.freed + 2, Now().freed);

    QueryBlockStatistics(nullptr, nullptr); // either result may be left out
}

TEST(MemoryBlocks, FailedAllocationReturnsZeroStoresNullAndIsNotCounted) {
    const Counts before = Now();
    void* block = &block; // anything but null, to see that null is stored
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
    EXPECT_EQ("", testing::internal::GetCapturedStdout()); // no trace for a failure
    EXPECT_EQ(nullptr, b);
    EXPECT_EQ(1, CreateBlock(&c, 8));
    EXPECT_EQ(before.created + 2, Now().created);
    FreeBlock(a);
    FreeBlock(c);
    EXPECT_EQ(before.freed + 2, Now().freed);
}

TEST(MemoryBlocks, TraceLinesAtDebugTwoOnly) {
    void* quiet = nullptr;
    testing::internal::CaptureStdout();
    ASSERT_EQ(1, CreateBlockWithDebug(&quiet, 8, "Quiet", 1));
    FreeBlockWithDebug(quiet, "Quiet", 1);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());

    const Counts before = Now();
    void* block = nullptr;
    testing::internal::CaptureStdout();
    ASSERT_EQ(1, CreateBlockWithDebug(&block, 24, "CreateList", 2));
    const std::string address = LowHex(block);
    FreeBlockWithDebug(block, "FreeList", 2);
    const std::string trace = testing::internal::GetCapturedStdout();

    const std::string expected = "Memory: malloc " + ZeroPadded(before.created + 1, 6) + ", " +
                                 address + " 00024 CreateList\n" + "Memory: free   " +
                                 ZeroPadded(before.freed + 1, 6) + ", " + address + " FreeList\n";
    EXPECT_EQ(expected, trace);

    // A missing tag traces as an empty one.
    testing::internal::CaptureStdout();
    ASSERT_EQ(1, CreateBlockWithDebug(&block, 1, nullptr, 2));
    FreeBlockWithDebug(block, nullptr, 2);
    const std::string untagged = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, untagged.find(" 00001 \n"));
}

} // namespace
