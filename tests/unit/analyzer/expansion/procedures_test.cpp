// The procedure list: what the golden cases cannot see of it. In-stream procedure values
// substituted before they are stored, faulty in-stream definitions, and cataloged members
// read once per member. Calls, steps and values of well-formed procedures:
// text_instream_proc, text_nested_procs, text_jcllib_proc, text_missing_proc; hiding and
// missing procedures searched once: text_instream_hides_cataloged.
#include "analyzer/expansion/deck_fixture.h"
#include "expansion/list_builder_state.h"

namespace kvr::test {
namespace {

int32_t CardCount(const RD_ProcedureHeader* entry) {
    return CountItemsInIntList(entry->rawJclCardsList, 0);
}

TEST_F(DeckTest, InstreamProcedureDefaultsAreSubstitutedBeforeTheyAreStored) {
    StatementList* job = ReadJob({"//J1 JOB", "//  SET N=XY", "//P1 PROC A=1,B=&N",
                                  "//PS1 EXEC PGM=X", "//  PEND", "//S1 EXEC P1"});
    Call call = CallProcedure("P1", Labelled(job, "S1"));
    ASSERT_NE(call.entry, nullptr);
    EXPECT_STREQ(call.entry->procedureParms, "A=1,B=XY");
    EndCall(call);
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

    // A comment card naming PEND does not end a procedure.
    job = ReadJob({"//J1 JOB", "//P3 PROC", "//* PEND OF STEP A", "//PS1 EXEC PGM=X", "//  PEND",
                   "//S1 EXEC P3"});
    Call p3 = CallProcedure("P3", Labelled(job, "S1"));
    ASSERT_NE(p3.entry, nullptr);
    EXPECT_EQ(CardCount(p3.entry), 3);
    EXPECT_EQ(Types(p3.list), (Ints{RD_PROC, RD_EXEC, RD_STEP_END, RD_PEND}));
    EndCall(p3);
}

TEST_F(DeckTest, CatalogedProcedureIsReadOncePerMember) {
    Member(procs_, "CPROC",
           {"//CPROC PROC X=DEF", "//C1 EXEC PGM=P1", "//CD1 DD DSN=&X..DATA", "//C2 PROC"});
    StatementList* job = ReadJob({"//J1 JOB", "//S1 EXEC CPROC,X=ONE", "//S2 EXEC CPROC"});
    Call first = CallProcedure("CPROC", Labelled(job, "S1"));
    ASSERT_NE(first.entry, nullptr);
    EXPECT_EQ(first.entry->FileReference, 1);
    // A second PROC statement is dropped.
    EXPECT_EQ(LogLines(), (Strings{At(4, "CPROC"), Text(1336)}));
    EndCall(first);
    // The member is not read again: the second call works from the cached cards.
    std::filesystem::remove(std::filesystem::path(procs_) / "CPROC");
    Call second = CallProcedure("CPROC", Labelled(job, "S2"));
    ASSERT_EQ(second.entry, first.entry);
    EXPECT_EQ(Parms(Labelled(second.list, "CD1")), "DSN=DEF.DATA");
    EndCall(second);
    EXPECT_EQ(Raised(), (Ints{1336, 1336}));
}

} // namespace
} // namespace kvr::test
