// Symbol tables: every name, value, symbol and table returned as a counted block, also when
// memory runs out half way through adding a symbol or setting a value, and null arguments.
// Lookups and values in whole runs: text_set_symbols, text_nested_procs.
#include "services/memory_blocks.h"

#include "common/scoped_env.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using kvr::test::Outstanding;

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
