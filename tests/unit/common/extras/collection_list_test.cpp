// Tests of rings with a current position: walks in both directions, the insert and delete
// placement rules, copying, and random edits checked against a plain vector model.
#include "collection_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace kvr::testing;

std::vector<void*> WalkForward(CDM_HANDLE list) {
    std::vector<void*> seen;
    void* out = nullptr;
    while (GetNextListElement(list, &out) == 0 && out != nullptr)
        seen.push_back(out);
    return seen;
}

std::vector<void*> WalkBackward(CDM_HANDLE list) {
    std::vector<void*> seen;
    void* out = nullptr;
    while (GetPrevListElement(list, &out) == 0 && out != nullptr)
        seen.push_back(out);
    return seen;
}

// The ring links agree in both directions and close after `count` entries.
void ExpectRingIntact(const Collection& list) {
    auto* first = static_cast<kvr::cdm_list_entry*>(Record(list)->pTop);
    const uint32_t count = Record(list)->ulNumber;
    if (count == 0) {
        EXPECT_EQ(first, nullptr);
        return;
    }
    ASSERT_NE(first, nullptr);
    kvr::cdm_list_entry* entry = first;
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(entry->pNext->pPrev, entry);
        entry = entry->pNext;
        ASSERT_EQ(entry == first, i + 1 == count);
    }
}

TEST(CollectionListTest, WalksInBothDirections) {
    int v[3] = {};
    Collection list = Make(CDM_TYPE_LIST, 0);
    void* out = &v[0];
    EXPECT_EQ(GetNextListElement(list.get(), &out), 0); // empty list
    EXPECT_EQ(out, nullptr);
    for (int& x : v)
        ASSERT_EQ(InsertAfterListElement(list.get(), &x), 0);
    EXPECT_EQ(WalkForward(list.get()), (std::vector<void*>{&v[0], &v[1], &v[2]}));
    // Without restarting, the walk stays at its end.
    out = &v[2];
    EXPECT_EQ(GetNextListElement(list.get(), &out), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(WalkBackward(list.get()), (std::vector<void*>{&v[2], &v[1], &v[0]}));
    out = &v[0];
    EXPECT_EQ(GetPrevListElement(list.get(), &out), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(GetNextListElement(list.get(), nullptr), 1);
    EXPECT_EQ(InsertAfterListElement(list.get(), nullptr), 1);
    EXPECT_EQ(InsertBeforeListElement(list.get(), nullptr), 1);
    EXPECT_EQ(SizeOf(list), 3u);
}

TEST(CollectionListTest, InsertPlacement) {
    int v[6] = {};
    Collection list = Make(CDM_TYPE_LIST, 0);
    ASSERT_EQ(InsertBeforeListElement(list.get(), &v[0]), 0); // [0]
    ASSERT_EQ(InsertBeforeListElement(list.get(), &v[1]), 0); // first current: [1 0]
    void* out = nullptr;
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0);       // 1
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0);       // 0
    ASSERT_EQ(InsertBeforeListElement(list.get(), &v[2]), 0); // before 0: [1 2 0]
    ASSERT_EQ(InsertAfterListElement(list.get(), &v[3]), 0);  // after 2: [1 2 3 0]
    EXPECT_EQ(WalkForward(list.get()), (std::vector<void*>{&v[1], &v[2], &v[3], &v[0]}));

    // With no current entry, both inserts put the new entry first.
    out = &v[0];
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0); // walk at end, position stays on 0
    ASSERT_EQ(DeleteListElement(list.get()), 0);        // last deleted: no position
    ASSERT_EQ(InsertAfterListElement(list.get(), &v[4]), 0);
    EXPECT_EQ(WalkForward(list.get()), (std::vector<void*>{&v[4], &v[1], &v[2], &v[3]}));
    ExpectRingIntact(list);
    ASSERT_EQ(ClearCollection(list.get()), 0);
    ASSERT_EQ(InsertAfterListElement(list.get(), &v[0]), 0);
    ASSERT_EQ(InsertAfterListElement(list.get(), &v[1]), 0);
    out = &v[1];
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0); // at end: position stays on 1
    ASSERT_EQ(DeleteListElement(list.get()), 0);        // deletes 1, no position now
    ASSERT_EQ(InsertBeforeListElement(list.get(), &v[5]), 0);
    ASSERT_EQ(InsertAfterListElement(list.get(), &v[2]), 0);
    EXPECT_EQ(WalkForward(list.get()), (std::vector<void*>{&v[5], &v[2], &v[0]}));
    EXPECT_EQ(WalkBackward(list.get()), (std::vector<void*>{&v[0], &v[2], &v[5]}));
    ExpectRingIntact(list);
}

TEST(CollectionListTest, DeleteRules) {
    int v[4] = {};
    Collection list = Make(CDM_TYPE_LIST, 0);
    EXPECT_EQ(DeleteListElement(list.get()), 1); // nothing current
    for (int& x : v)
        ASSERT_EQ(InsertAfterListElement(list.get(), &x), 0);

    // Deleting the first entry: its successor becomes first and current.
    void* out = nullptr;
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0);
    ASSERT_EQ(out, &v[0]);
    EXPECT_EQ(DeleteListElement(list.get()), 0);
    EXPECT_EQ(static_cast<kvr::cdm_list_entry*>(Record(list)->pTop)->pElement, &v[1]);
    EXPECT_EQ(Record(list)->pCurrent, Record(list)->pTop);
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0);
    EXPECT_EQ(out, &v[2]);

    // Deleting the last entry leaves no position; a walk then starts at the first entry.
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0);
    ASSERT_EQ(out, &v[3]);
    EXPECT_EQ(DeleteListElement(list.get()), 0);
    EXPECT_EQ(Record(list)->pCurrent, nullptr);
    EXPECT_EQ(DeleteListElement(list.get()), 1);
    out = &v[3];
    ASSERT_EQ(GetNextListElement(list.get(), &out), 0);
    EXPECT_EQ(out, &v[1]);
    EXPECT_EQ(SizeOf(list), 2u);

    // Deleting the only entry empties the list.
    ASSERT_EQ(DeleteListElement(list.get()), 0); // 1 deleted, 2 current
    ASSERT_EQ(DeleteListElement(list.get()), 0);
    EXPECT_EQ(Record(list)->pTop, nullptr);
    EXPECT_EQ(Record(list)->pCurrent, nullptr);
    EXPECT_EQ(SizeOf(list), 0u);
    EXPECT_TRUE(WalkForward(list.get()).empty());
}

TEST(CollectionListTest, CopyListFollowsTheCurrentEntry) {
    int v[5] = {};
    Collection from = Make(CDM_TYPE_LIST, 0);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(InsertAfterListElement(from.get(), &v[i]), 0);
    Collection to = Make(CDM_TYPE_LIST, 0);
    ASSERT_EQ(InsertAfterListElement(to.get(), &v[3]), 0);
    ASSERT_EQ(InsertAfterListElement(to.get(), &v[4]), 0);
    void* out = nullptr;
    ASSERT_EQ(GetNextListElement(to.get(), &out), 0); // current: 3
    CDM_HANDLE toHandle = to.get();
    CDM_HANDLE fromHandle = from.get();
    EXPECT_EQ(CopyList(&toHandle, &fromHandle), 0);
    EXPECT_EQ(WalkForward(to.get()), (std::vector<void*>{&v[3], &v[0], &v[1], &v[2], &v[4]}));
    EXPECT_EQ(SizeOf(to), 5u);

    // Copying a list into itself doubles it rather than chasing its own inserts.
    EXPECT_EQ(CopyList(&fromHandle, &fromHandle), 0);
    EXPECT_EQ(WalkForward(from.get()),
              (std::vector<void*>{&v[0], &v[1], &v[2], &v[0], &v[1], &v[2]}));
    ExpectRingIntact(from);
}

// A vector with a current index, following the documented placement rules.
struct ListModel {
    std::vector<void*> items;
    int current = -1;

    void InsertAfter(void* e) {
        current = items.empty() || current < 0 ? 0 : current + 1;
        items.insert(items.begin() + current, e);
    }
    void InsertBefore(void* e) {
        if (items.empty() || current <= 0) current = 0;
        items.insert(items.begin() + current, e);
    }
    bool Delete() {
        if (current < 0) return false;
        const bool wasLast = current + 1 == static_cast<int>(items.size());
        items.erase(items.begin() + current);
        if (wasLast) current = -1;
        return true;
    }
    void* Next() {
        if (items.empty() || current + 1 == static_cast<int>(items.size())) return nullptr;
        return items[++current];
    }
};

TEST(CollectionListTest, RandomEditsKeepTheRingWalkable) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        std::mt19937 random(seed);
        std::vector<int> storage(400);
        Collection list = Make(CDM_TYPE_LIST, 0);
        ListModel model;
        void* walkVar = nullptr;
        for (int step = 0; step < 2000; ++step) {
            void* element = &storage[random() % storage.size()];
            switch (random() % 5) {
            case 0:
                ASSERT_EQ(InsertAfterListElement(list.get(), element), 0);
                model.InsertAfter(element);
                break;
            case 1:
                ASSERT_EQ(InsertBeforeListElement(list.get(), element), 0);
                model.InsertBefore(element);
                break;
            case 2:
            case 3:
                ASSERT_EQ(DeleteListElement(list.get()), model.Delete() ? 0 : 1);
                break;
            default:
                // A walk step that never restarts (the variable is kept non-null).
                walkVar = element;
                ASSERT_EQ(GetNextListElement(list.get(), &walkVar), 0);
                ASSERT_EQ(walkVar, model.Next());
                break;
            }
            ASSERT_EQ(SizeOf(list), model.items.size());
        }
        ExpectRingIntact(list);
        EXPECT_EQ(WalkForward(list.get()), model.items);
        EXPECT_EQ(WalkBackward(list.get()),
                  std::vector<void*>(model.items.rbegin(), model.items.rend()));
    }
}

} // namespace
