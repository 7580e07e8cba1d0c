// Statement lists and keyword helpers: owned copies keyed by their labels, deletion with
// in-stream data, cursors that reach statements appended behind the last one handed out,
// the procedure validity table, and the KEYWORD=VALUE and apostrophe helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer/statement_test_support.h"
#include "reader/instream_data.h"
#include "reader/statement_list.h"

namespace kvr {
namespace {

class StatementLists : public ::testing::Test {
  protected:
    void SetUp() override {
        baseline_ = test::BlocksOutstanding();
        ASSERT_TRUE(CreateStmtList(&list_, 0));
    }
    void TearDown() override {
        DeleteStmtList(list_, 0);
        EXPECT_EQ(test::BlocksOutstanding(), baseline_);
    }
    JCLStatement* Add(const char* label, const char* parms) {
        test::StmtPtr stmt = test::MakeStatement(RD_DD, label, parms);
        JCLStatement* copy = nullptr;
        EXPECT_TRUE(AddStmtToList(stmt.get(), list_, &copy, 0));
        return copy;
    }
    // The labels handed out by one GetStmtViaCursor call after another until FALSE.
    static std::vector<std::string> Take(void* cursor) {
        std::vector<std::string> labels;
        JCLStatement* stmt = nullptr;
        while (GetStmtViaCursor(cursor, &stmt))
            labels.push_back(stmt->StatementLabel);
        EXPECT_EQ(stmt, nullptr);
        return labels;
    }
    StatementList* list_ = nullptr;
    int32_t baseline_ = 0;
};

TEST_F(StatementLists, TheListOwnsCopiesKeyedByTheirLabels) {
    test::StmtPtr original = test::MakeStatement(RD_DD, "SYSUT1", "DSN=A.B");
    JCLStatement* copy = nullptr;
    ASSERT_TRUE(AddStmtToList(original.get(), list_, &copy, 0));
    ASSERT_NE(copy, original.get());
    original.reset(); // the list's copy lives on
    EXPECT_STREQ(copy->StatementParms, "DSN=A.B");
    Add("SYSUT2", "DSN=C");
    void* found = nullptr;
    ASSERT_TRUE(FindItemWithKey(list_->LinkedList, "SYSUT1", &found));
    EXPECT_EQ(found, copy);

    // The copied in-stream data is the list's own; TearDown's balance covers its release.
    test::StmtPtr dd = test::MakeStatement(RD_DD, "SYSIN", "*");
    SourceLine card{0, 2, 4, "DATA"};
    ASSERT_EQ(AddInstreamDataToStmt(dd.get(), &card, 0), 1);
    ASSERT_TRUE(AddStmtToList(dd.get(), list_, &copy, 0));
    ASSERT_NE(copy->inStreamData, nullptr);
    EXPECT_NE(copy->inStreamData, dd->inStreamData);
}

TEST_F(StatementLists, CursorsWalkInOrderAndReachStatementsAppendedLater) {
    void* cursor = nullptr;
    ASSERT_TRUE(CreateStmtCursor(list_, &cursor, 0)); // on an empty list
    EXPECT_TRUE(Take(cursor).empty());
    Add("S1", "A");
    Add("S2", "B");
    JCLStatement* stmt = nullptr;
    ASSERT_TRUE(GetStmtViaCursor(cursor, &stmt));
    EXPECT_STREQ(stmt->StatementLabel, "S1");
    Add("S3", "C"); // appended while the walk runs
    ASSERT_TRUE(GetStmtViaCursor(cursor, &stmt));
    EXPECT_STREQ(stmt->StatementLabel, "S2");
    // The cursor now stands at the last statement; S4 is appended behind it.
    ASSERT_TRUE(GetStmtViaCursor(cursor, &stmt));
    EXPECT_STREQ(stmt->StatementLabel, "S3");
    Add("S4", "D");
    EXPECT_EQ(Take(cursor), (std::vector<std::string>{"S4"}));
    // At the end, a statement appended afterwards is still reached.
    Add("S5", "E");
    EXPECT_EQ(Take(cursor), (std::vector<std::string>{"S5"}));
    DeleteStmtCursor(cursor, 0);

    // A second, independent walk sees everything from the start.
    ASSERT_TRUE(CreateStmtCursor(list_, &cursor, 0));
    EXPECT_EQ(Take(cursor), (std::vector<std::string>{"S1", "S2", "S3", "S4", "S5"}));
    DeleteStmtCursor(cursor, 0);
}

TEST(StatementValidity, ProcedureTableAnswersByStatementType) {
    auto valid = [](RD_JCL_STATEMENT_TYPE type) {
        test::StmtPtr stmt = test::MakeStatement(type, "", nullptr);
        return IsStatementValidInProcedure(stmt.get());
    };
    for (RD_JCL_STATEMENT_TYPE type :
         {RD_DD, RD_EXEC, RD_UNKNOWN, RD_SET, RD_IF, RD_ELSE, RD_ENDIF, RD_INCLUDE, RD_OUTPUT,
          RD_CNTL, RD_ENDCNTL, RD_DELIMITER, RD_STEP_END})
        EXPECT_TRUE(valid(type)) << type;
    for (RD_JCL_STATEMENT_TYPE type : {RD_JOB, RD_JCLLIB, RD_PROC, RD_PEND, RD_XMIT, RD_JCL_COMMAND,
                                       RD_QUILLO_OPC, RD_JOB_END, RD_TABLESIZE})
        EXPECT_FALSE(valid(type)) << type;
}

TEST(KeywordHelpers, KeywordAndValueAreSplitAtTheFirstEqualsSign) {
    const int32_t baseline = test::BlocksOutstanding();
    test::MessageRecorder messages;
    test::StmtPtr stmt = test::MakeStatement(RD_DD, "IN", "DSN=A.B,SHR", 9);

    const std::vector<std::pair<const char*, std::pair<std::string, std::string>>> cases = {
        {"DSN=A.B", {"DSN", "A.B"}}, {"PARM=A=B", {"PARM", "A=B"}}, {"X=", {"X", ""}}};
    for (const auto& [parm, expected] : cases) {
        char* keyword = CopyParmKeyword(stmt.get(), parm, 0, 0);
        char* value = CopyParmValue(stmt.get(), parm, 0, 0);
        ASSERT_NE(keyword, nullptr);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(std::string(keyword), expected.first);
        EXPECT_EQ(std::string(value), expected.second);
        FreeString(keyword, 0);
        FreeString(value, 0);
    }
    EXPECT_EQ(CopyParmKeyword(stmt.get(), "SHR", 0, 0), nullptr);
    EXPECT_EQ(CopyParmValue(stmt.get(), "SHR", 0, 0), nullptr);
    EXPECT_EQ(messages.Count("KVR1367W"), 2);
    // The message is also an MSG record of the import file.
    int records = 0;
    for (const std::string& line : messages.ImportLines())
        records += line.rfind("MSG JCL KVR4000 4 1367 ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(records, 2);
    stmt.reset();
    EXPECT_EQ(test::BlocksOutstanding(), baseline);
}

TEST(KeywordHelpers, StripApostrophesCutsLeadingAndTrailingOnesInPlace) {
    auto strip = [](std::string text) {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        char* start = StripApostrophes(buffer.data());
        EXPECT_GE(start, buffer.data());
        EXPECT_LE(start, buffer.data() + text.size());
        return std::string(start);
    };
    const std::pair<const char*, const char*> cases[] = {
        {"'ABC'", "ABC"}, {"''X''", "X"},       {"''''", ""},   {"'", ""},
        {"ABC", "ABC"},   {"'IT''S'", "IT''S"}, {"'A B", "A B"}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(strip(text), expected) << text;
    EXPECT_EQ(strip(""), "");
}

} // namespace
} // namespace kvr
