// Tests of the operations shared by every collection kind: creation rules, kind checks,
// null handles, clearing and copying.
#include "collection_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace kvr::testing;

TEST(CollectionHandleTest, CreationRules) {
    EXPECT_EQ(InitiateCollection(CDM_TYPE_UNUSE, 4), nullptr);
    EXPECT_EQ(InitiateCollection(CDM_TYPE_ARRAY, 0), nullptr);
    EXPECT_EQ(InitiateCollection(CDM_TYPE_MAP, 0), nullptr);
    EXPECT_EQ(InitiateCollection(7, 4), nullptr);

    Collection list = Make(CDM_TYPE_LIST, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SizeOf(list), 0u);

    Collection map = Make(CDM_TYPE_MAP, 6);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(Record(map)->enumType, CDM_TYPE_MAP);
    EXPECT_EQ(Record(map)->ulMaxNumber, 6u);
    EXPECT_EQ(Record(map)->ulInitialSize, 6u);
    EXPECT_EQ(Record(map)->ulNumber, 0u);
    EXPECT_NE(Record(map)->pTop, nullptr);
}

TEST(CollectionHandleTest, NullHandlesAndArgumentsAreRefused) {
    int value = 1;
    void* out = &value;
    uint32_t size = 0;
    const unsigned char key[] = "K";
    EXPECT_EQ(TerminateCollection(nullptr), 1);
    EXPECT_EQ(ClearCollection(nullptr), 1);
    EXPECT_EQ(GetCollectionSize(nullptr, &size), 1);
    EXPECT_EQ(CopyCollection(nullptr), nullptr);
    EXPECT_EQ(GetArrayElement(nullptr, 0, &out), 1);
    EXPECT_EQ(PutArrayElement(nullptr, 0, &value), 1);
    EXPECT_EQ(DeleteArrayElement(nullptr, 0), 1);
    EXPECT_EQ(CopyArray(nullptr, nullptr), 1);
    EXPECT_EQ(GetNextListElement(nullptr, &out), 1);
    EXPECT_EQ(GetPrevListElement(nullptr, &out), 1);
    EXPECT_EQ(InsertAfterListElement(nullptr, &value), 1);
    EXPECT_EQ(InsertBeforeListElement(nullptr, &value), 1);
    EXPECT_EQ(DeleteListElement(nullptr), 1);
    EXPECT_EQ(CopyList(nullptr, nullptr), 1);
    EXPECT_EQ(GetMapElement(nullptr, key, 1, &out), 1);
    EXPECT_EQ(PutMapElement(nullptr, key, 1, &value), 1);
    EXPECT_EQ(GetNextMapElement(nullptr, &out), 1);
    EXPECT_EQ(DeleteMapElement(nullptr, key, 1), 1);
    EXPECT_EQ(CopyMap(nullptr, nullptr), 1);

    Collection list = Make(CDM_TYPE_LIST, 0);
    EXPECT_EQ(GetCollectionSize(list.get(), nullptr), 1);
    CDM_HANDLE none = nullptr;
    CDM_HANDLE handle = list.get();
    EXPECT_EQ(CopyList(&handle, &none), 1);
    EXPECT_EQ(CopyList(&none, &handle), 1);
}

TEST(CollectionHandleTest, OtherKindsAreRefused) {
    int value = 1;
    void* out = nullptr;
    const unsigned char key[] = "K";
    Collection array = Make(CDM_TYPE_ARRAY, 2);
    Collection list = Make(CDM_TYPE_LIST, 0);
    Collection map = Make(CDM_TYPE_MAP, 2);
    CDM_HANDLE a = array.get();
    CDM_HANDLE l = list.get();
    CDM_HANDLE m = map.get();

    EXPECT_EQ(PutArrayElement(l, 0, &value), 1);
    EXPECT_EQ(GetArrayElement(m, 0, &out), 1);
    EXPECT_EQ(DeleteArrayElement(m, 0), 1);
    EXPECT_EQ(CopyArray(&a, &l), 1);
    EXPECT_EQ(InsertAfterListElement(a, &value), 1);
    EXPECT_EQ(InsertBeforeListElement(m, &value), 1);
    EXPECT_EQ(GetNextListElement(m, &out), 1);
    EXPECT_EQ(GetPrevListElement(a, &out), 1);
    EXPECT_EQ(DeleteListElement(a), 1);
    EXPECT_EQ(CopyList(&l, &m), 1);
    EXPECT_EQ(PutMapElement(a, key, 1, &value), 1);
    EXPECT_EQ(GetMapElement(l, key, 1, &out), 1);
    EXPECT_EQ(GetNextMapElement(l, &out), 1);
    EXPECT_EQ(DeleteMapElement(a, key, 1), 1);
    EXPECT_EQ(CopyMap(&m, &a), 1);
    EXPECT_EQ(SizeOf(array) + SizeOf(list) + SizeOf(map), 0u);

    // A record whose kind byte is not a known kind is refused by the common operations too.
    kvr::cdm_handle unused{};
    uint32_t size = 0;
    EXPECT_EQ(TerminateCollection(&unused), 1);
    EXPECT_EQ(ClearCollection(&unused), 1);
    EXPECT_EQ(GetCollectionSize(&unused, &size), 1);
    EXPECT_EQ(CopyCollection(&unused), nullptr);
}

TEST(CollectionHandleTest, ClearKeepsTheHandleUsable) {
    int values[3] = {};
    Collection list = Make(CDM_TYPE_LIST, 0);
    ASSERT_EQ(InsertAfterListElement(list.get(), &values[0]), 0);
    ASSERT_EQ(InsertAfterListElement(list.get(), &values[1]), 0);
    EXPECT_EQ(ClearCollection(list.get()), 0);
    EXPECT_EQ(SizeOf(list), 0u);
    EXPECT_EQ(Record(list)->pTop, nullptr);
    EXPECT_EQ(Record(list)->pCurrent, nullptr);
    void* out = nullptr;
    EXPECT_EQ(GetNextListElement(list.get(), &out), 0);
    EXPECT_EQ(out, nullptr);

    Collection array = Make(CDM_TYPE_ARRAY, 5);
    ASSERT_EQ(PutArrayElement(array.get(), 7, &values[2]), 0);
    EXPECT_EQ(ClearCollection(array.get()), 0);
    EXPECT_EQ(Record(array)->ulMaxNumber, 0u);
    EXPECT_EQ(Record(array)->ulInitialSize, 5u);
    out = &values[0];
    EXPECT_EQ(GetArrayElement(array.get(), 0, &out), 0);
    EXPECT_EQ(out, nullptr);
    // An emptied array grows again on its next put, by its initial size.
    EXPECT_EQ(PutArrayElement(array.get(), 2, &values[2]), 0);
    EXPECT_EQ(Record(array)->ulMaxNumber, 5u);
    EXPECT_EQ(SizeOf(array), 1u);
}

TEST(CollectionHandleTest, CopyCollectionOfEachKind) {
    int values[4] = {};
    Collection array = Make(CDM_TYPE_ARRAY, 3);
    ASSERT_EQ(PutArrayElement(array.get(), 4, &values[0]), 0); // 6 slots
    Collection arrayCopy(CopyCollection(array.get()));
    ASSERT_NE(arrayCopy, nullptr);
    EXPECT_EQ(Record(arrayCopy)->ulInitialSize, 6u);
    void* out = nullptr;
    EXPECT_EQ(GetArrayElement(arrayCopy.get(), 4, &out), 0);
    EXPECT_EQ(out, &values[0]);
    EXPECT_EQ(SizeOf(arrayCopy), 1u);

    Collection list = Make(CDM_TYPE_LIST, 0);
    for (int& v : values)
        ASSERT_EQ(InsertAfterListElement(list.get(), &v), 0);
    Collection listCopy(CopyCollection(list.get()));
    ASSERT_NE(listCopy, nullptr);
    out = nullptr;
    for (int& v : values) {
        EXPECT_EQ(GetNextListElement(listCopy.get(), &out), 0);
        EXPECT_EQ(out, &v);
    }

    const unsigned char keys[] = "ABCD";
    Collection map = Make(CDM_TYPE_MAP, 2);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(PutMapElement(map.get(), keys + i, 1, &values[i]), 0);
    Collection mapCopy(CopyCollection(map.get()));
    ASSERT_NE(mapCopy, nullptr);
    EXPECT_EQ(SizeOf(mapCopy), 4u);
    for (int i = 0; i < 4; ++i) {
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
