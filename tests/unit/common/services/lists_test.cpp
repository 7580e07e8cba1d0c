// Lists: empty lists and null arguments, exhausted memory, integer keys and integer lists,
// and the key patterns of MatchItemWithKey. Walks, finds, removals and cursors serve every
// golden case, and their blocks are counted in the debug runs (KVR2134I).
#include "services/lists.h"

#include "common/scoped_env.h"
#include "services/key_pattern.h"
#include "services/memory_blocks.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kvr::test::Outstanding;

int sNoneTag;
void* const kNone = &sNoneTag;

// What a walk step hands out: its data, or kNone when it answers 0 and stores null.
void* Got(int32_t (*step)(void*, void**), void* list) {
    void* data = &data;
    if (step(list, &data) != 0) return data;
    return data == nullptr ? kNone : &sNoneTag + 1;
}
void* Find(void* list, const char* key) {
    void* data = &data;
    if (FindItemWithKey(list, key, &data) != 0) return data;
    return data == nullptr ? kNone : &sNoneTag + 1;
}

// The data of every item from the head, by the built-in walk.
std::vector<void*> Walk(void* list) {
    std::vector<void*> seen;
    void* data = nullptr;
    for (int32_t found = FindFirstItem(list, &data); found != 0; found = GetNextItem(list, &data))
        seen.push_back(data);
    return seen;
}

void Empty(void* list) {
    void* ignored = nullptr;
    while (FindFirstItem(list, &ignored) != 0)
        UnlinkCurrentItem(list, &ignored, 0);
}

// A list A, B, C, D (keys "A".."D") of the fixture's own ints; freed without their data.
struct Fixture {
    int a = 1, b = 2, c = 3, d = 4;
    void* list = nullptr;
    explicit Fixture(int32_t count = 4) {
        CreateList(&list, 0);
        int* data[] = {&a, &b, &c, &d};
        const char* keys[] = {"A", "B", "C", "D"};
        for (int32_t i = 0; i < count; ++i)
            AddItemToList(list, data[i], keys[i], 0);
    }
    ~Fixture() {
        Empty(list);
        FreeList(list, 0);
    }
};

TEST(Lists, EmptyListsAndNullArgumentsAnswerZero) {
    Fixture empty(0);
    void* data = nullptr;
    const int32_t answers[] = {
        FindFirstItem(empty.list, &data),      FindLastItem(empty.list, &data),
        GetNextItem(empty.list, &data),        UnlinkCurrentItem(empty.list, &data, 0),
        CountItemsInIntList(empty.list, 0),    FindFirstItem(nullptr, &data),
        FindLastItem(nullptr, &data),          GetNextItem(nullptr, &data),
        GetPreviousItem(nullptr, &data),       GetCurrentItem(nullptr, &data),
        AddItemToList(nullptr, &data, "K", 0), FindItemWithKey(nullptr, "A", &data),
        MatchItemWithKey(nullptr, "A"),        UnlinkCurrentItem(nullptr, &data, 0),
        CountIntItemsInList(nullptr, 0),       AdvanceCursor(nullptr),
        KVR_CreateCursor(nullptr, &data, 0)};
    for (size_t i = 0; i < std::size(answers); ++i)
        EXPECT_EQ(0, answers[i]) << "call " << i;
    EXPECT_EQ(nullptr, data); // the cursor place is cleared
    FreeList(nullptr, 0);
    FreeIntList(nullptr, 0);
    DeleteCursor(nullptr, 0);
}

TEST(Lists, ExhaustedMemoryAddsNothing) {
    Fixture f(2);
    int extra = 9;
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, AddItemToList(f.list, &extra, "X", 0));
    EXPECT_EQ((std::vector<void*>{&f.a, &f.b}), Walk(f.list));
    void* list = &list;
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, CreateList(&list, 0));
    EXPECT_EQ(nullptr, list);
    void* cursor = &cursor;
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, KVR_CreateCursor(f.list, &cursor, 0));
    EXPECT_EQ(nullptr, cursor);
    ASSERT_EQ(1, KVR_CreateCursor(f.list, &cursor, 0));
    void* copy = &copy;
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, DuplicateCursor(cursor, &copy, 0));
    EXPECT_EQ(nullptr, copy);
    DeleteCursor(cursor, 0);
    RD_LinkedListForInts* ints = nullptr;
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, CreateListForInts(&ints, 0));
    EXPECT_EQ(nullptr, ints);
    ASSERT_EQ(1, CreateListForInts(&ints, 0));
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, AddIntToList(ints, 5, 0));
    EXPECT_EQ(0, CountIntItemsInList(ints, 0));
    FreeIntList(ints, 0);
    kvr::FailNthBlockCreation(0);
    void* data = &data;
    EXPECT_EQ(0, FindItemWithIntKey(nullptr, 1, &data));
    EXPECT_EQ(nullptr, data);
}

TEST(Lists, IntegerKeysLiveInTheKeyField) {
    void* list = nullptr;
    ASSERT_EQ(1, CreateListWithIntKey(&list, 0));
    int a = 1, b = 2, c = 3, d = 4;
    AddItemToListWithIntKey(list, &a, 7, 0);
    AddItemToListWithIntKey(list, &b, -2, 0);
    AddItemToListWithIntKey(list, &c, 7, 0);
    AddItemToListWithIntKey(list, &d, 0, 0);
    auto* shape = static_cast<RD_LinkedList*>(list);
    EXPECT_EQ(7, kvr::IntKeyOf(shape->Head));
    EXPECT_EQ(-2, kvr::IntKeyOf(shape->Head->Next));

    struct Case {
        int32_t key;
        void* expected;
    };
    for (const Case& k : {Case{-2, &b}, Case{7, &a}, Case{0, &d}, Case{5, kNone}}) {
        void* data = &data;
        const int32_t found = FindItemWithIntKey(list, k.key, &data);
        EXPECT_EQ(k.expected, found ? data : (data == nullptr ? kNone : &data)) << k.key;
    }
    EXPECT_EQ(kNone, Got(GetNextItem, list)); // the failed find left no current item
    // Text searches find nothing in a list whose keys are numbers.
    EXPECT_EQ(kNone, Find(list, "7"));
    EXPECT_EQ(0, MatchItemWithKey(list, "*"));

    void* data = nullptr;
    EXPECT_EQ(2, CountItemsInListWithIntKey(list, 7, &data, 0));
    EXPECT_EQ(&a, data);
    EXPECT_EQ(0, CountItemsInListWithIntKey(list, 99, &data, 0));
    EXPECT_EQ(&a, data); // left alone when nothing is found
    void* key = nullptr;
    ASSERT_EQ(1, FindItemWithIntKey(list, -2, &data));
    ASSERT_EQ(1, UnlinkCurrentItemAndReturnKey(list, &data, &key, 0));
    EXPECT_EQ(kvr::IntKeyField(-2), key);
    EXPECT_EQ(3, CountItemsInIntList(list, 0));
    Empty(list);
    FreeList(list, 0);
}

TEST(Lists, IntegerListsFindAndCount) {
    const int32_t before = Outstanding();
    RD_LinkedListForInts* ints = nullptr;
    ASSERT_EQ(1, CreateListForInts(&ints, 0));
    EXPECT_EQ(0, CountIntItemsInList(ints, 0));
    EXPECT_EQ(0, FindIntItem(ints, 0));
    for (int32_t value : {10, -4, 10, 0})
        ASSERT_EQ(1, AddIntToList(ints, value, 0));
    ASSERT_EQ(1, FindIntItem(ints, -4));
    EXPECT_EQ(4, CountIntItemsInList(ints, 0));
    EXPECT_EQ(before + 5, Outstanding());       // the list and its four items
    EXPECT_EQ(ints->Head->Next, ints->Current); // counting does not move it
    ASSERT_EQ(1, FindIntItem(ints, 0));
    EXPECT_EQ(ints->Tail, ints->Current);
    EXPECT_EQ(0, FindIntItem(ints, 3));
    EXPECT_EQ(nullptr, ints->Current);
    FreeIntList(ints, 0);
    EXPECT_EQ(before, Outstanding());
}

TEST(Lists, KeyPatterns) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"ABC", "ABC", true},    {"ABC", "ABCD", false},    {"ABC", "AB", false},
        {"ABC", "abc", false},   {"A*", "A", true},         {"A*", "ABC", true},
        {"A*", "BA", false},     {"A*", "a", false},        {"A?C", "ABC", true},
        {"A?C", "AC", false},    {"A?C", "ABBC", false},    {"*B", "AAB", true},
        {"*B", "B", true},       {"*B", "BA", false},       {"A*B*C", "AXXBYC", true},
        {"A*B*C", "ABC", true},  {"A*B*C", "AXXBY", false}, {"A*B*C", "ACB", false},
        {"*AB", "AAB", true},    {"*AB", "ABAB", true},     {"*AB", "ABA", false},
        {"*AAB", "AAAB", true},  {"A*A", "AA", true},       {"A*A", "A", false},
        {"A*A", "ABA", true},    {"A*A", "AAB", false},     {"A*BC", "ABCBC", true},
        {"A*BC", "ABCB", false}, {"AB*CD", "ABCCD", true},  {"*A*B", "XAYAZB", true},
        {"*X*", "ABC", false},   {"*", "", true},           {"**", "", true},
        {"**", "XY", true},      {"A**", "A", true},        {"", "", true},
        {"", "A", false},        {"?", "", false},          {"?*", "", false},
        {"*?", "X", true},       {"*?", "", false},         {"?*?", "A", false},
        {"?*?", "AB", true},     {"A*", "A*", true},        {"A?", "A?", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.matches, kvr::MatchKeyPattern(c.pattern, c.text))
            << "pattern \"" << c.pattern << "\" text \"" << c.text << "\"";
    EXPECT_FALSE(kvr::MatchKeyPattern(nullptr, "A"));
    EXPECT_FALSE(kvr::MatchKeyPattern("*", nullptr));
}

TEST(Lists, MatchItemWithKeyStopsOnTheFirstMatchingPattern) {
    Fixture f(0);
    int exact = 1, payAny = 2, anyX = 3, all = 4;
    AddItemToList(f.list, &exact, "PAYROLL", 0);
    AddItemToList(f.list, &payAny, "PAY*", 0);
    AddItemToList(f.list, &anyX, "*X?", 0);
    AddItemToList(f.list, nullptr, "NODATA*", 0);
    AddItemToList(f.list, &all, "*", 0);
    // PAY* comes before *X?; NODATA* is found though it holds no data.
    struct Case {
        const char* text;
        void* current;
    };
    for (const Case& c : {Case{"PAYROLL", &exact}, Case{"PAYX1", &payAny}, Case{"TAXI", &anyX},
                          Case{"NODATA1", kNone}}) {
        ASSERT_EQ(1, MatchItemWithKey(f.list, c.text)) << c.text;
        EXPECT_EQ(c.current, Got(GetCurrentItem, f.list)) << c.text;
    }
    EXPECT_EQ(&all, Got(GetNextItem, f.list));
    // The list's key is the pattern, the argument only text.
    void* data = nullptr;
    UnlinkCurrentItem(f.list, &data, 0);
    FindLastItem(f.list, nullptr);
    EXPECT_EQ(0, MatchItemWithKey(f.list, "*"));
    EXPECT_EQ(kNone, Got(GetCurrentItem, f.list));
    EXPECT_EQ(kNone, Got(GetNextItem, f.list));
    EXPECT_EQ(0, MatchItemWithKey(f.list, nullptr));
}

} // namespace
