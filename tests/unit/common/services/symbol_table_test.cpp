// Symbol tables: newest symbol first, values held as private copies, exact-name lookup,
// and every name, value, symbol and table returned as a counted block, also when memory
// runs out half way through adding a symbol or setting a value.
#include "services/memory_blocks.h"

#include "common/scoped_env.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using kvr::test::Outstanding;

TEST(SymbolTable, LookupValuesAndBlocks) {
    const int32_t before = Outstanding();
    SymbolTable* table = nullptr;
    ASSERT_TRUE(CreateSymbolTable(&table, 0));
    Symbol *older = nullptr, *newer = nullptr, *other = nullptr, *found = nullptr;
    EXPECT_EQ(0, FindSymbol(table, "X", &found)); // empty table
    std::string name = "X";
    char value[] = "OLD";
    ASSERT_TRUE(AddSymbol(table, name.c_str(), &older, 0));
    ASSERT_EQ(1, SetSymbolValue(older, value, 0));
    ASSERT_TRUE(AddSymbol(table, "Y", &other, 0));
    ASSERT_TRUE(AddSymbol(table, "X", &newer, 0));
    ASSERT_EQ(1, SetSymbolValue(newer, "", 0)); // empty is a value
    name = "Z";                                 // names and values are copies
    std::strcpy(value, "NEW");
    EXPECT_STREQ("OLD", SymbolValue(older));
    // table + 3 symbols + 3 names + 2 values
    EXPECT_EQ(before + 9, Outstanding());
    ASSERT_EQ(1, SetSymbolValue(older, "SECOND", 0)); // the first copy is released
    EXPECT_EQ(before + 9, Outstanding());

    // The newer symbol hides the older; names are compared whole and with their case.
    ASSERT_EQ(1, FindSymbol(table, "X", &found));
    EXPECT_EQ(newer, found);
    EXPECT_EQ(1, HasValue(found));
    EXPECT_STREQ("", SymbolValue(found));
    ASSERT_EQ(1, FindSymbol(table, "Y", &found));
    EXPECT_EQ(other, found);
    EXPECT_EQ(0, HasValue(found));
    EXPECT_EQ(nullptr, SymbolValue(found));
    for (const char* miss : {"x", "XX", "", "Z"})
        EXPECT_EQ(0, FindSymbol(table, miss, &found)) << miss;
    EXPECT_EQ(other, found); // a miss leaves FoundSym alone
    DeleteSymbolTable(table, 0);
    EXPECT_EQ(before, Outstanding());
}

TEST(SymbolTable, ExhaustedMemoryAndNullArguments) {
    const int32_t before = Outstanding();
    SymbolTable* table = reinterpret_cast<SymbolTable*>(&table);
    kvr::FailNthBlockCreation(1);
    EXPECT_FALSE(CreateSymbolTable(&table, 0));
    EXPECT_EQ(nullptr, table);
    ASSERT_TRUE(CreateSymbolTable(&table, 0));
    // No block for the symbol, then none for the copy of its name.
    for (int32_t failing : {1, 2}) {
        Symbol* symbol = reinterpret_cast<Symbol*>(&symbol);
        kvr::FailNthBlockCreation(failing);
        EXPECT_FALSE(AddSymbol(table, "A", &symbol, 0));
        EXPECT_EQ(nullptr, symbol);
    }
    Symbol* symbol = nullptr;
    EXPECT_EQ(0, FindSymbol(table, "A", &symbol));
    EXPECT_EQ(before + 1, Outstanding()); // only the table is held
    ASSERT_TRUE(AddSymbol(table, "A", &symbol, 0));
    ASSERT_EQ(1, SetSymbolValue(symbol, "OLD", 0));
    kvr::FailNthBlockCreation(1);
    EXPECT_EQ(0, SetSymbolValue(symbol, "NEW", 0));
    EXPECT_EQ(0, HasValue(symbol)); // the old value is gone as well
    kvr::FailNthBlockCreation(0);

    EXPECT_FALSE(CreateSymbolTable(nullptr, 0));
    EXPECT_FALSE(AddSymbol(nullptr, "A", &symbol, 0));
    EXPECT_FALSE(AddSymbol(table, nullptr, &symbol, 0));
    EXPECT_TRUE(AddSymbol(table, "B", nullptr, 0)); // the result need not be taken
    EXPECT_EQ(1, FindSymbol(table, "B", nullptr));
    EXPECT_EQ(0, FindSymbol(nullptr, "A", &symbol));
    EXPECT_EQ(0, FindSymbol(table, nullptr, &symbol));
    EXPECT_EQ(0, SetSymbolValue(nullptr, "V", 0));
    EXPECT_EQ(0, SetSymbolValue(symbol, nullptr, 0));
    EXPECT_EQ(0, HasValue(nullptr));
    EXPECT_EQ(nullptr, SymbolValue(nullptr));
    DeleteSymbolTable(nullptr, 0);
    DeleteSymbolTable(table, 0);
    EXPECT_EQ(before, Outstanding());
}

} // namespace
