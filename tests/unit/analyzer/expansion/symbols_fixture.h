// The fixture of the symbol tests: no scope open at the start (the substitution tests run
// inside one), every block given back at the end, and helpers to set and read values.
#ifndef KVR_TESTS_UNIT_ANALYZER_EXPANSION_SYMBOLS_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_EXPANSION_SYMBOLS_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "analyzer/statement_test_support.h"
#include "expansion/symbols.h"

namespace kvr::test {

class Symbols : public ::testing::Test {
  protected:
    void SetUp() override {
        InitializeScopedSymbolData(0);
        baseline_ = BlocksOutstanding();
    }
    void TearDown() override {
        InitializeScopedSymbolData(0);
        EXPECT_EQ(BlocksOutstanding(), baseline_);
    }
    // The value of a symbol, or "<undefined>" (with the caller's area cleared).
    static std::string Value(const char* name) {
        char value[kSymbolValueSize];
        std::memset(value, 'x', sizeof value);
        if (GetScopedSymbolValue(name, value) == 0) {
            EXPECT_EQ(value[0], '\0');
            return "<undefined>";
        }
        return value;
    }
    static void Set(const char* name, const std::string& value) {
        SetScopedSymbolValue(name, value.c_str(), TRUE, 0);
    }
    MessageRecorder messages_;
    int32_t baseline_ = 0;
};
// The substitution tests run inside one scope.
class Substitution : public Symbols {
  protected:
    void SetUp() override {
        Symbols::SetUp();
        ASSERT_TRUE(BeginSymbolScope(0, 0));
    }
};

} // namespace kvr::test

#endif
