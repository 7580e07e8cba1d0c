// Symbol tables: newest symbol first, values held as private copies, exact-name lookup,
// and every name, value, symbol and table returned as a counted block, also when memory
// runs out half way through adding a symbol or setting a value.
#include "services/memory_blocks.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int32_t Outstanding() {
    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    return created - freed;
}

TEST(SymbolTable, NewerSymbolHidesOlderOfTheSameName) {
    SymbolTable* table = nullptr;
    ASSERT_TRUE(CreateSymbolTable(&table, 0));
    Symbol* older = nullptr;
    Symbol* newer = nullptr;
    Symbol* other = nullptr;
    ASSERT_TRUE(AddSymbol(table, "X", &older, 0));
    ASSERT_TRUE(SetSymbolValue(older, "OLD", 0));
    ASSERT_TRUE(AddSymbol(table, "Y", &other, 0));
    ASSERT_TRUE(AddSymbol(table, "X", &newer, 0));
    EXPECT_NE(older, newer);
    ASSERT_EQ(1, SetSymbolValue(newer, "NEW", 0));

    Symbol* found = nullptr;
    ASSERT_EQ(1, FindSymbol(table, "X", &found));
    EXPECT_EQ(newer, found);
    EXPECT_STREQ("NEW", SymbolValue(found));
    ASSERT_EQ(1, FindSymbol(table, "Y", &found));
    EXPECT_EQ(other, found);
    EXPECT_EQ(0, HasValue(found));

    // Names are compared whole and with their case; a miss leaves FoundSym alone.
    Symbol* untouched = other;
    EXPECT_EQ(0, FindSymbol(table, "x", &untouched));
    EXPECT_EQ(0, FindSymbol(table, "XX", &untouched));
    EXPECT_EQ(0, FindSymbol(table, "", &untouched));
    EXPECT_EQ(other, untouched);
    DeleteSymbolTable(table, 0);
}

TEST(SymbolTable, ValuesAreCopiesAndEmptyIsAValue) {
    SymbolTable* table = nullptr;
    ASSERT_TRUE(CreateSymbolTable(&table, 0));
    Symbol* unset = nullptr;
    Symbol* empty = nullptr;
    Symbol* twice = nullptr;
    AddSymbol(table, "UNSET", &unset, 0);
    AddSymbol(table, "EMPTY", &empty, 0);
    AddSymbol(table, "TWICE", &twice, 0);

    EXPECT_EQ(0, HasValue(unset));
    EXPECT_EQ(nullptr, SymbolValue(unset));
    ASSERT_EQ(1, SetSymbolValue(empty, "", 0));
    EXPECT_EQ(1, HasValue(empty));
    EXPECT_STREQ("", SymbolValue(empty));

    char source[] = "FIRST";
    ASSERT_EQ(1, SetSymbolValue(twice, source, 0));
    std::strcpy(source, "OTHER");
    EXPECT_STREQ("FIRST", SymbolValue(twice)); // held as a copy
    const int32_t before = Outstanding();
    ASSERT_EQ(1, SetSymbolValue(twice, "SECOND", 0));
    EXPECT_STREQ("SECOND", SymbolValue(twice));
    EXPECT_EQ(before, Outstanding()); // the first copy was released

    // The name is a copy as well.
    std::string name = "TEMP";
    Symbol* temp = nullptr;
    AddSymbol(table, name.c_str(), &temp, 0);
    name = "GONE";
    Symbol* found = nullptr;
    ASSERT_EQ(1, FindSymbol(table, "TEMP", &found));
    EXPECT_EQ(temp, found);
    DeleteSymbolTable(table, 0);
}

TEST(SymbolTable, EveryBlockComesBack) {
    const int32_t before = Outstanding();
    SymbolTable* table = nullptr;
    ASSERT_TRUE(CreateSymbolTable(&table, 0));
    Symbol* found = nullptr;
    EXPECT_EQ(0, FindSymbol(table, "ANY", &found)); // empty table
    EXPECT_EQ(nullptr, found);
    for (const char* name : {"A", "B", "C"}) {
        Symbol* symbol = nullptr;
        ASSERT_TRUE(AddSymbol(table, name, &symbol, 0));
        if (name[0] != 'B') SetSymbolValue(symbol, "V", 0);
    }
    // table + 3 symbols + 3 names + 2 values
    EXPECT_EQ(before + 9, Outstanding());
    DeleteSymbolTable(table, 0);
    EXPECT_EQ(before, Outstanding());

    // At -d2 each block is traced under the operation that made or freed it.
    testing::internal::CaptureStdout();
    CreateSymbolTable(&table, 2);
    Symbol* symbol = nullptr;
    AddSymbol(table, "S", &symbol, 2);
    SetSymbolValue(symbol, "V", 2);
    DeleteSymbolTable(table, 2);
    const std::string trace = testing::internal::GetCapturedStdout();
    for (const char* tag :
         {" CreateSymbolTable\n", " AddSymbol\n", " SetSymbolValue\n", " DeleteSymbolTable\n"})
        EXPECT_NE(std::string::npos, trace.find(tag)) << tag;
    EXPECT_EQ(before, Outstanding());
}

TEST(SymbolTable, ExhaustedMemoryLeavesNothingHalfDone) {
    const int32_t before = Outstanding();
    SymbolTable* table = reinterpret_cast<SymbolTable*>(&table);
    kvr::FailNthBlockCreation(1);
    EXPECT_FALSE(CreateSymbolTable(&table, 0));
    EXPECT_EQ(nullptr, table);
    ASSERT_TRUE(CreateSymbolTable(&table, 0));

    Symbol* symbol = reinterpret_cast<Symbol*>(&symbol);
    kvr::FailNthBlockCreation(1); // no block for the symbol
    EXPECT_FALSE(AddSymbol(table, "A", &symbol, 0));
    EXPECT_EQ(nullptr, symbol);
    symbol = reinterpret_cast<Symbol*>(&symbol);
    kvr::FailNthBlockCreation(2); // no block for the copy of its name
    EXPECT_FALSE(AddSymbol(table, "A", &symbol, 0));
    EXPECT_EQ(nullptr, symbol);
    Symbol* found = nullptr;
    EXPECT_EQ(0, FindSymbol(table, "A", &found));
    EXPECT_EQ(before + 1, Outstanding()); // only the table is held

    ASSERT_TRUE(AddSymbol(table, "A", &symbol, 0));
    ASSERT_EQ(1, SetSymbolValue(symbol, "OLD", 0));
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, SetSymbolValue(symbol, "NEW", 0));
    EXPECT_EQ(0, HasValue(symbol)); // the old value is gone as well
    EXPECT_EQ(nullptr, SymbolValue(symbol));
    DeleteSymbolTable(table, 0);
    EXPECT_EQ(before, Outstanding());
    kvr::FailNthBlockCreation(0);
}

TEST(SymbolTable, NullArgumentsAnswerFalse) {
    SymbolTable* table = nullptr;
    ASSERT_TRUE(CreateSymbolTable(&table, 0));
    Symbol* symbol = nullptr;
    EXPECT_FALSE(CreateSymbolTable(nullptr, 0));
    EXPECT_FALSE(AddSymbol(nullptr, "A", &symbol, 0));
    EXPECT_FALSE(AddSymbol(table, nullptr, &symbol, 0));
    EXPECT_TRUE(AddSymbol(table, "A", nullptr, 0)); // the result need not be taken
    EXPECT_EQ(1, FindSymbol(table, "A", nullptr));
    EXPECT_EQ(0, FindSymbol(nullptr, "A", &symbol));
    EXPECT_EQ(0, FindSymbol(table, nullptr, &symbol));
    ASSERT_EQ(1, FindSymbol(table, "A", &symbol));
    EXPECT_EQ(0, SetSymbolValue(nullptr, "V", 0));
    EXPECT_EQ(0, SetSymbolValue(symbol, nullptr, 0));
    EXPECT_EQ(0, HasValue(nullptr));
    EXPECT_EQ(nullptr, SymbolValue(nullptr));
    DeleteSymbolTable(nullptr, 0);
    DeleteSymbolTable(table, 0);
}

} // namespace
