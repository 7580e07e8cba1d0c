// Tests of rings with a current position: walks in both directions, copying, and random
// inserts, deletes and walk steps checked against a plain vector model of the placement
// rules (insert after/before the current entry, or first when there is none; deleting the
// last entry leaves no position; a walk at its end stays there).
#include "collection_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace kvr::testing;

std::vector<void*> Walk(CDM_HANDLE list, uint16_t (*step)(CDM_HANDLE, void**)) {
    std::vector<void*> seen;
    void* out = nullptr;
    while (step(list, &out) == 0 && out != nullptr)
        seen.push_back(out);
    return seen;
}

// The ring links agree in both directions and close after `count` entries.
void ExpectRingIntact(const Collection& list) {
    auto* first = static_cast<kvr::cdm_list_entry*>(Record(list)->pTop);
    const uint32_t count = Record(list)->ulNumber;
    ASSERT_EQ(first == nullptr, count == 0);
    kvr::cdm_list_entry* entry = first;
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(entry->pNext->pPrev, entry);
        entry = entry->pNext;
        ASSERT_EQ(entry == first, i + 1 == count);
    }
}

TEST(CollectionListTest, WalksAndCopies) {
    int v[5] = {};
    Collection list = Make(CDM_TYPE_LIST, 0);
    void* out = &v[0];
    EXPECT_EQ(GetNextListElement(list.get(), &out), 0); // empty list
    EXPECT_EQ(out, nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(InsertAfterListElement(list.get(), &v[i]), 0);
    EXPECT_EQ(GetNextListElement(list.get(), nullptr), 1);
    EXPECT_EQ(InsertAfterListElement(list.get(), nullptr), 1);
    EXPECT_EQ(InsertBeforeListElement(list.get(), nullptr), 1);

    // The copy goes in after the target's current entry.
    Collection to = Make(CDM_TYPE_LIST, 0);
    ASSERT_EQ(InsertAfterListElement(to.get(), &v[3]), 0);
    ASSERT_EQ(InsertAfterListElement(to.get(), &v[4]), 0);
    ASSERT_EQ(GetNextListElement(to.get(), &out), 0); // current: 3
    CDM_HANDLE toHandle = to.get(), fromHandle = list.get();
    EXPECT_EQ(CopyList(&toHandle, &fromHandle), 0);
    EXPECT_EQ(Walk(to.get(), GetNextListElement),
              (std::vector<void*>{&v[3], &v[0], &v[1], &v[2], &v[4]}));
    EXPECT_EQ(SizeOf(to), 5u);
    // Copying a list into itself doubles it rather than chasing its own inserts.
    EXPECT_EQ(CopyList(&fromHandle, &fromHandle), 0);
    const std::vector<void*> doubled = {&v[0], &v[1], &v[2], &v[0], &v[1], &v[2]};
    EXPECT_EQ(Walk(list.get(), GetNextListElement), doubled);
    EXPECT_EQ(Walk(list.get(), GetPrevListElement),
              std::vector<void*>(doubled.rbegin(), doubled.rend()));
    ExpectRingIntact(list);
}

// A vector with a current index, following the documented placement rules.
struct ListModel {
    std::vector<void*> items;
    int current = -1;

    void Insert(void* e, bool after) {
        if (items.empty() || current < 0)
            current = 0;
        else if (after)
            ++current;
        items.insert(items.begin() + current, e);
    }
    bool Delete() {
        if (current < 0) return false;
        items.erase(items.begin() + current);
        if (current == static_cast<int>(items.size())) current = -1;
        return true;
    }
    void* Next() {
        if (current + 1 >= static_cast<int>(items.size())) return nullptr;
        return items[++current];
    }
};

TEST(CollectionListTest, RandomEditsFollowThePlacementRules) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        std::mt19937 random(seed);
        std::vector<int> storage(400);
        Collection list = Make(CDM_TYPE_LIST, 0);
        ListModel model;
        for (int step = 0; step < 2000; ++step) {
            void* element = &storage[random() % storage.size()];
            switch (random() % 5) {
            case 0:
                ASSERT_EQ(InsertAfterListElement(list.get(), element), 0);
                model.Insert(element, true);
                break;
            case 1:
                ASSERT_EQ(InsertBeforeListElement(list.get(), element), 0);
                model.Insert(element, false);
                break;
            case 2:
            case 3:
                ASSERT_EQ(DeleteListElement(list.get()), model.Delete() ? 0 : 1);
                break;
            default:
                // A walk step that never restarts (the variable is kept non-null).
                ASSERT_EQ(GetNextListElement(list.get(), &element), 0);
                ASSERT_EQ(element, model.Next());
                break;
            }
            ASSERT_EQ(SizeOf(list), model.items.size());
        }
        ExpectRingIntact(list);
        EXPECT_EQ(Walk(list.get(), GetNextListElement), model.items);
        EXPECT_EQ(Walk(list.get(), GetPrevListElement),
                  std::vector<void*>(model.items.rbegin(), model.items.rend()));
    }
}

} // namespace
