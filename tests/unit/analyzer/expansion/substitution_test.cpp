// Substitution of &NAME in operand text: periods after names, what is left as written
// (&&, undefined names, empty values after DSN=', TCPIP&, DLM=), apostrophe strings and
// their continuation, long names, and SET statements. Whole statements, long values and the
// early end on severe messages in whole runs: text_set_symbols, text_expansion_error.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "expansion/symbols.h"
#include "reader/symbols.h"

namespace kvr::test {
namespace {

// Each test runs inside one scope of its own; every block is given back at the end.
class Substitution : public ::testing::Test {
  protected:
    struct Result {
        std::string text;
        int32_t symbols = 0;
        int32_t replaced = 0;
    };

    void SetUp() override {
        baseline_ = BlocksOutstanding();
        member_ = std::make_unique<TestMember>();
        ASSERT_TRUE(BeginSymbolScope(Ctx()));
    }
    void TearDown() override {
        member_.reset();
        EXPECT_EQ(BlocksOutstanding(), baseline_);
    }
    MemberContext& Ctx() { return member_->ctx; }
    void Set(const char* name, const std::string& value) {
        SetScopedSymbolValue(Ctx(), name, value.c_str(), TRUE);
    }
    // Substitutes into a cleared area that may start with `prefix`.
    Result Substitute(const std::string& text, int32_t inApost = 0,
                      const std::string& prefix = "") {
        std::vector<char> area(kOperandAreaSize, '\0');
        prefix.copy(area.data(), prefix.size());
        Result result;
        SubstituteSymbolics(Ctx(), text.data(), static_cast<int32_t>(text.size()), area.data(),
                            &result.symbols, &result.replaced, 0, 7, inApost);
        result.text = area.data();
        return result;
    }

    MessageRecorder messages_;
    std::unique_ptr<TestMember> member_;
    int32_t baseline_ = 0;
};

TEST_F(Substitution, OperandTexts) {
    for (auto [name, value] :
         {std::pair{"A", "X"}, {"B2", "Y"}, {"R", "&A"}, {"SYS", "Z"}, {"N", ""}})
        Set(name, value);
    struct Case {
        const char* text;
        const char* expected;
        int symbols = -1; // -1: not checked
        int replaced = -1;
        int inApost = 0;
        const char* prefix = "";
    };
    const Case cases[] = {
        {"DSN=&A..B", "DSN=X.B", 1, 1},
        {"DSN=&A.B", "DSN=XB"},
        {"&A&B2(&A),&B2", "XY(X),Y"},
        {"DSN=&A.&B2..Z", "DSN=XY.Z", 2, 2},
        {"&R", "&A"}, // a value is not scanned again in the same pass
        // What is no symbol stays as written.
        {"DSN=&&TEMP", "DSN=&&TEMP", 0},
        {"DSN=&UNDEF..B", "DSN=&UNDEF..B", 1, 0},
        {"A=& B", "A=& B"},
        {"A=&(1),B=&,C", "A=&(1),B=&,C"},
        {"A=B&", "A=B&"}, // a lone ampersand at the end is kept
        {"SYSTCPD=TCPIP&SYS", "SYSTCPD=TCPIP&SYS"},
        {"X=tcpip&SYS", "X=tcpip&SYS"},
        {"X=TCPI&SYS", "X=TCPIZ"},
        {"", ""},
        // Empty values vanish except as a whole quoted data set name.
        {"DSN=A&N.B", "DSN=AB", -1, 1},
        {"DSN='&N'", "DSN='&N'", -1, 0},
        {"DSNAME='&N'", "DSNAME='&N'"},
        {"X='&N'", "X=''"},
        {"DSN=&N", "DSN="},
        {"DSN='A&N'", "DSN='A'"},
        {"&N'", "DSN='&N'", -1, -1, 1, "DSN='"}, // the output so far counts, area included
        // Apostrophe strings are substituted too; TCPIP& keeps its ampersand only outside
        // them, and a doubled apostrophe does not close a continued string.
        {"PARM='&A'", "PARM='X'"},
        {"PARM='IT''S&A'", "PARM='IT''SX'"},
        {"PARM='&&A',X=&A", "PARM='&&A',X=X"},
        {"X'',TCPIP&A", "X'',TCPIPX", -1, -1, 1},
        {"X'',TCPIP&A", "X'',TCPIP&A", -1, -1, 0},
        {"B',TCPIP&A", "B',TCPIP&A", -1, -1, 1},
        // DLM anywhere switches substitution off.
        {"*,DLM=$$,X=&A", "*,DLM=$$,X=&A", 0},
        {"PARM='DLM=',X=&A.&&B", "PARM='DLM=',X=&A.&&B"}};
    for (const Case& c : cases) {
        const Result r = Substitute(c.text, c.inApost, c.prefix);
        EXPECT_EQ(r.text, c.expected) << c.text;
        EXPECT_TRUE(c.symbols < 0 || r.symbols == c.symbols) << c.text << " " << r.symbols;
        EXPECT_TRUE(c.replaced < 0 || r.replaced == c.replaced) << c.text << " " << r.replaced;
    }
}

TEST_F(Substitution, LongNamesAreReportedAndCutToEightCharacters) {
    Set("ABCDEFGH", "V");
    Set("ABCDEFGHI", "NINE");
    EXPECT_EQ(Substitute("DSN=&ABCDEFGHI.X").text, "DSN=VX");
    EXPECT_EQ(messages_.Count("KVR1355W"), 1);
    // One message per name, however long; an undefined long name keeps its first 8.
    EXPECT_EQ(Substitute("&ABCDEFGHIJKLM,&QRSTUVWXYZ").text, "V,&QRSTUVWX");
    EXPECT_EQ(messages_.Count("KVR1355W"), 3);
    EXPECT_EQ(Substitute("&ABCDEFGH").text, "V");
    EXPECT_EQ(messages_.Count("KVR1355W"), 3);
}

TEST_F(Substitution, SetStatementsStoreValuesAndReportPositionalParameters) {
    StmtPtr set = MakeStatement(Ctx(), RD_SET, "", "A=1,X,B='Q R',N='',A=2", 5);
    ProcessSetCard(Ctx(), set.get());
    EXPECT_EQ(messages_.Count("KVR1367W"), 1);
    char value[kSymbolValueSize];
    ASSERT_EQ(GetScopedSymbolValue(Ctx(), "A", value), 1);
    EXPECT_STREQ(value, "2");
    ASSERT_EQ(GetScopedSymbolValue(Ctx(), "N", value), 1);
    EXPECT_STREQ(value, "");
    EXPECT_EQ(GetScopedSymbolValue(Ctx(), "X", value), 0);
    EXPECT_EQ(Substitute("DSN=A&N.&B").text, "DSN=AQ R");
}

} // namespace
} // namespace kvr::test
