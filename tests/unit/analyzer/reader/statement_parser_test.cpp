// The statement parser: name, operation and operands of first cards, the continuation
// kinds and their column rules, IF statements, comment continuations, null statements,
// implicit SYSIN data, the procedure-call scope, the step's end line and directives. The IF
// text up to THEN across cards is pinned by text_if_else_endif.
#include "reader/statement_parser.h"

#include "reader/instream_data.h"
#include "reader_fixture.h"

namespace kvr::test {
namespace {

using StatementParser = ReaderTest;

std::string Pad71(const std::string& text) {
    return At(text, 72, "");
}

TEST_F(StatementParser, FirstCardNameOperationAndOperands) {
    void* cursor = Cards({"//STEP1 EXEC PGM=X,PARM='A B'", "//DD1 DD DSN=A.B  THIS IS A COMMENT",
                          At("//DD2    DD", 72, "X"), "//   SWALLOWED BY COLUMN 72",
                          At("//DD3 DD", 71, "Y"), "//DD4 DD", "//NAMEONLY"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "STEP1");
    EXPECT_EQ(stmt_->LabelLength, 5);
    EXPECT_STREQ(stmt_->StatementOp, "EXEC");
    EXPECT_EQ(stmt_->StatementType, RD_EXEC);
    EXPECT_EQ(Parms(), "PGM=X,PARM='A B'");
    EXPECT_EQ(JCLStatementParmCount(stmt_, 0, 0), 2);
    EXPECT_EQ(stmt_->FileReference, 0);
    EXPECT_EQ(stmt_->fileLine, 1);
    EXPECT_EQ(stmt_->endFileLine, 1);

    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "DSN=A.B");

    // Operands beginning in column 72 are no operands; the card continues as a comment.
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "DD2");
    EXPECT_EQ(stmt_->StatementParms, nullptr);
    EXPECT_EQ(JCLStatementParmCount(stmt_, 0, 0), 0);
    EXPECT_EQ(stmt_->endFileLine, 3);

    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "DD3");
    EXPECT_EQ(stmt_->fileLine, 5);
    EXPECT_EQ(Parms(), "Y");

    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->StatementParms, nullptr);
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->StatementType, RD_DELIMITER);
    EXPECT_FALSE(Next(cursor));
    EXPECT_EQ(Messages(), std::vector<int>{});
}

TEST_F(StatementParser, CommaContinuationStartsBetweenColumnsFourAndSixteen) {
    void* cursor = Cards({"//S1 EXEC PGM=X,", At("//", 12, "REGION=4M"), "//S2 EXEC PGM=X,",
                          At("//", 16, "REGION=4M"), "//S3 EXEC PGM=X,", At("//", 17, "REGION=4M"),
                          "//S4 EXEC PGM=Y,", "//DD1 DD DUMMY", "//S5 EXEC PGM=Z"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,REGION=4M");
    EXPECT_EQ(stmt_->endFileLine, 2);
    EXPECT_EQ(stmt_->EXEC_endFileLine, 2);
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,REGION=4M");
    EXPECT_EQ(Messages(), std::vector<int>{});

    // Column 17 is too far: the statement ends and the card is lost.
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,");
    EXPECT_EQ(Messages(), (std::vector<int>{1317}));
    // A card not beginning with "// " is no continuation: the same.
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "S4");
    EXPECT_EQ(Parms(), "PGM=Y,");
    EXPECT_EQ(Messages(), (std::vector<int>{1317, 1316}));
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "S5");
}

TEST_F(StatementParser, ApostropheStringsContinueFromColumnSixteen) {
    void* cursor = Cards({"//DD1 DD DSN=A,PARM='ABC", At("//", 16, "  DEF',X=1"),
                          "//DD2 DD PARM='ABC", "// DEF'", "//DD3 DD PARM='IT''S',A=1 NOTE"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "DSN=A,PARM='ABC  DEF',X=1");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PARM='ABC");
    EXPECT_EQ(Messages(), (std::vector<int>{1318}));
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PARM='IT''S',A=1");
}

TEST_F(StatementParser, QuotedValuesInParenthesesJoinAcrossCards) {
    void* cursor = Cards({Pad71("//S1 EXEC PGM=X,PARM=('AB CD"), "//     EF')",
                          "//S2 EXEC PGM=X,PARM=('AB,", "//     CD')"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,PARM=('AB CDEF')");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,PARM=('ABCD')");
    EXPECT_EQ(Messages(), std::vector<int>{});
}

TEST_F(StatementParser, CommentContinuations) {
    void* cursor = Cards({At("//DD1 DD DUMMY", 72, "X"), At("//   TEXT", 72, "Y"), "//   MORE TEXT",
                          "//DD2 DD DUMMY", At("//DD3 DD DUMMY", 72, "X"), "DATA CARD",
                          "//DD4 DD DUMMY", At("//DD5 DD DUMMY", 72, "X")});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "DUMMY");
    EXPECT_EQ(stmt_->endFileLine, 1); // a comment continuation keeps the first card's line
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "DD2");
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "DD3");
    EXPECT_EQ(Messages(), (std::vector<int>{1314}));
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "DD4");
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "DD5");
    EXPECT_EQ(Messages(), (std::vector<int>{1314, 1315}));
}

TEST_F(StatementParser, NameFieldOfEighteenCharactersAtMost) {
    void* cursor = Cards({"//ABCDEFGHIJKLMNOPQR DD DUMMY", "//ABCDEFGHIJKLMNOPQRS DD DUMMY"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(stmt_->LabelLength, 18);
    EXPECT_EQ(Messages(), std::vector<int>{});
    // The 19th character is read as the operation word, which is unknown.
    EXPECT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(Messages(), (std::vector<int>{1402, 1778}));
    EXPECT_EQ(KVRU005(), 8);
}

TEST_F(StatementParser, UnknownOperationStopsTheMember) {
    void* cursor = Cards({"//S1 EXECUTE PGM=X", "//S2 EXEC PGM=Y"});
    EXPECT_TRUE(Next(cursor)); // the caller sees the severity
    EXPECT_EQ(KVRU005(), 8);
    EXPECT_EQ(Messages(), (std::vector<int>{1778}));
    bool record = false;
    for (const std::string& line : ImportLines())
        record |= line.rfind("MSG JCL KVR4000 8 1778 ", 0) == 0 &&
                  line.find("EXECUTE") != std::string::npos;
    EXPECT_TRUE(record);
    // Velkor mode raises its own number.
    ResetMaximumSeverity();
    setMessageDll("pjwenus.dll");
    cursor = Cards({"//S1 EXECUTE PGM=X"});
    Next(cursor, "JES2", 2);
    EXPECT_EQ(Messages().back(), 3140);
    bool velkorRecord = false;
    for (const std::string& line : ImportLines())
        velkorRecord |= line.rfind("MSG JCL VADIRADO 8 3140 ", 0) == 0;
    EXPECT_TRUE(velkorRecord);
}

TEST_F(StatementParser, NullStatementEndsTheMember) {
    Member({"//J1 JOB", Numbered("//"), "//S1 EXEC PGM=X"});
    ASSERT_TRUE(Next());
    EXPECT_EQ(stmt_->StatementType, RD_JOB);
    EXPECT_FALSE(Next());
    EXPECT_FALSE(Next()); // the member was closed; S1 is never read
    CloseAnyRemainingFiles(0, 0);

    Member({"//S1 EXEC PGM=X,", "//", "//S2 EXEC PGM=Y"});
    EXPECT_FALSE(Next());
    EXPECT_FALSE(Next());
}

TEST_F(StatementParser, UnresolvedSymbolAfterACommaContinues) {
    void* cursor = Cards({"//S1 EXEC PGM=X,&UNDEF", "//  A=1", "//S2 EXEC PGM=X,&A.&B", "//  C=1",
                          "//S3 EXEC PGM=X,&A.  COMMENT", "//  D=1", "//S4 EXEC PGM=&X",
                          "//DD1 DD DSN=&&TEMP,X=&Y.&&Z"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,&UNDEF.A=1");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,&A.&B.C=1");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,&A.D=1");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=&X");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "DSN=&&TEMP,X=&Y.&&Z");
    EXPECT_FALSE(Next(cursor));

    // Each card is substituted with the values in force; comments never are.
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("A", "X", TRUE, 0);
    cursor = Cards({"//DD1 DD DSN=&A..B  &UNDEF,", "//S5 EXEC PGM=Y,&A", "//  NOT=CONTINUED"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "DSN=X.B");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=Y,X");
    EXPECT_EQ(Messages(), std::vector<int>{});
}

TEST_F(StatementParser, DataCardsWhereAStatementShouldBegin) {
    void* cursor = Cards({"DATA BEFORE ANY JOB", "//J1 JOB"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->StatementType, RD_UNKNOWN);
    EXPECT_EQ(stmt_->StatementParms, nullptr);
    EXPECT_EQ(stmt_->LabelLength, 0);
    EXPECT_EQ(Messages(), (std::vector<int>{1375}));

    // After a JOB they become an implicit SYSIN DD *, from files and from card lists alike.
    setJobCount(1);
    Member({"D1", "D2", "//S2 EXEC PGM=Y"});
    cursor = Cards({"L1", "/*", "//S3 EXEC PGM=Z"});
    for (void* from : {static_cast<void*>(nullptr), cursor}) {
        ASSERT_TRUE(Next(from));
        EXPECT_STREQ(stmt_->StatementLabel, "SYSIN");
        EXPECT_EQ(stmt_->LabelLength, 5);
        EXPECT_EQ(stmt_->StatementType, RD_DD);
        EXPECT_STREQ(stmt_->StatementOp, "DD");
        EXPECT_EQ(Parms(), "*");
        EXPECT_EQ(stmt_->ParmMaxLength, 1);
        EXPECT_EQ(stmt_->fileLine, 1);
        auto* spool = static_cast<RD_InstreamData*>(stmt_->inStreamData);
        ASSERT_NE(spool, nullptr);
        EXPECT_EQ(spool->RecordCount, from ? 1 : 2);
        EXPECT_EQ(spool->fileLine, 1);
        DeleteInstreamSpool(spool, 0);
        ASSERT_TRUE(Next(from));
        EXPECT_STREQ(stmt_->StatementLabel, from ? "S3" : "S2");
    }
}

TEST_F(StatementParser, OperandAreaFullReportsAndDrops) {
    std::vector<std::string> cards = {"//S1 EXEC PGM=X,"};
    for (int i = 0; i < 540; ++i)
        cards.push_back("//  " + std::string(60, 'A') + ",");
    void* cursor = Cards(cards);
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->ParmLength, kOperandAreaSize);
    EXPECT_EQ(std::strlen(stmt_->StatementParms), static_cast<size_t>(kOperandAreaSize));
    EXPECT_EQ(Messages(), (std::vector<int>{1403}));
}

TEST_F(StatementParser, ProcedureCallScopeEndsAtTheFirstNonOverride) {
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    BOOLEAN procCall = TRUE;
    void* cursor = Cards({"//S1.DD1 DD DUMMY", "//DD2 DD DUMMY"});
    ASSERT_TRUE(Next(cursor, "JES2", 0, &procCall));
    EXPECT_EQ(procCall, TRUE);
    ASSERT_TRUE(Next(cursor, "JES2", 0, &procCall));
    EXPECT_EQ(procCall, FALSE);
    EXPECT_FALSE(EndSymbolScope(0)); // already closed
}

TEST_F(StatementParser, StatementsMoveTheirStepsEndLine) {
    JCLStatement* step = nullptr;
    ASSERT_TRUE(CreateJCLStatement(&step, 0));
    step->endFileLine = 1;
    setCurrentStepStmt(step);
    void* cursor = Cards({"//DD1 DD DSN=A,", "//  DISP=SHR", "//  IF (RC=0) THEN", "//DD2 DD DUMMY",
                          "//DD3 DD DUMMY"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(step->endFileLine, 1); // no EXEC met yet
    setExecFound(1);
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(step->endFileLine, 1); // IF statements do not move it
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(step->endFileLine, 4);
    EXPECT_EQ(stmt_->EXEC_endFileLine, 4);
    setCurrentStepStmt(nullptr);
    DeleteJCLStatement(step, TRUE, 0);
}

TEST_F(StatementParser, SchedulerDirectivesAndCommentsInCardOrder) {
    void* cursor =
        Cards({"//*%OPC SCAN", "//* C2", "//S1 EXEC PGM=X,", "//*%OPC SCAN", "// REGION=1M"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementLabel, "S1");
    EXPECT_EQ(Parms(), "PGM=X,REGION=1M");
    using Saved = std::vector<std::pair<int32_t, std::string>>;
    EXPECT_EQ(Comments(), (Saved{{1, "//*%OPC SCAN"}, {2, "//* C2"}, {4, "//*%OPC SCAN"}}));

    SetCaptureOPCStatements();
    cursor = Cards({"//*%OPC SCAN", "//*%OPC BEGIN ACTION=INCLUDE,PHASE=(A B) NOTE",
                    "//*%OPC SETVARIABLE X=1", "//S1 EXEC PGM=X,", "//*%OPC SCAN", "// REGION=1M"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->StatementType, RD_QUILLO_OPC);
    EXPECT_STREQ(stmt_->StatementLabel, "*%OPC");
    EXPECT_STREQ(stmt_->StatementOp, "SCAN");
    EXPECT_EQ(stmt_->StatementParms, nullptr);
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementOp, "BEGIN");
    EXPECT_EQ(Parms(), "ACTION=INCLUDE,PHASE=(A B)");
    ASSERT_TRUE(Next(cursor));
    EXPECT_STREQ(stmt_->StatementOp, "SETVARI");
    EXPECT_EQ(Parms(), "X=1");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=X,REGION=1M");
    EXPECT_EQ(Comments().size(), 3u); // nothing more saved
}

TEST_F(StatementParser, SingleCardOperationAndNullStatementTests) {
    char op[8];
    const std::pair<std::string, std::string> cases[] = {
        {"//S1 EXEC PGM=X", "EXEC"},         {"//  PEND", "PEND"},
        {"//ABCDEFGHIJKLMNOP PEND", "PEND"}, // name ends in column 18
        {"//ABCDEFGHIJKLMNOPQ PEND", ""},    // and in column 19
        {"//S1 OPERATION X", "OPERATI"},     {"//S1", ""}};
    for (const auto& [card, expected] : cases) {
        SourceLine line = MakeCard(card, 1);
        GetJclCardOperation(&line, op);
        EXPECT_STREQ(op, expected.c_str()) << card;
    }
    EXPECT_EQ(IsNullStatement("//"), 1);
    EXPECT_EQ(IsNullStatement(Numbered("//").c_str()), 1);
    EXPECT_EQ(IsNullStatement(At("//", 72, "X").c_str()), 0);
    EXPECT_EQ(IsNullStatement("// X"), 0);
    EXPECT_EQ(IsNullStatement("//*"), 0);
    EXPECT_EQ(IsNullStatement("/"), 0);
}

} // namespace
} // namespace kvr::test
