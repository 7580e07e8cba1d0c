// The procedure list: in-stream procedures stored while the job is read and expanded per
// call, their failures, cataloged procedures read once per member and rebuilt for every
// call, procedures that cannot be found, and in-stream procedures hiding cataloged ones.
#include "analyzer/expansion/deck_fixture.h"
#include "expansion/list_builder_state.h"

namespace kvr::test {
namespace {

int32_t CardCount(const RD_ProcedureHeader* entry) {
    return CountItemsInIntList(entry->rawJclCardsList, 0);
}

TEST_F(DeckTest, InstreamProcedureIsStoredAndBuiltAgainForEachCall) {
    StatementList* job = ReadJob(
        {"//J1 JOB", "//  SET N=XY", "//P1 PROC A=1,B=&N", "//PS1 EXEC PGM=X,PARM=&A",
         "//PD1 DD DSN=&A..&B", "//PS2 EXEC PGM=Y", "//  PEND", "//S1 EXEC P1,A=2", // 8
         "//S2 EXEC P1", "//SAME PROC", "//I1 EXEC PGM=INSTRM", "//  PEND", "//S3 EXEC SAME"});
    Member(procs_, "SAME", {"//C1 EXEC PGM=CATLG"});
    // Neither the PROC statements nor the procedures' cards are in the job list.
    EXPECT_EQ(Types(job), (Ints{RD_JOB, RD_SET, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_EXEC,
                                RD_STEP_END, RD_EXEC, RD_STEP_END}));
    Call call = CallProcedure("P1", Labelled(job, "S1"));
    ASSERT_NE(call.entry, nullptr);
    EXPECT_EQ(call.entry->isInstreamProc, TRUE);
    EXPECT_EQ(CardCount(call.entry), 4);
    EXPECT_STREQ(call.entry->procedureParms, "A=1,B=XY"); // substituted before it was stored
    ASSERT_EQ(call.list, call.entry->StatementList);
    EXPECT_EQ(Types(call.list),
              (Ints{RD_PROC, RD_EXEC, RD_DD, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(Labels(call.list), (Strings{"P1", "PS1", "PD1", "", "PS2", "", ""}));
    EXPECT_EQ(Parms(Labelled(call.list, "PD1")), "DSN=2.XY");
    EXPECT_EQ(getCurrentStepStmt(), Labelled(call.list, "PS2"));
    auto starts = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_STREQ(starts[0]->allParms, "P1,A=2");
    EXPECT_EQ(starts[0]->invokingStepFileLine, 8);
    EXPECT_EQ(starts[0]->invokingStepEndFileLine, 8);

    // The end of the call keeps the PROC statement only; the end record is all zero.
    EndCall(call);
    EXPECT_EQ(Types(call.entry->StatementList), (Ints{RD_PROC}));
    EXPECT_EQ(call.entry->isStatementListBuilt, FALSE);
    auto ends = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_END);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0]->procedureName, nullptr);
    EXPECT_EQ(ends[0]->invokingStepFileLine, 0);
    Call second = CallProcedure("P1", Labelled(job, "S2"));
    ASSERT_EQ(second.entry, call.entry);
    EXPECT_EQ(Parms(Labelled(second.list, "PD1")), "DSN=1.XY");
    EndCall(second);

    // An in-stream procedure hides a cataloged one of the same name, never opened.
    Call same = CallProcedure("SAME", Labelled(job, "S3"));
    ASSERT_NE(same.entry, nullptr);
    EXPECT_EQ(Parms(Labelled(same.list, "I1")), "PGM=INSTRM");
    EXPECT_EQ(Labelled(same.list, "C1"), nullptr);
    EndCall(same);
    EXPECT_EQ(ReferencedSourceCount(), 1);
    EXPECT_TRUE(Raised().empty());
}

TEST_F(DeckTest, InstreamProcedureWithoutNameTwiceDefinedOrWithoutPend) {
    StatementList* job = ReadJob({"//J1 JOB", "//  PROC A=1", // 2 no name
                                  "//X1 EXEC PGM=A", "//  PEND", "//P1 PROC", "//  PEND",
                                  "//P1 PROC", // 7 already defined
                                  "//X2 EXEC PGM=B", "//  PEND", "//P2 PROC", "//X3 EXEC PGM=C",
                                  "//* A COMMENT"}); // 12: the source ends without PEND
    // The cards of the refused procedures stay in the job.
    EXPECT_EQ(Types(job), (Ints{RD_JOB, RD_STEP_END, RD_EXEC, RD_PEND, RD_STEP_END, RD_EXEC,
                                RD_PEND, RD_STEP_END}));
    EXPECT_EQ(Labels(job), (Strings{"J1", "", "X1", "", "", "X2", "", ""}));
    EXPECT_EQ(LogLines(), (Strings{At(2), Text(1406), At(7), Text(1315), At(12), Text(1407)}));

    // P2 was kept with the cards up to the end; expanding it reports the missing PEND at
    // its last statement and adds no end markers.
    Call p2 = CallProcedure("P2", Labelled(job, "X1"));
    ASSERT_NE(p2.entry, nullptr);
    EXPECT_EQ(CardCount(p2.entry), 2);
    EXPECT_EQ(Types(p2.list), (Ints{RD_PROC, RD_EXEC}));
    Strings log = LogLines();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[6], At(11));
    EXPECT_EQ(log[7], Text(1407));
    EndCall(p2);
    // P1 holds its PEND card only: no statements and no end of step.
    Call p1 = CallProcedure("P1", Labelled(job, "X1"));
    EXPECT_EQ(CardCount(p1.entry), 1);
    EXPECT_EQ(Types(p1.list), (Ints{RD_PROC, RD_PEND}));
    EndCall(p1);
    EXPECT_EQ(LogLines().size(), 8u);
}

TEST_F(DeckTest, CommentCardNamingPendDoesNotEndAnInstreamProcedure) {
    StatementList* job = ReadJob({"//J1 JOB", "//P1 PROC", "//* PEND OF STEP A", "//PS1 EXEC PGM=X",
                                  "//  PEND", "//S1 EXEC P1"});
    EXPECT_EQ(Types(job), (Ints{RD_JOB, RD_STEP_END, RD_EXEC, RD_STEP_END}));
    Call call = CallProcedure("P1", Labelled(job, "S1"));
    ASSERT_NE(call.entry, nullptr);
    EXPECT_EQ(CardCount(call.entry), 3);
    EXPECT_EQ(Types(call.list), (Ints{RD_PROC, RD_EXEC, RD_STEP_END, RD_PEND}));
    EndCall(call);
}

TEST_F(DeckTest, CatalogedProcedureIsReadOnceAndBuiltWithEachCallsValues) {
    Member(
        procs_, "CPROC",
        {"//CPROC PROC X=DEF", "//C1 EXEC PGM=P1,PARM=&X", "//CD1 DD DSN=&X..DATA", "//C2 PROC"});
    StatementList* job = ReadJob({"//J1 JOB", "//S1 EXEC CPROC,X=ONE", "//S2 EXEC CPROC",
                                  "//S3 EXEC NOPROC", "//S4 EXEC NOPROC,A=1"});
    Call first = CallProcedure("CPROC", Labelled(job, "S1"));
    ASSERT_NE(first.entry, nullptr);
    EXPECT_EQ(first.entry->isInstreamProc, FALSE);
    EXPECT_EQ(first.entry->FileReference, 1);
    EXPECT_EQ(CardCount(first.entry), 4);
    EXPECT_EQ(Types(first.list),
              (Ints{RD_PROC, RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(Parms(Labelled(first.list, "CD1")), "DSN=ONE.DATA");
    // A second PROC statement is dropped.
    EXPECT_EQ(LogLines(), (Strings{At(4, "CPROC"), Text(1336)}));
    EndCall(first);
    EXPECT_EQ(first.entry->StatementList, nullptr);

    // The member is not read again: the second call works from the cached cards.
    std::filesystem::remove(std::filesystem::path(procs_) / "CPROC");
    Call second = CallProcedure("CPROC", Labelled(job, "S2"));
    ASSERT_EQ(second.entry, first.entry);
    EXPECT_EQ(Parms(Labelled(second.list, "CD1")), "DSN=DEF.DATA");
    EXPECT_STREQ(second.entry->procedureParms, "CPROC,X=ONE");
    EndCall(second);
    EXPECT_EQ(Raised(), (Ints{1336, 1336}));
    auto starts = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_STREQ(starts[1]->allParms, "CPROC");
    EXPECT_EQ(starts[1]->FileReference, 1);

    // Not found: no cards, searched once, and both calls keep their start and end records.
    ClearLog();
    Call missing = CallProcedure("NOPROC", Labelled(job, "S3"));
    ASSERT_NE(missing.entry, nullptr);
    EXPECT_EQ(CardCount(missing.entry), 0);
    EXPECT_EQ(Types(missing.list), (Ints{RD_STEP_END, RD_PEND}));
    EndCall(missing);
    Call again = CallProcedure("NOPROC", Labelled(job, "S4"));
    EXPECT_EQ(again.entry, missing.entry);
    EndCall(again);
    EXPECT_EQ(LogLines(), (Strings{At(4), Text(1309, "NOPROC")}));
    EXPECT_EQ(DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_END).size(), 4u);
}

} // namespace
} // namespace kvr::test
