// Substitution of &NAME in operand text: periods after names, what is left as written
// (&&, undefined names, empty values after DSN=', TCPIP&, DLM=), apostrophe strings and
// their continuation, long names and values, the bounds of the 32768-byte area, the early
// end on severe messages, whole-statement substitution and SET statements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer/statement_test_support.h"
#include "expansion/symbols.h"

namespace kvr {
namespace {

struct Result {
    std::string text;
    int32_t symbols = 0;
    int32_t replaced = 0;
};

// Substitutes into a cleared area that may start with `prefix`.
Result Substitute(const std::string& text, int32_t inApost = 0, const std::string& prefix = "") {
    std::vector<char> area(kOperandAreaSize, '\0');
    prefix.copy(area.data(), prefix.size());
    Result result;
    SubstituteSymbolics(text.data(), static_cast<int32_t>(text.size()), area.data(),
                        &result.symbols, &result.replaced, 0, 7, inApost, 0, 0);
    result.text = area.data();
    return result;
}

class Substitution : public ::testing::Test {
  protected:
    void SetUp() override {
        InitializeScopedSymbolData(0);
        baseline_ = test::BlocksOutstanding();
        ASSERT_TRUE(BeginSymbolScope(0, 0));
    }
    void TearDown() override {
        InitializeScopedSymbolData(0);
        EXPECT_EQ(test::BlocksOutstanding(), baseline_);
    }
    static void Set(const char* name, const std::string& value) {
        SetScopedSymbolValue(name, value.c_str(), TRUE, 0);
    }
    test::MessageRecorder messages_;
    int32_t baseline_ = 0;
};

TEST_F(Substitution, NamesAreReplacedAndTheirPeriodDropped) {
    Set("A", "X");
    Set("B2", "Y");
    Result r = Substitute("DSN=&A..B");
    EXPECT_EQ(r.text, "DSN=X.B");
    EXPECT_EQ(r.symbols, 1);
    EXPECT_EQ(r.replaced, 1);
    EXPECT_EQ(Substitute("DSN=&A.B").text, "DSN=XB");
    EXPECT_EQ(Substitute("&A&B2(&A),&B2").text, "XY(X),Y");
    r = Substitute("DSN=&A.&B2..Z");
    EXPECT_EQ(r.text, "DSN=XY.Z");
    EXPECT_EQ(r.symbols, 2);
    EXPECT_EQ(r.replaced, 2);
    // A value is not scanned again in the same pass.
    Set("R", "&A");
    EXPECT_EQ(Substitute("&R").text, "&A");
}

TEST_F(Substitution, WhatIsNoSymbolStaysAsWritten) {
    Set("SYS", "Z");
    Result r = Substitute("DSN=&&TEMP");
    EXPECT_EQ(r.text, "DSN=&&TEMP");
    EXPECT_EQ(r.symbols, 0);
    r = Substitute("DSN=&UNDEF..B");
    EXPECT_EQ(r.text, "DSN=&UNDEF..B");
    EXPECT_EQ(r.symbols, 1);
    EXPECT_EQ(r.replaced, 0);
    EXPECT_EQ(Substitute("A=& B").text, "A=& B");
    EXPECT_EQ(Substitute("A=&(1),B=&,C").text, "A=&(1),B=&,C");
    EXPECT_EQ(Substitute("A=B&").text, "A=B&"); // a lone ampersand at the end is kept
    EXPECT_EQ(Substitute("SYSTCPD=TCPIP&SYS").text, "SYSTCPD=TCPIP&SYS");
    EXPECT_EQ(Substitute("X=tcpip&SYS").text, "X=tcpip&SYS");
    EXPECT_EQ(Substitute("X=TCPI&SYS").text, "X=TCPIZ");
    EXPECT_EQ(Substitute("").text, "");
}

TEST_F(Substitution, EmptyValuesVanishExceptAsAWholeQuotedDataSetName) {
    Set("N", "");
    Result r = Substitute("DSN=A&N.B");
    EXPECT_EQ(r.text, "DSN=AB");
    EXPECT_EQ(r.replaced, 1);
    r = Substitute("DSN='&N'");
    EXPECT_EQ(r.text, "DSN='&N'");
    EXPECT_EQ(r.replaced, 0);
    EXPECT_EQ(Substitute("DSNAME='&N'").text, "DSNAME='&N'");
    EXPECT_EQ(Substitute("X='&N'").text, "X=''");
    EXPECT_EQ(Substitute("DSN=&N").text, "DSN=");
    EXPECT_EQ(Substitute("DSN='A&N'").text, "DSN='A'");
    // The rule looks at the output so far, including what the area already held.
    EXPECT_EQ(Substitute("&N'", 1, "DSN='").text, "DSN='&N'");
}

TEST_F(Substitution, ApostropheStringsAreSubstitutedToo) {
    Set("A", "1");
    EXPECT_EQ(Substitute("PARM='&A'").text, "PARM='1'");
    EXPECT_EQ(Substitute("PARM='IT''S&A'").text, "PARM='IT''S1'");
    EXPECT_EQ(Substitute("PARM='&&A',X=&A").text, "PARM='&&A',X=1");
    // Continuing a string: TCPIP& only keeps its ampersand outside apostrophes, and the
    // doubled apostrophe does not close the string.
    EXPECT_EQ(Substitute("X'',TCPIP&A", 1).text, "X'',TCPIP1");
    EXPECT_EQ(Substitute("X'',TCPIP&A", 0).text, "X'',TCPIP&A");
    EXPECT_EQ(Substitute("B',TCPIP&A", 1).text, "B',TCPIP&A");
}

TEST_F(Substitution, DlmAnywhereSwitchesSubstitutionOff) {
    Set("A", "1");
    Result r = Substitute("*,DLM=$$,X=&A");
    EXPECT_EQ(r.text, "*,DLM=$$,X=&A");
    EXPECT_EQ(r.symbols, 0);
    EXPECT_EQ(Substitute("PARM='DLM=',X=&A.&&B").text, "PARM='DLM=',X=&A.&&B");
}

TEST_F(Substitution, LongNamesAreReportedAndCutToEightCharacters) {
    Set("ABCDEFGH", "V");
    Set("ABCDEFGHI", "NINE");
    Result r = Substitute("DSN=&ABCDEFGHI.X");
    EXPECT_EQ(r.text, "DSN=VX");
    EXPECT_EQ(messages_.Count("KVR1355W"), 1);
    // One message per name, however long; an undefined long name keeps its first 8.
    r = Substitute("&ABCDEFGHIJKLM,&QRSTUVWXYZ");
    EXPECT_EQ(r.text, "V,&QRSTUVWX");
    EXPECT_EQ(messages_.Count("KVR1355W"), 3);
    EXPECT_EQ(Substitute("&ABCDEFGH").text, "V");
    EXPECT_EQ(messages_.Count("KVR1355W"), 3);
}

TEST_F(Substitution, ValuesUpTo255CharactersAreSubstitutedWhole) {
    const std::string value(255, 'Q');
    Set("V", value);
    EXPECT_EQ(Substitute("X=&V.,Y").text, "X=" + value + ",Y");
}

TEST_F(Substitution, OutputNeverPassesTheArea) {
    Set("V", std::string(255, 'Q'));
    const std::string big(kOperandAreaSize + 100, 'A');
    std::vector<char> area(kOperandAreaSize + 64, '#');
    area[0] = '\0';
    int32_t symbols = 0;
    int32_t replaced = 0;
    SubstituteSymbolics(big.data(), static_cast<int32_t>(big.size()), area.data(), &symbols,
                        &replaced, 0, 1, 0, 0, 0);
    EXPECT_EQ(std::string(area.data()), std::string(kOperandAreaSize - 1, 'A'));
    EXPECT_EQ(area[kOperandAreaSize], '#');

    // A value that does not fit is cut at the end of the area.
    std::fill(area.begin(), area.end(), '#');
    std::fill(area.begin(), area.begin() + kOperandAreaSize - 11, 'P');
    area[kOperandAreaSize - 11] = '\0';
    const std::string text = "&V,MORE";
    SubstituteSymbolics(text.data(), static_cast<int32_t>(text.size()), area.data(), &symbols,
                        &replaced, 0, 1, 0, 0, 0);
    const std::string out(area.data());
    EXPECT_EQ(out.size(), static_cast<size_t>(kOperandAreaSize - 1));
    EXPECT_EQ(out.substr(out.size() - 11), std::string(10, 'Q').insert(0, "P"));
    EXPECT_EQ(area[kOperandAreaSize], '#');
}

TEST_F(Substitution, ScanEndsAtOnceAfterASevereMessage) {
    Set("A", "1");
    SetMaximumSeverity(8);
    EXPECT_EQ(Substitute("X=&A,Y").text, "");
    ResetMaximumSeverity();
    SetMaximumSeverity(4);
    EXPECT_EQ(Substitute("X=&A,Y").text, "X=1,Y");
}

TEST_F(Substitution, WholeStatementsGetASubstitutedCopy) {
    Set("A", "X");
    test::StmtPtr stmt = test::MakeStatement(RD_DD, "SYSUT1", "DSN=&A..B,DISP=SHR", 12);
    JCLStatement* copy = nullptr;
    ASSERT_EQ(SubstituteStmtSymbolics(stmt.get(), &copy, 0, 0), 1);
    test::StmtPtr owned(copy);
    ASSERT_NE(copy, stmt.get());
    EXPECT_STREQ(copy->StatementParms, "DSN=X.B,DISP=SHR");
    EXPECT_EQ(copy->ParmLength, 16);
    EXPECT_EQ(copy->ParmMaxLength, 16);
    EXPECT_STREQ(copy->StatementLabel, "SYSUT1");
    EXPECT_EQ(copy->StatementType, RD_DD);
    EXPECT_EQ(copy->fileLine, 12);
    EXPECT_STREQ(stmt->StatementParms, "DSN=&A..B,DISP=SHR");

    // Nothing replaced: an unchanged copy. No operands: a copy without operands.
    test::StmtPtr plain = test::MakeStatement(RD_DD, "IN", "DSN=&&T,UNIT=&U", 3);
    ASSERT_EQ(SubstituteStmtSymbolics(plain.get(), &copy, 0, 0), 1);
    owned.reset(copy);
    EXPECT_STREQ(copy->StatementParms, "DSN=&&T,UNIT=&U");
    test::StmtPtr bare = test::MakeStatement(RD_PEND, "", nullptr, 4);
    ASSERT_EQ(SubstituteStmtSymbolics(bare.get(), &copy, 0, 0), 1);
    owned.reset(copy);
    EXPECT_EQ(copy->StatementParms, nullptr);

    SetMaximumSeverity(8);
    copy = stmt.get();
    EXPECT_EQ(SubstituteStmtSymbolics(stmt.get(), &copy, 0, 0), 0);
    EXPECT_EQ(copy, nullptr);
}

TEST_F(Substitution, SetStatementsStoreValuesAndReportPositionalParameters) {
    test::StmtPtr set = test::MakeStatement(RD_SET, "", "A=1,X,B='Q R',N='',A=2", 5);
    ProcessSetCard(set.get(), 0, 0);
    EXPECT_EQ(messages_.Count("KVR1367W"), 1);
    char value[kSymbolValueSize];
    ASSERT_EQ(GetScopedSymbolValue("A", value), 1);
    EXPECT_STREQ(value, "2");
    ASSERT_EQ(GetScopedSymbolValue("B", value), 1);
    EXPECT_STREQ(value, "Q R");
    ASSERT_EQ(GetScopedSymbolValue("N", value), 1);
    EXPECT_STREQ(value, "");
    EXPECT_EQ(GetScopedSymbolValue("X", value), 0);
    EXPECT_EQ(Substitute("DSN=A&N.&B").text, "DSN=AQ R");
}

} // namespace
} // namespace kvr
