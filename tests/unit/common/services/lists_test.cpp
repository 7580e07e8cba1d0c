// Lists and cursors: the built-in current item through walks, finds and removals, the
// integer-keyed variants, counting, cursors, the key patterns of MatchItemWithKey, and
// that every list, item and cursor is returned as a counted block.
#include "services/lists.h"

#include "services/key_pattern.h"
#include "services/memory_blocks.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int32_t CreatedSoFar() {
    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    return created;
}

int32_t FreedSoFar() {
    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    return freed;
}

// The data of every item from the head, by the built-in walk.
std::vector<void*> Walk(void* list) {
    std::vector<void*> seen;
    void* data = nullptr;
    for (int32_t found = FindFirstItem(list, &data); found != 0; found = GetNextItem(list, &data))
        seen.push_back(data);
    return seen;
}

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
        void* ignored = nullptr;
        while (FindFirstItem(list, &ignored) != 0)
            UnlinkCurrentItem(list, &ignored, 0);
        FreeList(list, 0); // items are gone, so no caller data is freed here
    }
};

TEST(Lists, CreateAppendAndWalkBothWays) {
    void* list = nullptr;
    ASSERT_EQ(1, CreateList(&list, 0));
    EXPECT_EQ(1, static_cast<RD_LinkedList*>(list)->KeyIsString);
    void* intKeyed = nullptr;
    ASSERT_EQ(1, CreateListWithIntKey(&intKeyed, 0));
    EXPECT_EQ(0, static_cast<RD_LinkedList*>(intKeyed)->KeyIsString);
    FreeList(intKeyed, 0);
    FreeList(list, 0);

    Fixture f;
    EXPECT_EQ((std::vector<void*>{&f.a, &f.b, &f.c, &f.d}), Walk(f.list));

    // Walking off the end leaves no current item; further steps keep answering 0.
    void* data = &data;
    EXPECT_EQ(0, GetNextItem(f.list, &data));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0, GetCurrentItem(f.list, &data));

    ASSERT_EQ(1, FindLastItem(f.list, &data));
    EXPECT_EQ(&f.d, data);
    ASSERT_EQ(1, GetPreviousItem(f.list, &data));
    EXPECT_EQ(&f.c, data);

    // Appending does not move the current item.
    int e = 5;
    ASSERT_EQ(1, AddItemToList(f.list, &e, "E", 0));
    ASSERT_EQ(1, GetCurrentItem(f.list, &data));
    EXPECT_EQ(&f.c, data);
    ASSERT_EQ(1, FindLastItem(f.list, &data));
    EXPECT_EQ(&e, data);
    ASSERT_EQ(1, GetPreviousItem(f.list, &data));
    EXPECT_EQ(&f.d, data);

    FindFirstItem(f.list, &data);
    EXPECT_EQ(0, GetPreviousItem(f.list, &data));
    EXPECT_EQ(nullptr, data);
}

TEST(Lists, EmptyListsAndNullArgumentsAnswerZero) {
    Fixture empty(0);
    void* data = &data;
    EXPECT_EQ(0, FindFirstItem(empty.list, &data));
    EXPECT_EQ(nullptr, data);
    data = &data;
    EXPECT_EQ(0, FindLastItem(empty.list, &data));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0, GetNextItem(empty.list, &data));
    EXPECT_EQ(0, UnlinkCurrentItem(empty.list, &data, 0));
    EXPECT_EQ(0, CountItemsInIntList(empty.list, 0));

    EXPECT_EQ(0, CreateList(nullptr, 0));
    EXPECT_EQ(0, AddItemToList(nullptr, &data, "K", 0));
    EXPECT_EQ(0, AddItemToListWithIntKey(nullptr, &data, 1, 0));
    EXPECT_EQ(0, AddIntToList(nullptr, 1, 0));
    EXPECT_EQ(0, FindFirstItem(nullptr, &data));
    EXPECT_EQ(0, FindLastItem(nullptr, nullptr));
    EXPECT_EQ(0, GetNextItem(nullptr, &data));
    EXPECT_EQ(0, GetPreviousItem(nullptr, &data));
    EXPECT_EQ(0, GetCurrentItem(nullptr, &data));
    EXPECT_EQ(0, FindItemWithKey(nullptr, "A", &data));
    EXPECT_EQ(0, FindItemWithIntKey(nullptr, 1, &data));
    EXPECT_EQ(0, FindIntItem(nullptr, 1));
    EXPECT_EQ(0, MatchItemWithKey(nullptr, "A"));
    EXPECT_EQ(0, UnlinkCurrentItem(nullptr, &data, 0));
    EXPECT_EQ(0, UnlinkCurrentItemAndReturnKey(nullptr, &data, &data, 0));
    EXPECT_EQ(0, CountItemsInIntList(nullptr, 0));
    EXPECT_EQ(0, CountIntItemsInList(nullptr, 0));
    EXPECT_EQ(0, CountItemsInListWithIntKey(nullptr, 1, &data, 0));
    EXPECT_EQ(0, KVR_CreateCursor(nullptr, &data, 0));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0, DuplicateCursor(nullptr, &data, 0));
    EXPECT_EQ(0, GetDataAtCursor(nullptr, &data));
    EXPECT_EQ(0, AdvanceCursor(nullptr));
    FreeList(nullptr, 0);
    FreeIntList(nullptr, 0);
    DeleteCursor(nullptr, 0);

    // The current item can be read without a place for the data.
    Fixture f(2);
    EXPECT_EQ(1, FindFirstItem(f.list, nullptr));
    EXPECT_EQ(1, GetNextItem(f.list, nullptr));
}

TEST(Lists, FindItemWithKeyStopsOnFirstWholeCaseSensitiveMatch) {
    Fixture f;
    int again = 9;
    AddItemToList(f.list, &again, "B", 0);
    void* data = nullptr;
    ASSERT_EQ(1, FindItemWithKey(f.list, "B", &data));
    EXPECT_EQ(&f.b, data); // the first of two equal keys
    ASSERT_EQ(1, GetNextItem(f.list, &data));
    EXPECT_EQ(&f.c, data); // the walk goes on from the match

    // The key is compared as a whole string, not as a prefix, and with its case.
    std::string keyText = "C";
    ASSERT_EQ(1, FindItemWithKey(f.list, keyText.c_str(), &data));
    EXPECT_EQ(&f.c, data);
    data = &data;
    EXPECT_EQ(0, FindItemWithKey(f.list, "b", &data));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0, GetCurrentItem(f.list, &data)); // a failed find leaves no current item
    EXPECT_EQ(0, GetNextItem(f.list, &data));
    EXPECT_EQ(0, FindItemWithKey(f.list, "AB", &data));
    EXPECT_EQ(0, FindItemWithKey(f.list, "", &data));
    EXPECT_EQ(0, FindItemWithKey(f.list, nullptr, &data));

    // An item without a key is skipped rather than compared.
    int keyless = 7;
    AddItemToList(f.list, &keyless, nullptr, 0);
    int last = 8;
    AddItemToList(f.list, &last, "Z", 0);
    ASSERT_EQ(1, FindItemWithKey(f.list, "Z", &data));
    EXPECT_EQ(&last, data);
}

TEST(Lists, GetCurrentItemAnswersZeroForNullDataOfARealItem) {
    void* list = nullptr;
    CreateList(&list, 0);
    int after = 1;
    AddItemToList(list, nullptr, "EMPTY", 0);
    AddItemToList(list, &after, "FULL", 0);
    void* data = &data;
    EXPECT_EQ(1, FindItemWithKey(list, "EMPTY", &data)); // the item is found...
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0, GetCurrentItem(list, &data)); // ...but holds nothing to hand out
    ASSERT_EQ(1, GetNextItem(list, &data));    // and it still is the current item
    EXPECT_EQ(&after, data);
    ASSERT_EQ(1, GetCurrentItem(list, &data));
    EXPECT_EQ(&after, data);
    UnlinkCurrentItem(list, &data, 0);
    FreeList(list, 0); // frees the null datum: nothing, and nothing counted
}

TEST(Lists, UnlinkMakesThePredecessorCurrent) {
    {
        // Removing during a walk: the walk continues with the removed item's successor.
        Fixture f;
        std::vector<void*> kept;
        void* data = nullptr;
        for (int32_t found = FindFirstItem(f.list, &data); found != 0;
             found = GetNextItem(f.list, &data)) {
            if (data == &f.b || data == &f.c) {
                void* removed = nullptr;
                ASSERT_EQ(1, UnlinkCurrentItem(f.list, &removed, 0));
                EXPECT_EQ(data, removed);
            } else {
                kept.push_back(data);
            }
        }
        EXPECT_EQ((std::vector<void*>{&f.a, &f.d}), kept);
        EXPECT_EQ((std::vector<void*>{&f.a, &f.d}), Walk(f.list));
    }
    {
        // Removing the head leaves no current item, and the walk ends there.
        Fixture f;
        void* data = nullptr;
        FindFirstItem(f.list, &data);
        ASSERT_EQ(1, UnlinkCurrentItem(f.list, &data, 0));
        EXPECT_EQ(&f.a, data);
        EXPECT_EQ(0, GetCurrentItem(f.list, &data));
        EXPECT_EQ(0, GetNextItem(f.list, &data));
        data = &data;
        EXPECT_EQ(0, UnlinkCurrentItem(f.list, &data, 0));
        EXPECT_EQ(nullptr, data);
        EXPECT_EQ((std::vector<void*>{&f.b, &f.c, &f.d}), Walk(f.list));
    }
    {
        // Removing the tail moves the tail back; new items link after the new tail.
        Fixture f;
        void* data = nullptr;
        FindLastItem(f.list, &data);
        ASSERT_EQ(1, UnlinkCurrentItem(f.list, &data, 0));
        ASSERT_EQ(1, GetCurrentItem(f.list, &data));
        EXPECT_EQ(&f.c, data);
        int e = 5;
        AddItemToList(f.list, &e, "E", 0);
        EXPECT_EQ((std::vector<void*>{&f.a, &f.b, &f.c, &e}), Walk(f.list));
        FindLastItem(f.list, &data);
        GetPreviousItem(f.list, &data);
        EXPECT_EQ(&f.c, data);
    }
    {
        // The key handed back is the caller's own text, not a copy.
        Fixture f(1);
        const char* key = "OWNKEY";
        int e = 5;
        AddItemToList(f.list, &e, key, 0);
        void* data = nullptr;
        void* returnedKey = nullptr;
        ASSERT_EQ(1, FindItemWithKey(f.list, "OWNKEY", &data));
        ASSERT_EQ(1, UnlinkCurrentItemAndReturnKey(f.list, &data, &returnedKey, 0));
        EXPECT_EQ(&e, data);
        EXPECT_EQ(static_cast<const void*>(key), returnedKey);
        ASSERT_EQ(1, GetCurrentItem(f.list, &data));
        EXPECT_EQ(&f.a, data);
        // The last item goes: head and tail are both empty, and the list can grow again.
        ASSERT_EQ(1, UnlinkCurrentItem(f.list, &data, 0));
        EXPECT_EQ(0, FindLastItem(f.list, &data));
        AddItemToList(f.list, &e, key, 0);
        EXPECT_EQ((std::vector<void*>{&e}), Walk(f.list));
    }
}

TEST(Lists, FreeingReturnsEveryBlockIncludingTheData) {
    const int32_t createdBefore = CreatedSoFar();
    const int32_t freedBefore = FreedSoFar();
    void* list = nullptr;
    ASSERT_EQ(1, CreateList(&list, 0));
    for (int i = 0; i < 5; ++i) {
        void* datum = nullptr;
        ASSERT_EQ(1, CreateBlock(&datum, 32));
        ASSERT_EQ(1, AddItemToList(list, datum, "KEY", 0));
    }
    AddItemToList(list, nullptr, "NODATA", 0);
    void* cursor = nullptr;
    void* copy = nullptr;
    ASSERT_EQ(1, KVR_CreateCursor(list, &cursor, 0));
    ASSERT_EQ(1, DuplicateCursor(cursor, &copy, 0));
    // 1 list + 5 data + 6 items + 2 cursors
    EXPECT_EQ(createdBefore + 14, CreatedSoFar());
    DeleteCursor(copy, 0);
    DeleteCursor(cursor, 0);
    FreeList(list, 0);
    EXPECT_EQ(freedBefore + 14, FreedSoFar());

    RD_LinkedListForInts* ints = nullptr;
    ASSERT_EQ(1, CreateListForInts(&ints, 0));
    for (int32_t i = 0; i < 3; ++i)
        AddIntToList(ints, i, 0);
    FreeIntList(ints, 0);
    EXPECT_EQ(CreatedSoFar() - createdBefore, FreedSoFar() - freedBefore);
    EXPECT_EQ(createdBefore + 18, CreatedSoFar());
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
    kvr::FailNthBlockCreation(0);
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

    void* data = nullptr;
    ASSERT_EQ(1, FindItemWithIntKey(list, -2, &data));
    EXPECT_EQ(&b, data);
    ASSERT_EQ(1, FindItemWithIntKey(list, 7, &data));
    EXPECT_EQ(&a, data);
    ASSERT_EQ(1, FindItemWithIntKey(list, 0, &data));
    EXPECT_EQ(&d, data);
    EXPECT_EQ(0, FindItemWithIntKey(list, 5, &data));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0, GetNextItem(list, &data));

    // Text searches find nothing in a list whose keys are numbers.
    EXPECT_EQ(0, FindItemWithKey(list, "7", &data));
    EXPECT_EQ(0, MatchItemWithKey(list, "*"));

    EXPECT_EQ(2, CountItemsInListWithIntKey(list, 7, &data, 0));
    EXPECT_EQ(&a, data);
    void* untouched = &untouched;
    EXPECT_EQ(0, CountItemsInListWithIntKey(list, 99, &untouched, 0));
    EXPECT_EQ(&untouched, untouched);

    void* key = nullptr;
    ASSERT_EQ(1, FindItemWithIntKey(list, -2, &data));
    ASSERT_EQ(1, UnlinkCurrentItemAndReturnKey(list, &data, &key, 0));
    EXPECT_EQ(kvr::IntKeyField(-2), key);
    EXPECT_EQ(3, CountItemsInIntList(list, 0));

    while (FindFirstItem(list, &data) != 0)
        UnlinkCurrentItem(list, &data, 0);
    FreeList(list, 0);
}

TEST(Lists, IntegerListsFindAndCount) {
    RD_LinkedListForInts* ints = nullptr;
    ASSERT_EQ(1, CreateListForInts(&ints, 0));
    EXPECT_EQ(0, CountIntItemsInList(ints, 0));
    EXPECT_EQ(0, FindIntItem(ints, 0));
    for (int32_t value : {10, -4, 10, 0})
        ASSERT_EQ(1, AddIntToList(ints, value, 0));
    EXPECT_EQ(4, CountIntItemsInList(ints, 0));
    ASSERT_EQ(1, FindIntItem(ints, -4));
    EXPECT_EQ(ints->Head->Next, ints->Current);
    EXPECT_EQ(4, CountIntItemsInList(ints, 0));
    EXPECT_EQ(ints->Head->Next, ints->Current);
    ASSERT_EQ(1, FindIntItem(ints, 0));
    EXPECT_EQ(ints->Tail, ints->Current);
    EXPECT_EQ(0, FindIntItem(ints, 3));
    EXPECT_EQ(nullptr, ints->Current);
    FreeIntList(ints, 0);
}

TEST(Lists, CountingLeavesTheCurrentItemWhereItWas) {
    Fixture f;
    void* data = nullptr;
    FindItemWithKey(f.list, "C", &data);
    EXPECT_EQ(4, CountItemsInIntList(f.list, 0));
    ASSERT_EQ(1, GetCurrentItem(f.list, &data));
    EXPECT_EQ(&f.c, data);
    EXPECT_EQ(0, CountItemsInListWithIntKey(f.list, 12345, &data, 0));
    ASSERT_EQ(1, GetNextItem(f.list, &data));
    EXPECT_EQ(&f.d, data);

    FindItemWithKey(f.list, "none", &data); // no current item
    EXPECT_EQ(4, CountItemsInIntList(f.list, 0));
    EXPECT_EQ(0, GetCurrentItem(f.list, &data));
}

TEST(Lists, CursorsMoveIndependently) {
    Fixture f(2);
    void* cursor = nullptr;
    ASSERT_EQ(1, KVR_CreateCursor(f.list, &cursor, 0));
    void* data = nullptr;
    ASSERT_EQ(1, GetDataAtCursor(cursor, &data));
    EXPECT_EQ(&f.a, data);

    // The built-in current item and the cursor do not move each other.
    FindLastItem(f.list, &data);
    ASSERT_EQ(1, GetDataAtCursor(cursor, &data));
    EXPECT_EQ(&f.a, data);
    EXPECT_EQ(1, AdvanceCursor(cursor));
    ASSERT_EQ(1, GetCurrentItem(f.list, &data));
    EXPECT_EQ(&f.b, data);

    // A duplicate starts where the original stands, then goes its own way.
    void* copy = nullptr;
    ASSERT_EQ(1, DuplicateCursor(cursor, &copy, 0));
    ASSERT_EQ(1, GetDataAtCursor(copy, &data));
    EXPECT_EQ(&f.b, data);

    // Items appended while the cursor stands on the tail are reached by it.
    int c = 3;
    AddItemToList(f.list, &c, "C", 0);
    EXPECT_EQ(1, AdvanceCursor(cursor));
    ASSERT_EQ(1, GetDataAtCursor(cursor, &data));
    EXPECT_EQ(&c, data);
    ASSERT_EQ(1, GetDataAtCursor(copy, &data));
    EXPECT_EQ(&f.b, data);

    // Past the end: 0, the data place is left alone, advancing stays at 0.
    EXPECT_EQ(0, AdvanceCursor(cursor));
    void* untouched = &untouched;
    EXPECT_EQ(0, GetDataAtCursor(cursor, &untouched));
    EXPECT_EQ(&untouched, untouched);
    EXPECT_EQ(0, AdvanceCursor(cursor));
    DeleteCursor(copy, 0);
    DeleteCursor(cursor, 0);

    // A cursor on an empty list stands nowhere.
    Fixture empty(0);
    ASSERT_EQ(1, KVR_CreateCursor(empty.list, &cursor, 0));
    EXPECT_EQ(0, GetDataAtCursor(cursor, &data));
    EXPECT_EQ(0, AdvanceCursor(cursor));
    DeleteCursor(cursor, 0);
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
    void* list = nullptr;
    CreateList(&list, 0);
    int exact = 1, payAny = 2, anyX = 3, all = 4;
    AddItemToList(list, &exact, "PAYROLL", 0);
    AddItemToList(list, &payAny, "PAY*", 0);
    AddItemToList(list, &anyX, "*X?", 0);
    AddItemToList(list, nullptr, "NODATA*", 0);
    AddItemToList(list, &all, "*", 0);

    void* data = nullptr;
    ASSERT_EQ(1, MatchItemWithKey(list, "PAYROLL"));
    ASSERT_EQ(1, GetCurrentItem(list, &data));
    EXPECT_EQ(&exact, data);
    ASSERT_EQ(1, MatchItemWithKey(list, "PAYX1")); // PAY* comes before *X?
    ASSERT_EQ(1, GetCurrentItem(list, &data));
    EXPECT_EQ(&payAny, data);
    ASSERT_EQ(1, MatchItemWithKey(list, "TAXI"));
    ASSERT_EQ(1, GetCurrentItem(list, &data));
    EXPECT_EQ(&anyX, data);
    ASSERT_EQ(1, MatchItemWithKey(list, "NODATA1")); // found, though it holds no data
    EXPECT_EQ(0, GetCurrentItem(list, &data));
    ASSERT_EQ(1, GetNextItem(list, &data));
    EXPECT_EQ(&all, data);

    // The list's key is the pattern, the argument only text.
    UnlinkCurrentItem(list, &data, 0);
    ASSERT_EQ(1, FindLastItem(list, &data));
    EXPECT_EQ(0, MatchItemWithKey(list, "*"));
    EXPECT_EQ(0, GetCurrentItem(list, &data));
    EXPECT_EQ(0, GetNextItem(list, &data));
    EXPECT_EQ(0, MatchItemWithKey(list, nullptr));

    while (FindFirstItem(list, &data) != 0)
        UnlinkCurrentItem(list, &data, 0);
    FreeList(list, 0);
}

TEST(Lists, TracesNameTheFunctionThatMadeOrFreedTheBlock) {
    testing::internal::CaptureStdout();
    void* list = nullptr;
    CreateList(&list, 2);
    AddItemToList(list, nullptr, "K", 2);
    void* cursor = nullptr;
    KVR_CreateCursor(list, &cursor, 2);
    DeleteCursor(cursor, 2);
    FreeList(list, 2);
    const std::string trace = testing::internal::GetCapturedStdout();

    std::vector<std::string> tags;
    size_t start = 0;
    for (size_t end; (end = trace.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = trace.substr(start, end - start);
        tags.push_back(line.substr(line.rfind(' ') + 1));
        EXPECT_EQ(0u, line.find("Memory: ")) << line;
    }
    EXPECT_EQ((std::vector<std::string>{"CreateList", "AddItemToList", "KVR_CreateCursor",
                                        "DeleteCursor", "UnlinkCurrentItem", "FreeList"}),
              tags);
}

} // namespace
