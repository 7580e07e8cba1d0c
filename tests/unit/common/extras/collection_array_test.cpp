// Tests of growable arrays: growth in steps of the initial size, the put and delete
// counting rules, bounds, and copying between arrays of different sizes.
#include "collection_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace kvr::testing;

void* At(const Collection& array, uint32_t index) {
    void* out = &out;
    EXPECT_EQ(GetArrayElement(array.get(), index, &out), 0) << index;
    return out;
}

TEST(CollectionArrayTest, GrowthCountingAndBounds) {
    int a = 1, b = 2, c = 3;
    Collection array = Make(CDM_TYPE_ARRAY, 10);
    EXPECT_EQ(PutArrayElement(array.get(), 3, &a), 0);
    EXPECT_EQ(PutArrayElement(array.get(), 25, &b), 0);
    EXPECT_EQ(Record(array)->ulMaxNumber, 30u); // (25 / 10 + 1) * 10
    EXPECT_EQ(At(array, 3), &a);                // kept across the growth
    EXPECT_EQ(At(array, 25), &b);
    EXPECT_EQ(At(array, 29), nullptr);
    EXPECT_EQ(At(array, 100), nullptr);

    // Overwriting a slot still counts one more element.
    EXPECT_EQ(PutArrayElement(array.get(), 3, &c), 0);
    EXPECT_EQ(SizeOf(array), 3u);
    EXPECT_EQ(At(array, 3), &c);
    EXPECT_EQ(DeleteArrayElement(array.get(), 3), 0);
    EXPECT_EQ(DeleteArrayElement(array.get(), 3), 1); // already empty
    EXPECT_EQ(DeleteArrayElement(array.get(), 30), 1);
    EXPECT_EQ(SizeOf(array), 2u);
    EXPECT_EQ(GetArrayElement(array.get(), 0, nullptr), 1);
    EXPECT_EQ(PutArrayElement(array.get(), 0, nullptr), 1);
    // A table that would need more than 2^32 slots is refused, not wrapped to a small one.
    EXPECT_EQ(PutArrayElement(array.get(), UINT32_MAX, &a), 1);
    EXPECT_EQ(Record(array)->ulMaxNumber, 30u);
    // An index exactly at the table size grows by one step.
    EXPECT_EQ(PutArrayElement(array.get(), 30, &a), 0);
    EXPECT_EQ(Record(array)->ulMaxNumber, 40u);
}

TEST(CollectionArrayTest, CopyArrayRules) {
    int values[3] = {};
    Collection from = Make(CDM_TYPE_ARRAY, 10);
    ASSERT_EQ(PutArrayElement(from.get(), 0, &values[0]), 0);
    ASSERT_EQ(PutArrayElement(from.get(), 29, &values[1]), 0);
    Collection to = Make(CDM_TYPE_ARRAY, 4);
    ASSERT_EQ(PutArrayElement(to.get(), 1, &values[2]), 0);
    Collection empty = Make(CDM_TYPE_ARRAY, 50);
    CDM_HANDLE toHandle = to.get(), fromHandle = from.get(), emptyHandle = empty.get();
    EXPECT_EQ(CopyArray(&toHandle, &fromHandle), 0);
    EXPECT_EQ(Record(to)->ulMaxNumber, 32u); // ((30 - 1) / 4 + 1) * 4
    EXPECT_EQ(SizeOf(to), 2u);
    EXPECT_EQ(At(to, 29), &values[1]);
    EXPECT_EQ(At(to, 1), nullptr); // every slot of `from` was copied, empty ones too
    // An array without elements copies nothing.
    EXPECT_EQ(CopyArray(&toHandle, &emptyHandle), 0);
    EXPECT_EQ(Record(to)->ulMaxNumber, 32u);
    EXPECT_EQ(SizeOf(to), 2u);

    // A larger target keeps its size and its slots beyond the copied ones, but takes the
    // source's count; deleting all its filled slots must not wrap the count.
    Collection big = Make(CDM_TYPE_ARRAY, 100);
    for (uint32_t index : {50u, 60u, 70u})
        ASSERT_EQ(PutArrayElement(big.get(), index, &values[2]), 0);
    CDM_HANDLE bigHandle = big.get();
    EXPECT_EQ(CopyArray(&bigHandle, &fromHandle), 0);
    EXPECT_EQ(Record(big)->ulMaxNumber, 100u);
    EXPECT_EQ(SizeOf(big), 2u);
    EXPECT_EQ(At(big, 0), &values[0]);
    EXPECT_EQ(At(big, 50), &values[2]);
    for (uint32_t index : {0u, 29u, 50u, 60u, 70u})
        EXPECT_EQ(DeleteArrayElement(big.get(), index), 0);
    EXPECT_EQ(SizeOf(big), 0u);
    EXPECT_EQ(CopyArray(&fromHandle, &fromHandle), 0);
    EXPECT_EQ(SizeOf(from), 2u);
}

} // namespace
