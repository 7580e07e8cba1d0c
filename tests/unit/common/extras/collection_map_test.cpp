// Keyed maps: growth, key identity, iteration order, and random puts and deletes across
// many growths, including deletions of the embedded head entry of a shared bucket.
#include "collection_test_support.h"
#include "extras/hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace kvr::testing;

const unsigned char* Bytes(const std::string& key) {
    return reinterpret_cast<const unsigned char*>(key.data());
}
uint32_t Length(const std::string& key) {
    return static_cast<uint32_t>(key.size());
}
void* Get(const Collection& map, const std::string& key) {
    void* out = &out; // anything non-null, to see it replaced
    EXPECT_EQ(GetMapElement(map.get(), Bytes(key), Length(key), &out), 0);
    return out;
}
uint16_t Put(const Collection& map, const std::string& key, void* element) {
    return PutMapElement(map.get(), Bytes(key), Length(key), element);
}
uint16_t Delete(const Collection& map, const std::string& key) {
    return DeleteMapElement(map.get(), Bytes(key), Length(key));
}
std::vector<void*> Iterate(const Collection& map) {
    std::vector<void*> seen;
    void* out = nullptr;
    while (GetNextMapElement(map.get(), &out) == 0 && out != nullptr)
        seen.push_back(out);
    return seen;
}
uint32_t BucketOf(const std::string& key, uint32_t buckets) {
    return kvr::MapHash(Bytes(key), Length(key)) % buckets;
}
kvr::cdm_idx_entry* Head(const Collection& map, uint32_t bucket) {
    return &static_cast<kvr::cdm_idx_entry*>(Record(map)->pTop)[bucket];
}
// `count` keys "<prefix><n>" and their elements, put into `map`.
std::vector<std::string> Fill(const Collection& map, const char* prefix, std::vector<int>& v) {
    std::vector<std::string> keys; // reserved: the map points into the key strings
    keys.reserve(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        keys.push_back(prefix + std::to_string(i));
        EXPECT_EQ(Put(map, keys.back(), &v[i]), 0);
    }
    return keys;
}

// Every bucket's ring links agree both ways, and the rings hold ulNumber entries in all.
void ExpectBucketsIntact(const Collection& map) {
    uint32_t total = 0;
    for (uint32_t b = 0; b < Record(map)->ulMaxNumber; ++b) {
        kvr::cdm_idx_entry* head = Head(map, b);
        if (head->pElement == nullptr) {
            EXPECT_EQ(head->pNext, nullptr);
            continue;
        }
        kvr::cdm_idx_entry* entry = head;
        do {
            ASSERT_EQ(entry->pNext->pPrev, entry);
            ASSERT_LE(++total, Record(map)->ulNumber);
            entry = entry->pNext;
        } while (entry != head);
    }
    EXPECT_EQ(total, Record(map)->ulNumber);
}

TEST(CollectionMapTest, GrowthKeysAndRefusals) {
    std::vector<int> v(9);
    Collection map = Make(CDM_TYPE_MAP, 4);
    std::vector<std::string> keys = Fill(map, "K", v);
    // 4 buckets double at the fifth key; the rebuilt map brings its own size as the next step.
    EXPECT_EQ(Record(map)->ulMaxNumber, 16u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Get(map, keys[i]), &v[i]);
    ExpectBucketsIntact(map);

    // The map keeps pointers to the key bytes; an equal key keeps the first element.
    const std::string again = "K0";
    EXPECT_EQ(Put(map, again, &v[1]), 0);
    EXPECT_EQ(Get(map, again), &v[0]);
    EXPECT_EQ(SizeOf(map), 9u);
    // Keys are counted byte strings: the terminator makes a different key.
    const unsigned char ab[] = "AB";
    void* out = nullptr;
    ASSERT_EQ(PutMapElement(map.get(), ab, 2, &v[0]), 0);
    ASSERT_EQ(PutMapElement(map.get(), ab, 3, &v[1]), 0);
    EXPECT_EQ(GetMapElement(map.get(), ab, 3, &out), 0);
    EXPECT_EQ(out, &v[1]);
    EXPECT_EQ(Get(map, "A"), nullptr);
    EXPECT_EQ(GetMapElement(map.get(), ab, 0, &out), 1);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(GetMapElement(map.get(), nullptr, 2, &out), 1);
    EXPECT_EQ(GetMapElement(map.get(), ab, 2, nullptr), 1);
    EXPECT_EQ(PutMapElement(map.get(), ab, 1, nullptr), 1);
    EXPECT_EQ(PutMapElement(map.get(), nullptr, 1, &v[0]), 1);
    EXPECT_EQ(PutMapElement(map.get(), ab, 0, &v[0]), 1);
    EXPECT_EQ(Delete(map, "MISSING"), 1);
    EXPECT_EQ(SizeOf(map), 11u);

    // A cleared map has no buckets until its next put, which brings back the initial size.
    Collection small = Make(CDM_TYPE_MAP, 3);
    ASSERT_EQ(Put(small, keys[1], &v[1]), 0);
    ASSERT_EQ(ClearCollection(small.get()), 0);
    EXPECT_EQ(Get(small, keys[1]), nullptr);
    EXPECT_EQ(Delete(small, keys[1]), 1);
    EXPECT_TRUE(Iterate(small).empty());
    ASSERT_EQ(Put(small, keys[1], &v[1]), 0);
    EXPECT_EQ(Record(small)->ulMaxNumber, 3u);
    EXPECT_EQ(Get(small, keys[1]), &v[1]);
}

TEST(CollectionMapTest, IterationOrderRestartsAndCopies) {
    std::vector<int> v(12);
    Collection map = Make(CDM_TYPE_MAP, 16);
    const std::vector<std::string> keys = Fill(map, "item", v);
    // Bucket by bucket; within a bucket in the order the keys were put.
    std::vector<int> order(12);
    for (int i = 0; i < 12; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
        return BucketOf(keys[a], 16) < BucketOf(keys[b], 16);
    });
    std::vector<void*> expected;
    for (int i : order)
        expected.push_back(&v[i]);
    EXPECT_EQ(Iterate(map), expected);
    // A put restarts a running iteration from the first bucket, even for an existing key.
    void* out = nullptr;
    ASSERT_EQ(GetNextMapElement(map.get(), &out), 0);
    ASSERT_EQ(GetNextMapElement(map.get(), &out), 0);
    ASSERT_EQ(Put(map, keys[0], &v[1]), 0);
    ASSERT_EQ(GetNextMapElement(map.get(), &out), 0);
    EXPECT_EQ(out, expected[0]);
    EXPECT_EQ(GetNextMapElement(map.get(), nullptr), 1);

    // CopyMap puts every entry; the target grows while filled and keeps its own elements.
    Collection to = Make(CDM_TYPE_MAP, 2);
    ASSERT_EQ(Put(to, keys[3], &v[0]), 0);
    CDM_HANDLE toHandle = to.get(), fromHandle = map.get();
    EXPECT_EQ(CopyMap(&toHandle, &fromHandle), 0);
    EXPECT_EQ(SizeOf(to), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Get(to, keys[i]), i == 3 ? &v[0] : &v[i]);
    EXPECT_EQ(CopyMap(&fromHandle, &fromHandle), 0);
    EXPECT_EQ(SizeOf(map), 12u);
    ExpectBucketsIntact(to);
    ExpectBucketsIntact(map);
}

TEST(CollectionMapTest, RandomDeletesLeaveTheRestReachable) {
    int headsOfLongRings = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        // Random distinct keys of 1 to 8 arbitrary bytes.
        std::set<std::string> unique;
        while (unique.size() < (seed == 1 ? 1000u : 600u)) {
            std::string key(1 + random() % 8, '\0');
            for (char& c : key)
                c = static_cast<char>(random() % 256);
            unique.insert(key);
        }
        std::vector<std::string> keys(unique.begin(), unique.end());
        std::shuffle(keys.begin(), keys.end(), random);
        std::vector<int> v(keys.size());
        Collection map = Make(CDM_TYPE_MAP, 4);
        for (std::size_t i = 0; i < keys.size(); ++i)
            ASSERT_EQ(Put(map, keys[i], &v[i]), 0);
        std::vector<bool> deleted(keys.size(), false);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (random() % 2 == 0) continue;
            // Note deletions of bucket heads that have at least two followers.
            kvr::cdm_idx_entry* head = Head(map, BucketOf(keys[i], Record(map)->ulMaxNumber));
            if (head->pElement == &v[i] && head->pNext->pNext != head) ++headsOfLongRings;
            ASSERT_EQ(Delete(map, keys[i]), 0);
            deleted[i] = true;
        }
        std::vector<void*> expected;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            ASSERT_EQ(Get(map, keys[i]), deleted[i] ? nullptr : &v[i]);
            if (deleted[i])
                EXPECT_EQ(Delete(map, keys[i]), 1);
            else
                expected.push_back(&v[i]);
        }
        std::vector<void*> seen = Iterate(map);
        std::sort(seen.begin(), seen.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(seen, expected);
        ExpectBucketsIntact(map);
        // Buckets emptied by the deletes take entries again.
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (deleted[i]) {
                ASSERT_EQ(Put(map, keys[i], &v[i]), 0);
            }
        }
        EXPECT_EQ(SizeOf(map), keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i)
            ASSERT_EQ(Get(map, keys[i]), &v[i]);
        ExpectBucketsIntact(map);
    }
    EXPECT_GT(headsOfLongRings, 0);
}

} // namespace
