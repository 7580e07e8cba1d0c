// The statement parser: name, operation and operands of first cards, the continuation
// kinds and their column rules, comment continuations, null statements, the full operand
// area and the procedure-call scope. Joined lines, dropped cards, saved comments, implicit
// SYSIN data, directive records and the step's end line (moved by DD statements, not by IF)
// are pinned by text_cards_continuations, text_comments, text_opc, text_instream_data and
// text_if_else_endif.
#include "reader/statement_parser.h"

#include "reader/instream_data.h"
#include "reader/symbols.h"
#include "reader_fixture.h"

namespace kvr::test {
namespace {

using StatementParser = ReaderTest;

// The cards of one list, and "LABEL operands" of each statement built from them in turn.
struct Case {
    std::vector<std::string> cards;
    std::vector<std::string> statements;
    std::vector<int> messages;
};

TEST_F(StatementParser, StatementsAndContinuationsFromCardLists) {
    const Case cases[] = {
        // Comments after the operands are dropped; operands from column 72 are none (the
        // card continues as a comment); operands in column 71 count.
        {{"//STEP1 EXEC PGM=X,PARM='A B'", "//DD1 DD DSN=A.B  THIS IS A COMMENT",
          At("//DD2    DD", 72, "X"), "//   SWALLOWED BY COLUMN 72", At("//DD3 DD", 71, "Y"),
          "//DD4 DD", "//NAMEONLY"},
         {"STEP1 PGM=X,PARM='A B'", "DD1 DSN=A.B", "DD2 <none>", "DD3 Y", "DD4 <none>",
          "NAMEONLY <none>"},
         {}},
        // A comma continuation starts in columns 4 to 16; column 17 ends the statement and
        // loses the card (1317), as does a card not beginning with "// " (1316).
        {{"//S1 EXEC PGM=X,", At("//", 12, "REGION=4M"), "//S2 EXEC PGM=X,",
          At("//", 16, "REGION=4M"), "//S3 EXEC PGM=X,", At("//", 17, "REGION=4M"),
          "//S4 EXEC PGM=Y,", "//DD1 DD DUMMY", "//S5 EXEC PGM=Z"},
         {"S1 PGM=X,REGION=4M", "S2 PGM=X,REGION=4M", "S3 PGM=X,", "S4 PGM=Y,", "S5 PGM=Z"},
         {1317, 1316}},
        // Apostrophe strings continue from column 16 exactly (1318 otherwise).
        {{"//DD1 DD DSN=A,PARM='ABC", At("//", 16, "  DEF',X=1"), "//DD2 DD PARM='ABC", "// DEF'",
          "//DD3 DD PARM='IT''S',A=1 NOTE"},
         {"DD1 DSN=A,PARM='ABC  DEF',X=1", "DD2 PARM='ABC", "DD3 PARM='IT''S',A=1"},
         {1318}},
        // Quoted values in parentheses join across cards.
        {{At("//S1 EXEC PGM=X,PARM=('AB CD", 72, ""), "//     EF')", "//S2 EXEC PGM=X,PARM=('AB,",
          "//     CD')"},
         {"S1 PGM=X,PARM=('AB CDEF')", "S2 PGM=X,PARM=('ABCD')"},
         {}},
        // A comment continuation followed by a data card (1314) or by the end (1315).
        {{At("//DD1 DD DUMMY", 72, "X"), At("//   TEXT", 72, "Y"), "//   MORE TEXT",
          "//DD2 DD DUMMY", At("//DD3 DD DUMMY", 72, "X"), "DATA CARD", "//DD4 DD DUMMY",
          At("//DD5 DD DUMMY", 72, "X")},
         {"DD1 DUMMY", "DD2 DUMMY", "DD3 DUMMY", "DD4 DUMMY", "DD5 DUMMY"},
         {1314, 1315}},
        // A name field of 18 characters at most.
        {{"//ABCDEFGHIJKLMNOPQR DD DUMMY"}, {"ABCDEFGHIJKLMNOPQR DUMMY"}, {}},
        // An unresolved symbol after a comma continues the statement.
        {{"//S1 EXEC PGM=X,&UNDEF", "//  A=1", "//S2 EXEC PGM=X,&A.&B", "//  C=1",
          "//S3 EXEC PGM=X,&A.  COMMENT", "//  D=1", "//S4 EXEC PGM=&X",
          "//DD1 DD DSN=&&TEMP,X=&Y.&&Z"},
         {"S1 PGM=X,&UNDEF.A=1", "S2 PGM=X,&A.&B.C=1", "S3 PGM=X,&A.D=1", "S4 PGM=&X",
          "DD1 DSN=&&TEMP,X=&Y.&&Z"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cards[0]);
        const size_t before = Messages().size();
        void* cursor = Cards(c.cards);
        std::vector<std::string> statements;
        while (Next(cursor))
            statements.push_back(std::string(stmt_->StatementLabel) + " " + Parms());
        EXPECT_EQ(statements, c.statements);
        std::vector<int> messages = Messages();
        messages.erase(messages.begin(), messages.begin() + static_cast<long>(before));
        EXPECT_EQ(messages, c.messages);
    }

    // Each card is substituted with the values in force; comments never are.
    ASSERT_TRUE(BeginSymbolScope(Ctx()));
    SetScopedSymbolValue(Ctx(), "A", "X", TRUE);
    void* cursor =
        Cards({"//DD1 DD DSN=&A..B  &UNDEF,", "//S5 EXEC PGM=Y,&A", "//  NOT=CONTINUED"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "DSN=X.B");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(Parms(), "PGM=Y,X");
}

TEST_F(StatementParser, UnknownOperationStopsTheMember) {
    // The 19th character of a name is read as the operation word, which is unknown.
    void* cursor = Cards({"//ABCDEFGHIJKLMNOPQRS DD DUMMY"});
    EXPECT_TRUE(Next(cursor)); // the caller sees the severity
    EXPECT_STREQ(stmt_->StatementLabel, "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(Messages(), (std::vector<int>{1402, 1778}));
    EXPECT_EQ(KVRU005(), 8);
    ResetMaximumSeverity();
    cursor = Cards({"//S1 EXECUTE PGM=X", "//S2 EXEC PGM=Y"});
    EXPECT_TRUE(Next(cursor));
    EXPECT_EQ(KVRU005(), 8);
    EXPECT_EQ(Messages(), (std::vector<int>{1402, 1778, 1778}));
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

// While a job's list is read, the next JOB statement waits as the pushed-back card, and a
// null statement passes over the cards up to it, naming the others than comments in 1480.
TEST_F(StatementParser, JobListsEndAtTheNextJobAndAtNullStatements) {
    Member({"//J1 JOB", "//S1 EXEC PGM=X", "//", "//S2 EXEC PGM=LOST", "//* NOTE", "DATA",
            "//J2 JOB", "//J3 JOB"});
    ListBuilderState& lists = Ctx().listBuilder;
    lists.readingJob = true;
    ASSERT_TRUE(Next());
    lists.jobsInList = lists.jobCount = 1;
    ASSERT_TRUE(Next());
    EXPECT_EQ(stmt_->StatementType, RD_EXEC);
    EXPECT_FALSE(Next()); // the null statement ends the job
    EXPECT_TRUE(lists.nextJobWaiting);
    EXPECT_EQ(Messages(), std::vector<int>{1480});
    EXPECT_NE(LogLines().back().find("lines 4-6 "), std::string::npos);
    EXPECT_EQ(KVRU005(), 0);
    lists.nextJobWaiting = false;
    lists.jobsInList = 0;
    ASSERT_TRUE(Next()); // the waiting card starts the next list
    EXPECT_STREQ(stmt_->StatementLabel, "J2");
    lists.jobsInList = 1;
    EXPECT_FALSE(Next()); // J3 ends J2's list and waits in turn
    EXPECT_TRUE(lists.nextJobWaiting);
    EXPECT_TRUE(Comments().empty()); // a comment after a null statement belongs to no job
}

TEST_F(StatementParser, SchedulingStatementsKeepTheirCardsAndContinueInsideParentheses) {
    void* cursor = Cards({"//G AFTER NAME=J1,WHEN=((RC EQ 4) |", "//  (ABEND | !RUN)) COMMENT",
                          "// F CICS,SHUT", "//N NOTIFY USER=ME,", "//   WHEN='RC > 4'",
                          "//  BOGUS X"});
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->StatementType, RD_JOB_SCHEDULING);
    ASSERT_EQ(Ctx().parser.keptCards.size(), 2u);
    EXPECT_EQ(Ctx().parser.keptCards[1].fileLine, 2);
    EXPECT_EQ(Ctx().parser.keptCards[1].text, "//  (ABEND | !RUN)) COMMENT");
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->StatementType, RD_COMMAND); // an operator command without a name
    ASSERT_TRUE(Next(cursor));
    EXPECT_EQ(stmt_->StatementType, RD_JOB_SCHEDULING);
    EXPECT_EQ(Ctx().parser.keptCards.size(), 2u);
    EXPECT_EQ(Messages(), std::vector<int>{});
    Next(cursor); // a word neither JCL nor a command still stops the member
    EXPECT_EQ(Messages(), std::vector<int>{1778});
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
    ASSERT_TRUE(BeginSymbolScope(Ctx()));
    BOOLEAN procCall = TRUE;
    void* cursor = Cards({"//S1.DD1 DD DUMMY", "//DD2 DD DUMMY"});
    ASSERT_TRUE(Next(cursor, "JES2", 0, &procCall));
    EXPECT_EQ(procCall, TRUE);
    ASSERT_TRUE(Next(cursor, "JES2", 0, &procCall));
    EXPECT_EQ(procCall, FALSE);
    EXPECT_FALSE(EndSymbolScope(Ctx())); // already closed
}

} // namespace
} // namespace kvr::test
