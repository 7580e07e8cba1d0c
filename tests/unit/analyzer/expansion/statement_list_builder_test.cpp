// The statement-list loop: step and job markers of the job list, SET statements applied
// while reading, the read-time scope of a procedure call, the markers of a cataloged
// procedure's list, and the debug listing.
#include "analyzer/expansion/expansion_fixture.h"

#include <tuple>

#include "expansion/list_builder_state.h"
#include "reader/instream_data.h"

namespace kvr {
namespace {

using test::ExpansionTest;
using TypeList = std::vector<int>;
using Strings = std::vector<std::string>;

TEST_F(ExpansionTest, JobListPutsStepEndsBeforeExecsAndJobEndsBeforeLaterJobs) {
    StatementList* list = ReadJob({"//J1 JOB (ACCT),'X'",       // 1
                                   "//S1 EXEC PGM=A",           // 2
                                   "//DD1 DD DSN=A.B,DISP=SHR", // 3
                                   "//S2 EXEC PGM=B",           // 4
                                   "//DD2 DD DSN=C.D,DISP=SHR", // 5
                                   "//DD3 DD *",                // 6
                                   "DATA1",                     // 7
                                   "/*",                        // 8
                                   "//S3 EXEC PGM=C",           // 9
                                   "//J2 JOB",                  // 10
                                   "//T1 EXEC PGM=D"});         // 11
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Types(list), (TypeList{RD_JOB, RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_EXEC,
                                     RD_DD, RD_DD, RD_STEP_END, RD_EXEC, RD_JOB_END, RD_JOB,
                                     RD_STEP_END, RD_EXEC, RD_STEP_END}));
    EXPECT_EQ(Labels(list), (Strings{"J1", "", "S1", "DD1", "", "S2", "DD2", "DD3", "", "S3", "",
                                     "J2", "", "T1", ""}));
    EXPECT_EQ(Parms(Labelled(list, "J1")), "(ACCT),'X'");
    EXPECT_EQ(Parms(Labelled(list, "DD1")), "DSN=A.B,DISP=SHR");
    EXPECT_EQ(getJobCount(), 2);
    EXPECT_EQ(getStmtCount(), 9); // the data cards belong to DD3

    // The list's EXEC copies end where their steps end, data cards and "/*" included.
    EXPECT_EQ(Labelled(list, "S1")->endFileLine, 3);
    EXPECT_EQ(Labelled(list, "S2")->endFileLine, 8);
    EXPECT_EQ(Labelled(list, "S2")->EXEC_endFileLine, 4);
    EXPECT_EQ(Labelled(list, "T1")->endFileLine, 11);

    // The data cards went to the list's DD statement.
    JCLStatement* dd3 = Labelled(list, "DD3");
    ASSERT_NE(dd3->inStreamData, nullptr);
    EXPECT_EQ(static_cast<RD_InstreamData*>(dd3->inStreamData)->RecordCount, 1);
    char* text = nullptr;
    int32_t length = 0;
    ASSERT_TRUE(ReadFirstInstreamSpool(dd3->inStreamData, &text, &length));
    EXPECT_EQ(std::string(text, length), "DATA1");
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(ExpansionTest, DataCardsWhereAStatementShouldStartBecomeASysinDd) {
    StatementList* list =
        ReadJob({"//J1 JOB", "//S1 EXEC PGM=A", "DATA 1", "DATA 2", "//S2 EXEC PGM=B"});
    EXPECT_EQ(Types(list),
              (TypeList{RD_JOB, RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_EXEC, RD_STEP_END}));
    JCLStatement* sysin = Labelled(list, "SYSIN");
    ASSERT_NE(sysin, nullptr);
    EXPECT_EQ(Parms(sysin), "*");
    ASSERT_NE(sysin->inStreamData, nullptr);
    auto* spool = static_cast<RD_InstreamData*>(sysin->inStreamData);
    EXPECT_EQ(spool->RecordCount, 2);
    EXPECT_EQ(spool->fileLine, 3);
    EXPECT_EQ(spool->endFileLine, 4);
    // The reading record's own copy of the data is released with it (checked by the
    // block counters when the test ends).
}

TEST_F(ExpansionTest, SetStatementsTakeEffectForTheCardsReadAfterThem) {
    StatementList* list = ReadJob({"//J1 JOB", "//  SET V=ONE", "//S1 EXEC PGM=A,PARM=&V",
                                   "//  SET V='TWO'", "//D1 DD DSN=&V..X"});
    EXPECT_EQ(Types(list),
              (TypeList{RD_JOB, RD_SET, RD_STEP_END, RD_EXEC, RD_SET, RD_DD, RD_STEP_END}));
    EXPECT_EQ(Parms(Labelled(list, "S1")), "PGM=A,PARM=ONE");
    EXPECT_EQ(Parms(Labelled(list, "D1")), "DSN=TWO.X");
    EXPECT_EQ(SymbolValue("V"), "TWO"); // left in the job scope for the walk
}

TEST_F(ExpansionTest, OverrideStatementsAfterAProcedureCallSeeTheCallsValues) {
    StatementList* list = ReadJob({"//J1 JOB",
                                   "//S1 EXEC P,X=A,X=B", // the first occurrence wins
                                   "//S.DD1 DD DSN=&X", "//S.DD2 DD DSN=&X..B",
                                   "//DD3 DD DSN=&X", // not an override: the scope is closed
                                   "//S.DD4 DD DSN=&X", "//S2 EXEC PGM=Y,PARM=&X",
                                   "//S3 EXEC PROC=Q,Y=C", "//S.DD5 DD DSN=&PROC..&Y"});
    EXPECT_EQ(Parms(Labelled(list, "S.DD1")), "DSN=A");
    EXPECT_EQ(Parms(Labelled(list, "S.DD2")), "DSN=A.B");
    EXPECT_EQ(Parms(Labelled(list, "DD3")), "DSN=&X");
    EXPECT_EQ(Parms(Labelled(list, "S.DD4")), "DSN=&X");
    EXPECT_EQ(Parms(Labelled(list, "S2")), "PGM=Y,PARM=&X");
    EXPECT_EQ(Parms(Labelled(list, "S.DD5")), "DSN=Q.C");
    // The call at the end of the member had no later statement to close its scope; it is
    // closed all the same, so nothing of it remains in force.
    EXPECT_EQ(SymbolValue("X"), "<undefined>");
    EXPECT_EQ(SymbolValue("Y"), "<undefined>");
    EXPECT_EQ(SymbolValue("PROC"), "<undefined>");
    EXPECT_TRUE(EndSymbolScope(0)); // the job scope is the only one left
    EXPECT_FALSE(EndSymbolScope(0));
}

TEST_F(ExpansionTest, CatalogedProcedureListsGetStartAndEndMarkers) {
    const auto build = [this](const Strings& cards) {
        void* cardList = CardList(cards);
        void* cursor = nullptr;
        KVR_CreateCursor(cardList, &cursor, 0);
        StatementList* list = nullptr;
        KVR4006_BuildCatalogedProcStatementList(deck_, &list, cursor, "JES2", 0, 0);
        DeleteCursor(cursor, 0);
        FreeList(cardList, 0);
        TypeList types = Types(list);
        Strings labels = Labels(list);
        Strings parms;
        for (JCLStatement* stmt : Stmts(list))
            parms.push_back(Parms(stmt));
        DeleteStmtList(list, 0);
        return std::make_tuple(types, labels, parms);
    };

    // A first DD or SET statement gets a PROC marker in front.
    auto [types, labels, parms] = build({"//D1 DD DSN=A", "//E1 EXEC PGM=X"});
    EXPECT_EQ(types, (TypeList{RD_PROC, RD_DD, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(labels, (Strings{"", "D1", "", "E1", "", ""}));
    std::tie(types, labels, parms) = build({"//  SET A=1", "//E1 EXEC PGM=X,PARM=&A"});
    EXPECT_EQ(types, (TypeList{RD_PROC, RD_SET, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(parms[3], "PGM=X,PARM=1");

    // A first EXEC gets none: its end-of-step marker comes first.
    std::tie(types, labels, parms) = build({"//E1 EXEC PGM=X", "//D1 DD DSN=A"});
    EXPECT_EQ(types, (TypeList{RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_PEND}));

    // A PROC statement first is kept, with its defaults in the scope of the call; a PEND
    // is preceded by an end of step.
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("X", "CALL", TRUE, 0);
    std::tie(types, labels, parms) =
        build({"//CP PROC X=DEF,Z='Q R'", "//E1 EXEC PGM=X,PARM=&X", "//  PEND"});
    EXPECT_EQ(types, (TypeList{RD_PROC, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND, RD_STEP_END,
                               RD_PEND}));
    EXPECT_EQ(labels[0], "CP");
    EXPECT_EQ(parms[0], "X=DEF,Z='Q R'");
    EXPECT_EQ(parms[2], "PGM=X,PARM=CALL");
    EXPECT_EQ(SymbolValue("Z"), "Q R");
    EXPECT_TRUE(EndSymbolScope(0));
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(ExpansionTest, DebugListingNamesEachStatementType) {
    StatementList* list = nullptr;
    ASSERT_TRUE(CreateStmtList(&list, 0));
    testing::internal::CaptureStdout();
    reportStmtList("Job", list, 1); // empty: nothing
    for (auto make :
         {CreateEndOfJobStmt, CreateEndOfStepStmt, CreateStartOfProcStmt, CreateEndOfProcStmt}) {
        JCLStatement* marker = nullptr;
        ASSERT_TRUE(make(&marker, 0));
        JCLStatement* copy = nullptr;
        ASSERT_TRUE(AddStmtToList(marker, list, &copy, 0));
        DeleteJCLStatement(marker, TRUE, 0);
    }
    reportStmtList("Proc", list, 0); // not a debug run: nothing
    reportStmtList("Include", list, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Include stmtList\n"
                                                      "================\n"
                                                      "JOB END\n"
                                                      "STEP END\n"
                                                      "PROC\n"
                                                      "PEND\n"
                                                      "================\n");
    DeleteStmtList(list, 0);
}

} // namespace
} // namespace kvr
