// The statement record: fresh, reset, copied and deleted records, the accessors that parse
// the operand text on first demand, the operation table, type names and the memory report.
#include "reader/jcl_statement.h"

#include "reader/instream_data.h"
#include "reader/operand_scanner.h"
#include "reader_fixture.h"

namespace kvr::test {
namespace {

using StatementRecord = ReaderTest;

void SetParms(JCLStatement* stmt, const std::string& text) {
    ASSERT_TRUE(AllocateParmArea(stmt, text.size(), 0));
    std::memcpy(stmt->StatementParms, text.c_str(), text.size() + 1);
    stmt->ParmLength = static_cast<int32_t>(text.size());
}

TEST_F(StatementRecord, FreshResetAndMarkerRecords) {
    JCLStatement* fresh = nullptr;
    ASSERT_TRUE(CreateJCLStatement(&fresh, 0));
    EXPECT_EQ(fresh->FileReference, -1);
    EXPECT_EQ(fresh->StatementType, RD_UNKNOWN);

    // Reset frees text and structure but only forgets the spool.
    fresh->FileReference = 3;
    std::strcpy(fresh->StatementLabel, "S1");
    fresh->LabelLength = 2;
    SetParms(fresh, "A,B");
    EXPECT_EQ(JCLStatementParmCount(fresh, 0, 0), 2);
    SourceLine card = MakeCard("DATA", 4);
    ASSERT_EQ(AddInstreamDataToStmt(fresh, &card, 0), 1);
    void* spool = fresh->inStreamData;
    ResetJCLStatement(fresh, 0);
    EXPECT_EQ(fresh->FileReference, -1);
    EXPECT_EQ(fresh->StatementParms, nullptr);
    EXPECT_EQ(fresh->ParmStructure, nullptr);
    EXPECT_EQ(fresh->inStreamData, nullptr);
    DeleteInstreamSpool(spool, 0);
    DeleteJCLStatement(fresh, FALSE, 0);
    DeleteJCLStatement(nullptr, TRUE, 0);

    for (const auto& [make, type] :
         {std::pair{&CreateEndOfStepStmt, RD_STEP_END}, std::pair{&CreateEndOfJobStmt, RD_JOB_END},
          std::pair{&CreateEndOfProcStmt, RD_PEND}, std::pair{&CreateStartOfProcStmt, RD_PROC}}) {
        JCLStatement* made = nullptr;
        ASSERT_TRUE(make(&made, 0));
        EXPECT_EQ(made->StatementType, type);
        DeleteJCLStatement(made, TRUE, 0);
    }
}

// A record read into again and again keeps one full-size operand area over a reset; the
// next statement finds it empty, and the fixture's block count shows that deleting the
// record returns the kept area too.
TEST_F(StatementRecord, ResetKeepsOneFullAreaForTheNextStatement) {
    SourceLine card = MakeCard("// X", 5);
    for (const char* text : {"DSN=OLD.NAME,DISP=SHR", "NEW", "PGM=X"}) {
        ASSERT_TRUE(AllocateParmArea(stmt_, kOperandAreaSize, 0));
        EXPECT_EQ(stmt_->ParmLength, 0);
        EXPECT_EQ(stmt_->ParmMaxLength, kOperandAreaSize);
        EXPECT_EQ(CopyParm(stmt_, &card, 4, text, kContinueComma, FALSE, 0, 0), STMT_DONE);
        EXPECT_STREQ(stmt_->StatementParms, text);
        ResetJCLStatement(stmt_, 0);
        EXPECT_EQ(stmt_->StatementParms, nullptr);
        EXPECT_EQ(stmt_->ParmMaxLength, 0);
    }
    // A small area is a block of its own, and a second full area beside the kept one is
    // returned by the reset.
    SetParms(stmt_, "AB");
    EXPECT_EQ(stmt_->ParmMaxLength, 2);
    ResetJCLStatement(stmt_, 0);
    JCLStatement* other = nullptr;
    ASSERT_TRUE(CreateJCLStatement(&other, 0));
    ASSERT_TRUE(AllocateParmArea(other, kOperandAreaSize, 0));
    ResetJCLStatement(other, 0);
    ASSERT_TRUE(AllocateParmArea(stmt_, kOperandAreaSize, 0));
    ASSERT_TRUE(AllocateParmArea(stmt_, kOperandAreaSize, 0));
    ResetJCLStatement(stmt_, 0);
    DeleteJCLStatement(other, TRUE, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StatementRecord, CopiesAreDeepAndTheirTextIsFull) {
    stmt_->EXEC_endFileLine = 11;
    ASSERT_TRUE(AllocateParmArea(stmt_, kOperandAreaSize, 0));
    std::strcpy(stmt_->StatementParms, "*,DLM=$$");
    stmt_->ParmLength = 8;
    ASSERT_NE(JCLStmtParsedParms(stmt_, 0, 0), nullptr);
    for (const char* data : {"LINE 1", "LINE 2"}) {
        SourceLine card = MakeCard(data, 13);
        ASSERT_EQ(AddInstreamDataToStmt(stmt_, &card, 0), 1);
    }

    JCLStatement* copy = nullptr;
    ASSERT_TRUE(CopyJCLStatement(&copy, stmt_, 0));
    EXPECT_EQ(copy->EXEC_endFileLine, 11);
    EXPECT_NE(copy->StatementParms, stmt_->StatementParms);
    EXPECT_EQ(copy->ParmMaxLength, 8); // sized to the text, not to the original's area
    EXPECT_EQ(copy->ParmStructure, nullptr);
    ASSERT_NE(copy->inStreamData, nullptr);
    EXPECT_NE(copy->inStreamData, stmt_->inStreamData);
    EXPECT_EQ(static_cast<RD_InstreamData*>(copy->inStreamData)->RecordCount, 2);

    // Nothing more fits into the copy's text.
    SourceLine card = MakeCard("// X", 14);
    EXPECT_EQ(CopyParm(copy, &card, 4, ",MORE", kContinueComma, FALSE, 0, 0), STMT_DONE);
    EXPECT_STREQ(copy->StatementParms, "*,DLM=$$");
    EXPECT_EQ(Messages(), (std::vector<int>{1403}));
    DeleteJCLStatement(copy, TRUE, 0);

    // A statement without text copies to one without text.
    DeleteInstreamSpool(stmt_->inStreamData, 0);
    ResetJCLStatement(stmt_, 0);
    ASSERT_TRUE(CopyJCLStatement(&copy, stmt_, 0));
    EXPECT_EQ(copy->StatementParms, nullptr);
    EXPECT_EQ(copy->inStreamData, nullptr);
    DeleteJCLStatement(copy, TRUE, 0);
}

TEST_F(StatementRecord, AccessorsParseOnceAndOnlyWhenThereIsText) {
    char* text = nullptr;
    EXPECT_FALSE(JCLStatementParmText(stmt_, &text));
    EXPECT_EQ(JCLStatementParmCount(stmt_, 0, 0), 0);
    EXPECT_FALSE(JCLStatementKeywordParm(stmt_, "PGM", &text, 0, 0));
    EXPECT_FALSE(JCLStatementPositionalParm(stmt_, 1, &text, 0, 0));
    EXPECT_EQ(stmt_->ParmStructure, nullptr); // nothing was parsed

    SetParms(stmt_, "PROC1,PARM='A,B',COND=(0,NE)");
    ASSERT_TRUE(JCLStatementParmText(stmt_, &text));
    EXPECT_EQ(text, stmt_->StatementParms);
    EXPECT_EQ(JCLStatementParmLength(stmt_), 28);
    EXPECT_EQ(JCLStatementParmCount(stmt_, 0, 0), 3);
    void* parsed = stmt_->ParmStructure;
    ASSERT_TRUE(JCLStatementKeywordParm(stmt_, "PARM", &text, 0, 0));
    EXPECT_STREQ(text, "PARM='A,B'");
    ASSERT_TRUE(JCLStatementPositionalParm(stmt_, 1, &text, 0, 0));
    EXPECT_STREQ(text, "PROC1");
    EXPECT_FALSE(JCLStatementPositionalParm(stmt_, 4, &text, 0, 0));
    EXPECT_FALSE(JCLStatementKeywordParm(stmt_, "PGM", &text, 0, 0));
    EXPECT_EQ(stmt_->ParmStructure, parsed);

    // An asterisk is an ordinary character of the operands here.
    ResetJCLStatement(stmt_, 0);
    SetParms(stmt_, "A*B,C");
    EXPECT_EQ(JCLStatementParmCount(stmt_, 0, 0), 2);

    // A one-character area holds its character and terminator.
    ResetJCLStatement(stmt_, 0);
    ASSERT_TRUE(AllocateParmArea(stmt_, 1, 0));
    EXPECT_EQ(stmt_->ParmMaxLength, 1);
    EXPECT_EQ(stmt_->ParmLength, 0);
    EXPECT_STREQ(stmt_->StatementParms, "");
}

// The everyday operations are pinned by every golden case; these are the odd ones.
TEST_F(StatementRecord, OperationTableTypeNamesAndTheMemoryReport) {
    const std::pair<const char*, RD_JCL_STATEMENT_TYPE> table[] = {
        {"COMMAND", RD_JCL_COMMAND}, {"CNTL", RD_CNTL},   {"DPROC", RD_PROC},
        {"", RD_DELIMITER},          {"XMIT", RD_XMIT},   {"ENDCNTL", RD_ENDCNTL},
        {"dd", RD_UNKNOWN},          {"END", RD_UNKNOWN}, {"DD ", RD_UNKNOWN}};
    for (const auto& [word, type] : table)
        EXPECT_EQ(LookupStatementType(word), type) << word;
    EXPECT_STREQ(reportStatementType(RD_JCL_COMMAND), "JCL COMMAND");
    EXPECT_STREQ(reportStatementType(RD_TABLESIZE), "TABLE SIZE");
    EXPECT_STREQ(reportStatementType(26), ""); // out of the table: no read past it
    EXPECT_STREQ(reportStatementType(-1), "");

    reportMemoryAllocationError(0);
    EXPECT_EQ(Messages(), (std::vector<int>{1450}));
    const std::vector<std::string> records = ImportLines();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rfind("MSG JCL KVR4000 16 1450 ", 0), 0u) << records[0];
}

} // namespace
} // namespace kvr::test
