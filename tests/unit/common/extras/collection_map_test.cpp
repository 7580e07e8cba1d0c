// Keyed maps: growth, key identity, head-entry deletion in shared buckets, iteration
// order, and random puts and deletes across many growths.
#include "collection_test_support.h"
#include "extras/hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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

// `count` distinct keys that share one bucket of a table of `buckets` buckets.
std::vector<std::string> CollidingKeys(uint32_t buckets, std::size_t count) {
    std::map<uint32_t, std::vector<std::string>> byBucket;
    for (int i = 0;; ++i) {
        std::string key = "key" + std::to_string(i);
        auto& group = byBucket[BucketOf(key, buckets)];
        group.push_back(key);
        if (group.size() == count) return group;
    }
}

kvr::cdm_idx_entry* Head(const Collection& map, uint32_t bucket) {
    return &static_cast<kvr::cdm_idx_entry*>(Record(map)->pTop)[bucket];
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

TEST(CollectionMapTest, GrowthKeepsEveryElement) {
    int v[9] = {};
    const std::vector<std::string> keys = {"K1", "K2", "K3", "K4", "K5", "K6", "K7", "K8", "K9"};
    Collection map = Make(CDM_TYPE_MAP, 4);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(Put(map, keys[i], &v[i]), 0);
    EXPECT_EQ(Record(map)->ulMaxNumber, 4u);
    ASSERT_EQ(Put(map, keys[4], &v[4]), 0);
    EXPECT_EQ(Record(map)->ulMaxNumber, 8u);
    EXPECT_EQ(SizeOf(map), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Get(map, keys[i]), &v[i]);
    // The rebuilt map brings its own size as the next growth step.
    for (int i = 5; i < 9; ++i)
        ASSERT_EQ(Put(map, keys[i], &v[i]), 0);
    EXPECT_EQ(Record(map)->ulMaxNumber, 16u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Get(map, keys[i]), &v[i]);
    ExpectBucketsIntact(map);
}

TEST(CollectionMapTest, KeysAndRefusals) {
    int a = 1, b = 2;
    // The map keeps pointers to the key bytes, so the keys must outlive it.
    const std::string first = "KEY";
    const std::string again = "KEY";
    Collection map = Make(CDM_TYPE_MAP, 8);
    ASSERT_EQ(Put(map, first, &a), 0);
    EXPECT_EQ(Put(map, again, &b), 0);
    EXPECT_EQ(Get(map, again), &a); // the first element stays
    EXPECT_EQ(SizeOf(map), 1u);

    // Keys are counted byte strings: the terminator makes a different key.
    const unsigned char ab[] = "AB";
    ASSERT_EQ(PutMapElement(map.get(), ab, 2, &a), 0);
    ASSERT_EQ(PutMapElement(map.get(), ab, 3, &b), 0);
    EXPECT_EQ(SizeOf(map), 3u);
    void* out = nullptr;
    EXPECT_EQ(GetMapElement(map.get(), ab, 2, &out), 0);
    EXPECT_EQ(out, &a);
    EXPECT_EQ(GetMapElement(map.get(), ab, 3, &out), 0);
    EXPECT_EQ(out, &b);
    EXPECT_EQ(Get(map, "A"), nullptr);

    for (uint32_t length : {0u, 2u}) {
        out = &a;
        EXPECT_EQ(GetMapElement(map.get(), length ? nullptr : ab, length, &out), 1);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(GetMapElement(map.get(), ab, 2, nullptr), 1);
    EXPECT_EQ(PutMapElement(map.get(), ab, 1, nullptr), 1);
    EXPECT_EQ(PutMapElement(map.get(), nullptr, 1, &a), 1);
    EXPECT_EQ(PutMapElement(map.get(), ab, 0, &a), 1);
    EXPECT_EQ(Delete(map, "MISSING"), 1);
    EXPECT_EQ(SizeOf(map), 3u);
}

TEST(CollectionMapTest, DeletingBucketHeadsOfThreeEntryRings) {
    int v[3] = {};
    const std::vector<std::string> keys = CollidingKeys(8, 3);
    const uint32_t bucket = BucketOf(keys[0], 8);
    Collection map = Make(CDM_TYPE_MAP, 8);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(Put(map, keys[i], &v[i]), 0);
    kvr::cdm_idx_entry* head = Head(map, bucket);
    ASSERT_EQ(head->pElement, &v[0]);
    EXPECT_EQ(Iterate(map), (std::vector<void*>{&v[0], &v[1], &v[2]}));

    // The second entry moves into the head; a chained entry is unlinked; a lone head
    // empties the bucket. The rings stay closed both ways throughout.
    EXPECT_EQ(Delete(map, keys[0]), 0);
    EXPECT_EQ(head->pElement, &v[1]);
    EXPECT_EQ(head->ulLength, Length(keys[1]));
    EXPECT_EQ(head->pNext->pElement, &v[2]);
    ExpectBucketsIntact(map);
    EXPECT_EQ(Get(map, keys[0]), nullptr);
    EXPECT_EQ(Iterate(map), (std::vector<void*>{&v[1], &v[2]}));
    EXPECT_EQ(Delete(map, keys[2]), 0);
    EXPECT_EQ(head->pNext, head);
    EXPECT_EQ(Delete(map, keys[1]), 0);
    EXPECT_TRUE(head->pElement == nullptr && head->pKey == nullptr && head->ulLength == 0u);
    EXPECT_TRUE(head->pNext == nullptr && head->pPrev == nullptr);
    EXPECT_TRUE(Iterate(map).empty());

    // The bucket takes entries again.
    ASSERT_EQ(Put(map, keys[2], &v[2]), 0);
    EXPECT_EQ(Get(map, keys[2]), &v[2]);
}

TEST(CollectionMapTest, IterationOrderAndRestarts) {
    std::vector<std::string> keys;
    std::vector<int> v(12);
    for (int i = 0; i < 12; ++i)
        keys.push_back("item" + std::to_string(i));
    Collection map = Make(CDM_TYPE_MAP, 16);
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(Put(map, keys[i], &v[i]), 0);
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

    // A put restarts a running iteration from the first bucket.
    void* out = nullptr;
    ASSERT_EQ(GetNextMapElement(map.get(), &out), 0);
    ASSERT_EQ(GetNextMapElement(map.get(), &out), 0);
    ASSERT_EQ(out, expected[1]);
    ASSERT_EQ(Put(map, keys[0], &v[1]), 0); // existing key: no change but still a reset
    ASSERT_EQ(GetNextMapElement(map.get(), &out), 0);
    EXPECT_EQ(out, expected[0]);
    EXPECT_EQ(GetNextMapElement(map.get(), nullptr), 1);
}

TEST(CollectionMapTest, ClearedMapHasNoBucketsUntilItsNextPut) {
    int a = 1;
    const std::string x = "X";
    Collection map = Make(CDM_TYPE_MAP, 3);
    ASSERT_EQ(Put(map, x, &a), 0);
    ASSERT_EQ(ClearCollection(map.get()), 0);
    EXPECT_EQ(Get(map, "X"), nullptr);
    EXPECT_EQ(Delete(map, "X"), 1);
    EXPECT_TRUE(Iterate(map).empty());
    ASSERT_EQ(Put(map, x, &a), 0);
    EXPECT_EQ(Record(map)->ulMaxNumber, 3u);
    EXPECT_EQ(Get(map, "X"), &a);
}

TEST(CollectionMapTest, CopyMapPutsEveryEntry) {
    std::vector<std::string> keys;
    std::vector<int> v(20);
    for (int i = 0; i < 20; ++i)
        keys.push_back("c" + std::to_string(i));
    Collection from = Make(CDM_TYPE_MAP, 32);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(Put(from, keys[i], &v[i]), 0);
    Collection to = Make(CDM_TYPE_MAP, 2); // grows several times while filled
    ASSERT_EQ(Put(to, keys[3], &v[0]), 0);
    CDM_HANDLE toHandle = to.get();
    CDM_HANDLE fromHandle = from.get();
    EXPECT_EQ(CopyMap(&toHandle, &fromHandle), 0);
    EXPECT_EQ(SizeOf(to), 20u);
    // The target's own element for keys[3] stays.
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Get(to, keys[i]), i == 3 ? &v[0] : &v[i]);
    EXPECT_EQ(CopyMap(&fromHandle, &fromHandle), 0);
    EXPECT_EQ(SizeOf(from), 20u);
    ExpectBucketsIntact(to);
    ExpectBucketsIntact(from);
}

// Random distinct keys of 1 to 8 arbitrary bytes.
std::vector<std::string> RandomKeys(std::mt19937& random, std::size_t count) {
    std::set<std::string> unique;
    while (unique.size() < count) {
        std::string key(1 + random() % 8, '\0');
        for (char& c : key)
            c = static_cast<char>(random() % 256);
        unique.insert(key);
    }
    std::vector<std::string> keys(unique.begin(), unique.end());
    std::shuffle(keys.begin(), keys.end(), random);
    return keys;
}

TEST(CollectionMapTest, RandomDeletesLeaveTheRestReachable) {
    int headsOfLongRings = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        const std::vector<std::string> keys = RandomKeys(random, seed == 1 ? 1000 : 600);
        std::vector<int> v(keys.size());
        Collection map = Make(CDM_TYPE_MAP, 4);
        for (std::size_t i = 0; i < keys.size(); ++i)
            ASSERT_EQ(Put(map, keys[i], &v[i]), 0);
        EXPECT_GE(Record(map)->ulMaxNumber, keys.size());
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
            if (deleted[i]) {
                EXPECT_EQ(Delete(map, keys[i]), 1);
            } else {
                expected.push_back(&v[i]);
            }
        }
        EXPECT_EQ(SizeOf(map), expected.size());
        std::vector<void*> seen = Iterate(map);
        std::sort(seen.begin(), seen.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(seen, expected);
        ExpectBucketsIntact(map);
    }
    EXPECT_GT(headsOfLongRings, 0);
}

} // namespace
