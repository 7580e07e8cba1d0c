// The procedure list: in-stream procedures stored while the job is read and expanded per
// call, their failures, cataloged procedures read once per member and rebuilt for every
// call, procedures that cannot be found, and in-stream procedures hiding cataloged ones.
#include "analyzer/expansion/expansion_fixture.h"

#include "expansion/list_builder_state.h"

namespace kvr {
namespace {

using test::ExpansionTest;
using TypeList = std::vector<int>;
using Strings = std::vector<std::string>;

int32_t CardCount(const RD_ProcedureHeader* entry) {
    return CountItemsInIntList(entry->rawJclCardsList, 0);
}

TEST_F(ExpansionTest, InstreamProcedureIsStoredAndBuiltAgainForEachCall) {
    StatementList* job = ReadJob({"//J1 JOB",                 // 1
                                  "//  SET N=XY",             // 2
                                  "//P1 PROC A=1,B=&N",       // 3
                                  "//PS1 EXEC PGM=X,PARM=&A", // 4
                                  "//PD1 DD DSN=&A..&B",      // 5
                                  "//PS2 EXEC PGM=Y",         // 6
                                  "//  PEND",                 // 7
                                  "//S1 EXEC P1,A=2",         // 8
                                  "//S2 EXEC P1"});           // 9
    // Neither the PROC statement nor the procedure's cards are in the job list.
    EXPECT_EQ(Types(job),
              (TypeList{RD_JOB, RD_SET, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_EXEC, RD_STEP_END}));

    Call call = CallProcedure("P1", Labelled(job, "S1"));
    ASSERT_NE(call.entry, nullptr);
    EXPECT_STREQ(call.entry->procedureName, "P1");
    EXPECT_EQ(call.entry->isInstreamProc, TRUE);
    EXPECT_EQ(call.entry->FileReference, 0);
    EXPECT_EQ(CardCount(call.entry), 4);
    EXPECT_STREQ(call.entry->procedureParms, "A=1,B=XY"); // substituted before it was stored
    ASSERT_EQ(call.list, call.entry->StatementList);
    EXPECT_EQ(Types(call.list),
              (TypeList{RD_PROC, RD_EXEC, RD_DD, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(Labels(call.list), (Strings{"P1", "PS1", "PD1", "", "PS2", "", ""}));
    EXPECT_EQ(Parms(Labelled(call.list, "PS1")), "PGM=X,PARM=2");
    EXPECT_EQ(Parms(Labelled(call.list, "PD1")), "DSN=2.XY");
    EXPECT_EQ(getCurrentStepStmt(), Labelled(call.list, "PS2"));

    auto starts = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_STREQ(starts[0]->procedureName, "P1");
    EXPECT_STREQ(starts[0]->allParms, "P1,A=2");
    EXPECT_EQ(starts[0]->isInstreamProc, TRUE);
    EXPECT_EQ(starts[0]->FileReference, 0);
    EXPECT_EQ(starts[0]->invokingStepFileReference, 0);
    EXPECT_EQ(starts[0]->invokingStepFileLine, 8);
    EXPECT_EQ(starts[0]->invokingStepEndFileLine, 8);

    // The end of the call keeps the PROC statement only; the end record is all zero.
    EndCall(call);
    EXPECT_EQ(Types(call.entry->StatementList), (TypeList{RD_PROC}));
    EXPECT_EQ(call.entry->isStatementListBuilt, FALSE);
    auto ends = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_END);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0]->procedureName, nullptr);
    EXPECT_EQ(ends[0]->allParms, nullptr);
    EXPECT_EQ(ends[0]->invokingStepFileLine, 0);

    // The second call sees the PROC default.
    Call second = CallProcedure("P1", Labelled(job, "S2"));
    ASSERT_EQ(second.entry, call.entry);
    EXPECT_EQ(Parms(Labelled(second.list, "PS1")), "PGM=X,PARM=1");
    EXPECT_EQ(Parms(Labelled(second.list, "PD1")), "DSN=1.XY");
    EndCall(second);
    EXPECT_EQ(DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START).size(), 2u);
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(ExpansionTest, InstreamProcedureWithoutNameTwiceDefinedOrWithoutPend) {
    StatementList* job = ReadJob({"//J1 JOB",        // 1
                                  "//  PROC A=1",    // 2 no name
                                  "//X1 EXEC PGM=A", // 3
                                  "//  PEND",        // 4
                                  "//P1 PROC",       // 5
                                  "//  PEND",        // 6
                                  "//P1 PROC",       // 7 already defined
                                  "//X2 EXEC PGM=B", // 8
                                  "//  PEND",        // 9
                                  "//P2 PROC",       // 10
                                  "//X3 EXEC PGM=C", // 11 the source ends: no PEND
                                  "//* A COMMENT"}); // 12
    // The cards of the refused procedures stay in the job.
    EXPECT_EQ(Types(job), (TypeList{RD_JOB, RD_STEP_END, RD_EXEC, RD_PEND, RD_STEP_END, RD_EXEC,
                                    RD_PEND, RD_STEP_END}));
    EXPECT_EQ(Labels(job), (Strings{"J1", "", "X1", "", "", "X2", "", ""}));
    EXPECT_EQ(LogLines(), (Strings{WarningAt("MEM", 2), MessageText(1406), WarningAt("MEM", 7),
                                   MessageText(1315), WarningAt("MEM", 12), MessageText(1407)}));

    // P2 was kept with the cards up to the end; expanding it reports the missing PEND at
    // its last statement and adds no end markers.
    Call p2 = CallProcedure("P2", Labelled(job, "X1"));
    ASSERT_NE(p2.entry, nullptr);
    EXPECT_EQ(CardCount(p2.entry), 2);
    EXPECT_EQ(Types(p2.list), (TypeList{RD_PROC, RD_EXEC}));
    Strings log = LogLines();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[6], WarningAt("MEM", 11));
    EXPECT_EQ(log[7], MessageText(1407));
    EndCall(p2);

    // P1 holds its PEND card only: no statements and no end of step.
    Call p1 = CallProcedure("P1", Labelled(job, "X1"));
    EXPECT_EQ(CardCount(p1.entry), 1);
    EXPECT_EQ(Types(p1.list), (TypeList{RD_PROC, RD_PEND}));
    EndCall(p1);
    EXPECT_EQ(LogLines().size(), 8u);
}

TEST_F(ExpansionTest, CatalogedProcedureIsReadOnceAndBuiltWithEachCallsValues) {
    Member(
        procs_, "CPROC",
        {"//CPROC PROC X=DEF", "//C1 EXEC PGM=P1,PARM=&X", "//CD1 DD DSN=&X..DATA", "//C2 PROC"});
    StatementList* job = ReadJob({"//J1 JOB", "//S1 EXEC CPROC,X=ONE", "//S2 EXEC CPROC"});

    Call first = CallProcedure("CPROC", Labelled(job, "S1"));
    ASSERT_NE(first.entry, nullptr);
    EXPECT_EQ(first.entry->isInstreamProc, FALSE);
    EXPECT_EQ(first.entry->FileReference, 1);
    EXPECT_EQ(CardCount(first.entry), 4);
    EXPECT_STREQ(first.entry->procedureParms, "CPROC,X=ONE");
    EXPECT_EQ(Types(first.list),
              (TypeList{RD_PROC, RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(Parms(Labelled(first.list, "C1")), "PGM=P1,PARM=ONE");
    EXPECT_EQ(Parms(Labelled(first.list, "CD1")), "DSN=ONE.DATA");
    // A second PROC statement is dropped.
    EXPECT_EQ(LogLines(), (Strings{WarningAt("CPROC", 4), MessageText(1336)}));
    EndCall(first);
    EXPECT_EQ(first.entry->StatementList, nullptr);

    // The member is not read again: the second call works from the cached cards.
    std::filesystem::remove(std::filesystem::path(procs_) / "CPROC");
    Call second = CallProcedure("CPROC", Labelled(job, "S2"));
    ASSERT_EQ(second.entry, first.entry);
    EXPECT_EQ(Parms(Labelled(second.list, "C1")), "PGM=P1,PARM=DEF");
    EXPECT_EQ(Parms(Labelled(second.list, "CD1")), "DSN=DEF.DATA");
    EXPECT_STREQ(second.entry->procedureParms, "CPROC,X=ONE");
    EndCall(second);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1470, 1336, 1470, 1336}));

    auto starts = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_STREQ(starts[0]->allParms, "CPROC,X=ONE");
    EXPECT_STREQ(starts[1]->allParms, "CPROC");
    EXPECT_EQ(starts[1]->FileReference, 1);
    EXPECT_EQ(starts[1]->isInstreamProc, FALSE);
    EXPECT_EQ(starts[1]->invokingStepFileLine, 3);
}

TEST_F(ExpansionTest, ProcedureFirstStatementDecidesTheStartMarker) {
    Member(procs_, "DDPROC", {"//D1 DD DSN=A", "//E1 EXEC PGM=X"});
    Member(procs_, "SETPROC", {"//  SET A=1", "//E1 EXEC PGM=X,PARM=&A"});
    Member(procs_, "EXPROC", {"//E1 EXEC PGM=X", "//D1 DD DSN=A"});
    StatementList* job =
        ReadJob({"//J1 JOB", "//S1 EXEC DDPROC", "//S2 EXEC SETPROC", "//S3 EXEC EXPROC"});
    const auto expand = [&](const char* name, const char* step) {
        Call call = CallProcedure(name, Labelled(job, step));
        TypeList types = Types(call.list);
        Strings parms;
        for (JCLStatement* stmt : Stmts(call.list))
            parms.push_back(Parms(stmt));
        EndCall(call);
        return std::make_pair(types, parms);
    };
    EXPECT_EQ(expand("DDPROC", "S1").first,
              (TypeList{RD_PROC, RD_DD, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    auto [types, parms] = expand("SETPROC", "S2");
    EXPECT_EQ(types, (TypeList{RD_PROC, RD_SET, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(parms[3], "PGM=X,PARM=1");
    EXPECT_EQ(expand("EXPROC", "S3").first,
              (TypeList{RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_PEND}));
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(ExpansionTest, ProcedureNotFoundIsSearchedOnceAndExpandsToNothing) {
    StatementList* job = ReadJob({"//J1 JOB", "//S1 EXEC NOPROC", "//S2 EXEC NOPROC,A=1"});
    Call first = CallProcedure("NOPROC", Labelled(job, "S1"));
    ASSERT_NE(first.entry, nullptr);
    EXPECT_EQ(CardCount(first.entry), 0);
    EXPECT_EQ(Types(first.list), (TypeList{RD_STEP_END, RD_PEND}));
    EndCall(first);
    char notFound[512] = {};
    KVRGetMessageText(notFound, 1309, "NOPROC", nullptr, nullptr, nullptr);
    EXPECT_EQ(LogLines(), (Strings{WarningAt("MEM", 2), notFound}));

    Call second = CallProcedure("NOPROC", Labelled(job, "S2"));
    EXPECT_EQ(second.entry, first.entry);
    EndCall(second);
    EXPECT_EQ(LogLines().size(), 2u); // no second search
    // Both calls still have their start and end records.
    EXPECT_EQ(DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START).size(), 2u);
    EXPECT_EQ(DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_END).size(), 2u);
}

TEST_F(ExpansionTest, InstreamProcedureHidesCatalogedOneOfTheSameName) {
    Member(procs_, "SAME", {"//C1 EXEC PGM=CATLG"});
    StatementList* job =
        ReadJob({"//J1 JOB", "//SAME PROC", "//I1 EXEC PGM=INSTRM", "//  PEND", "//S1 EXEC SAME"});
    Call call = CallProcedure("SAME", Labelled(job, "S1"));
    ASSERT_NE(call.entry, nullptr);
    EXPECT_EQ(call.entry->isInstreamProc, TRUE);
    EXPECT_EQ(Parms(Labelled(call.list, "I1")), "PGM=INSTRM");
    EXPECT_EQ(Labelled(call.list, "C1"), nullptr);
    EndCall(call);
    EXPECT_EQ(ReferencedSourceCount(), 1); // the cataloged member was never opened
}

} // namespace
} // namespace kvr
