// Tests of the operations shared by every collection kind: creation rules, kind checks,
// null handles and copying.
#include "collection_test_support.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

using namespace kvr::testing;

TEST(CollectionHandleTest, CreationRulesAndRefusals) {
    EXPECT_EQ(InitiateCollection(CDM_TYPE_UNUSE, 4), nullptr);
    EXPECT_EQ(InitiateCollection(CDM_TYPE_ARRAY, 0), nullptr);
    EXPECT_EQ(InitiateCollection(CDM_TYPE_MAP, 0), nullptr);
    EXPECT_EQ(InitiateCollection(7, 4), nullptr);
    Collection map = Make(CDM_TYPE_MAP, 6);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(Record(map)->ulMaxNumber, 6u);
    EXPECT_EQ(Record(map)->ulInitialSize, 6u);

    // Null handles, missing arguments, the wrong kind and an unknown kind byte answer 1.
    int value = 1;
    void* out = &value;
    uint32_t size = 0;
    const unsigned char key[] = "K";
    Collection array = Make(CDM_TYPE_ARRAY, 2);
    Collection list = Make(CDM_TYPE_LIST, 0);
    CDM_HANDLE a = array.get(), l = list.get(), m = map.get(), none = nullptr;
    kvr::cdm_handle unused{};
    // clang-format off
    const uint16_t refused[] = {
        TerminateCollection(nullptr), ClearCollection(nullptr), GetCollectionSize(nullptr, &size),
        GetArrayElement(nullptr, 0, &out), PutArrayElement(nullptr, 0, &value),
        DeleteArrayElement(nullptr, 0), CopyArray(nullptr, nullptr),
        GetNextListElement(nullptr, &out), GetPrevListElement(nullptr, &out),
        InsertAfterListElement(nullptr, &value), InsertBeforeListElement(nullptr, &value),
        DeleteListElement(nullptr), CopyList(nullptr, nullptr),
        GetMapElement(nullptr, key, 1, &out), PutMapElement(nullptr, key, 1, &value),
        GetNextMapElement(nullptr, &out), DeleteMapElement(nullptr, key, 1),
        CopyMap(nullptr, nullptr), GetCollectionSize(l, nullptr), CopyList(&l, &none),
        CopyList(&none, &l), PutArrayElement(l, 0, &value), GetArrayElement(m, 0, &out),
        DeleteArrayElement(m, 0), CopyArray(&a, &l), InsertAfterListElement(a, &value),
        InsertBeforeListElement(m, &value), GetNextListElement(m, &out),
        GetPrevListElement(a, &out), DeleteListElement(a), CopyList(&l, &m),
        PutMapElement(a, key, 1, &value), GetMapElement(l, key, 1, &out),
        GetNextMapElement(l, &out), DeleteMapElement(a, key, 1), CopyMap(&m, &a),
        TerminateCollection(&unused), ClearCollection(&unused), GetCollectionSize(&unused, &size)};
    // clang-format on
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_EQ(refused[i], 1) << "call " << i;
    EXPECT_EQ(CopyCollection(nullptr), nullptr);
    EXPECT_EQ(CopyCollection(&unused), nullptr);
    EXPECT_EQ(SizeOf(array) + SizeOf(list) + SizeOf(map), 0u);
}

TEST(CollectionHandleTest, CopyCollectionOfEachKind) {
    int values[4] = {};
    void* out = nullptr;
    Collection array = Make(CDM_TYPE_ARRAY, 3);
    ASSERT_EQ(PutArrayElement(array.get(), 4, &values[0]), 0); // 6 slots
    Collection arrayCopy(CopyCollection(array.get()));
    ASSERT_NE(arrayCopy, nullptr);
    EXPECT_EQ(Record(arrayCopy)->ulInitialSize, 6u);
    EXPECT_EQ(GetArrayElement(arrayCopy.get(), 4, &out), 0);
    EXPECT_EQ(out, &values[0]);

    const unsigned char keys[] = "ABCD";
    Collection list = Make(CDM_TYPE_LIST, 0);
    Collection map = Make(CDM_TYPE_MAP, 2);
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(InsertAfterListElement(list.get(), &values[i]), 0);
        ASSERT_EQ(PutMapElement(map.get(), keys + i, 1, &values[i]), 0);
    }
    Collection listCopy(CopyCollection(list.get()));
    Collection mapCopy(CopyCollection(map.get()));
    ASSERT_TRUE(listCopy != nullptr && mapCopy != nullptr);
    EXPECT_EQ(SizeOf(mapCopy), 4u);
    void* walked = nullptr;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GetNextListElement(listCopy.get(), &walked), 0);
        EXPECT_EQ(walked, &values[i]);
        EXPECT_EQ(GetMapElement(mapCopy.get(), keys + i, 1, &out), 0);
        EXPECT_EQ(out, &values[i]);
    }
    // An emptied array or map has no buckets or slots to size a copy with.
    ASSERT_EQ(ClearCollection(map.get()), 0);
    EXPECT_EQ(CopyCollection(map.get()), nullptr);
    ASSERT_EQ(ClearCollection(array.get()), 0);
    EXPECT_EQ(CopyCollection(array.get()), nullptr);
}

} // namespace
