// Symbol scopes: the stack's open/close rules, lookups from the innermost scope outwards,
// the update scope after EndSymbolScopeForUpdate, how call overrides, PROC defaults and
// SETs inside a procedure combine, value limits, and that resets return every block.
#include "analyzer/expansion/symbols_fixture.h"

namespace kvr::test {
namespace {

TEST_F(Symbols, StackRefusesToCloseWhatIsNotOpenAndResetReleasesAll) {
    EXPECT_FALSE(EndSymbolScope(0));
    EXPECT_FALSE(EndSymbolScopeForUpdate());
    Set("A", "1"); // no scope: nowhere to go
    EXPECT_EQ(Value("A"), "<undefined>");
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    EXPECT_FALSE(EndSymbolScopeForUpdate());
    EXPECT_TRUE(EndSymbolScope(0));
    EXPECT_FALSE(EndSymbolScope(0));
    // The stack is made again on demand after its last scope went.
    for (const char* value : {"0", "1", "2", "3"}) {
        ASSERT_TRUE(BeginSymbolScope(0, 0));
        Set("N", value);
    }
    EXPECT_EQ(Value("N"), "3");
    InitializeScopedSymbolData(0);
    EXPECT_EQ(test::BlocksOutstanding(), baseline_);
    EXPECT_EQ(Value("N"), "<undefined>");
    EXPECT_FALSE(EndSymbolScope(0));
}

TEST_F(Symbols, InnermostScopeDecidesAndUpdatesMayGoOutward) {
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    Set("A", "JOB");
    Set("B", "JOBB");
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    Set("A", "CALL");
    Set("E", "");
    EXPECT_EQ(Value("A"), "CALL");
    EXPECT_EQ(Value("B"), "JOBB");
    EXPECT_EQ(Value("E"), ""); // defined, empty: found with an empty value
    EXPECT_EQ(Value("a"), "<undefined>");
    // After EndSymbolScopeForUpdate updates go to the scope below while lookups still see
    // the call; closing the call reveals them.
    ASSERT_TRUE(EndSymbolScopeForUpdate());
    Set("A", "NEW");
    Set("C", "C1");
    EXPECT_EQ(Value("A"), "CALL");
    EXPECT_EQ(Value("C"), "C1");
    ASSERT_TRUE(EndSymbolScope(0));
    EXPECT_EQ(Value("A"), "NEW");
    EXPECT_EQ(Value("E"), "<undefined>");
    Set("D", "D1"); // the remaining scope takes updates again
    EXPECT_EQ(Value("D"), "D1");

    // Closing a nested call returns updates to the scope below it.
    ASSERT_TRUE(BeginSymbolScope(0, 0)); // outer call
    ASSERT_TRUE(BeginSymbolScope(0, 0)); // nested call
    ASSERT_TRUE(EndSymbolScopeForUpdate());
    ASSERT_TRUE(EndSymbolScope(0));
    Set("X", "1"); // goes to the outer call
    ASSERT_TRUE(EndSymbolScope(0));
    EXPECT_EQ(Value("X"), "<undefined>");
}

// EXEC PROC=P,A=1,A=2 with PROC A=9 and a SET A=3 inside the procedure.
TEST_F(Symbols, OverridesDefaultsSetsAndValueLimitsOfACall) {
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    // The EXEC's parameters are set from the last to the first, replacing.
    Set("A", "2");
    Set("A", "1");
    SetScopedSymbolDefaultValue("A", "9", 0);
    SetScopedSymbolDefaultValue("D", "9", 0);
    EXPECT_EQ(Value("A"), "1");
    EXPECT_EQ(Value("D"), "9");
    SetScopedSymbolValue("A", "3", FALSE, 0); // not replacing: kept
    EXPECT_EQ(Value("A"), "1");
    Set("A", "3");
    EXPECT_EQ(Value("A"), "3");

    const std::string full(255, 'V');
    Set("FULL", full.c_str());
    EXPECT_EQ(Value("FULL"), full);
    // A longer value cannot overrun the caller's 256-byte area.
    Set("LONG", (std::string(255, 'W') + "TAIL").c_str());
    EXPECT_EQ(Value("LONG"), std::string(255, 'W'));
}

} // namespace
} // namespace kvr::test
