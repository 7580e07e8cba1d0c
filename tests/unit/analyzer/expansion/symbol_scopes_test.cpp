// Symbol scopes: the stack's open/close rules, lookups from the innermost scope outwards,
// the update scope after EndSymbolScopeForUpdate, how call overrides, PROC defaults and
// SETs inside a procedure combine, value limits, and that resets return every block.
#include <gtest/gtest.h>

#include <string>

#include "analyzer/statement_test_support.h"
#include "expansion/symbols.h"

namespace kvr {
namespace {

class SymbolScopes : public ::testing::Test {
  protected:
    void SetUp() override {
        InitializeScopedSymbolData(0);
        baseline_ = test::BlocksOutstanding();
    }
    void TearDown() override {
        InitializeScopedSymbolData(0);
        EXPECT_EQ(test::BlocksOutstanding(), baseline_);
    }
    // The value of a symbol, or "<undefined>".
    static std::string Value(const char* name) {
        char value[kSymbolValueSize];
        std::memset(value, 'x', sizeof value);
        if (GetScopedSymbolValue(name, value) == 0) {
            EXPECT_EQ(value[0], '\0');
            return "<undefined>";
        }
        return value;
    }
    int32_t baseline_ = 0;
};

TEST_F(SymbolScopes, StackRefusesToCloseWhatIsNotOpen) {
    EXPECT_FALSE(EndSymbolScope(0));
    EXPECT_FALSE(EndSymbolScopeForUpdate());
    EXPECT_EQ(Value("A"), "<undefined>");
    SetScopedSymbolValue("A", "1", TRUE, 0); // no scope: nowhere to go
    EXPECT_EQ(Value("A"), "<undefined>");

    ASSERT_TRUE(BeginSymbolScope(0, 0));
    EXPECT_FALSE(EndSymbolScopeForUpdate());
    EXPECT_TRUE(EndSymbolScope(0));
    EXPECT_FALSE(EndSymbolScope(0));
    // The stack is made again on demand after its last scope went.
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("A", "1", TRUE, 0);
    EXPECT_EQ(Value("A"), "1");
}

TEST_F(SymbolScopes, InnermostScopeDecidesAndClosingRevealsTheOuter) {
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("A", "JOB", TRUE, 0);
    SetScopedSymbolValue("B", "JOBB", TRUE, 0);
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("A", "CALL", TRUE, 0);
    SetScopedSymbolValue("E", "", TRUE, 0);
    EXPECT_EQ(Value("A"), "CALL");
    EXPECT_EQ(Value("B"), "JOBB");
    EXPECT_EQ(Value("E"), ""); // defined, empty: found with an empty value
    EXPECT_EQ(Value("a"), "<undefined>");
    ASSERT_TRUE(EndSymbolScope(0));
    EXPECT_EQ(Value("A"), "JOB");
    EXPECT_EQ(Value("E"), "<undefined>");
}

TEST_F(SymbolScopes, UpdateScopeMovesOutwardWhileLookupsStillSeeTheCall) {
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("A", "OUTER", TRUE, 0);
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("A", "INNER", TRUE, 0);

    ASSERT_TRUE(EndSymbolScopeForUpdate());
    SetScopedSymbolValue("A", "NEW", TRUE, 0);
    SetScopedSymbolValue("B", "B1", TRUE, 0);
    EXPECT_EQ(Value("A"), "INNER");
    EXPECT_EQ(Value("B"), "B1");

    ASSERT_TRUE(EndSymbolScope(0));
    EXPECT_EQ(Value("A"), "NEW");
    EXPECT_EQ(Value("B"), "B1");
    // The remaining scope takes updates again.
    SetScopedSymbolValue("C", "C1", TRUE, 0);
    EXPECT_EQ(Value("C"), "C1");
}

TEST_F(SymbolScopes, ClosingANestedCallReturnsUpdatesToTheScopeBelowIt) {
    ASSERT_TRUE(BeginSymbolScope(0, 0)); // job
    ASSERT_TRUE(BeginSymbolScope(0, 0)); // outer call
    ASSERT_TRUE(BeginSymbolScope(0, 0)); // nested call
    ASSERT_TRUE(EndSymbolScopeForUpdate());
    ASSERT_TRUE(EndSymbolScope(0));
    SetScopedSymbolValue("X", "1", TRUE, 0); // goes to the outer call
    ASSERT_TRUE(EndSymbolScope(0));
    EXPECT_EQ(Value("X"), "<undefined>");
}

// EXEC PROC=P,A=1,A=2 with PROC A=9 and a SET A=3 inside the procedure.
TEST_F(SymbolScopes, OverridesDefaultsAndSetsOfACall) {
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    // The EXEC's parameters are set from the last to the first, replacing.
    SetScopedSymbolValue("A", "2", TRUE, 0);
    SetScopedSymbolValue("A", "1", TRUE, 0);
    EXPECT_EQ(Value("A"), "1");
    SetScopedSymbolDefaultValue("A", "9", 0);
    SetScopedSymbolDefaultValue("D", "9", 0);
    EXPECT_EQ(Value("A"), "1");
    EXPECT_EQ(Value("D"), "9");
    SetScopedSymbolValue("A", "3", FALSE, 0); // not replacing: kept
    EXPECT_EQ(Value("A"), "1");
    SetScopedSymbolValue("A", "3", TRUE, 0);
    EXPECT_EQ(Value("A"), "3");
}

TEST_F(SymbolScopes, ValuesUpTo255CharactersComeBackWhole) {
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    const std::string full(255, 'V');
    SetScopedSymbolValue("FULL", full.c_str(), TRUE, 0);
    EXPECT_EQ(Value("FULL"), full);
    // A longer value cannot overrun the caller's 256-byte area.
    const std::string longer = std::string(255, 'W') + "TAIL";
    SetScopedSymbolValue("LONG", longer.c_str(), TRUE, 0);
    EXPECT_EQ(Value("LONG"), std::string(255, 'W'));
}

TEST_F(SymbolScopes, ResetReleasesEveryOpenScope) {
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(BeginSymbolScope(0, 0));
        SetScopedSymbolValue("N", std::to_string(i).c_str(), TRUE, 0);
    }
    EXPECT_GT(test::BlocksOutstanding(), baseline_);
    InitializeScopedSymbolData(0);
    EXPECT_EQ(test::BlocksOutstanding(), baseline_);
    EXPECT_EQ(Value("N"), "<undefined>");
    EXPECT_FALSE(EndSymbolScope(0));
}

} // namespace
} // namespace kvr
