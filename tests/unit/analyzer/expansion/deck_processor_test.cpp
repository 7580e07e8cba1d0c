// The job walk of a member: which statement may be its JOB statement, the job made without
// one in Velkor mode, and JCLLIB and procedure calls while no job exists.
#include "expansion/deck_processor.h"

#include "analyzer/expansion/deck_fixture.h"
#include "expansion/deck_internal.h"
#include "source/source_access.h"

namespace kvr::test {
namespace {

TEST_F(DeckTest, WithoutAJobCallsAreRecordedButNotWalked) {
    Proc("PROCA", {"//PS1     EXEC PGM=X"});
    EXPECT_EQ(Expand({"//S1      EXEC PGM=P1", "//DD1     DD   DSN=A.B", "//CALL    EXEC PROCA",
                      "//S3      EXEC PGM=P3"}),
              TRUE);
    // The leading end-of-step marker is no statement of the member: 1334 is at line 1.
    EXPECT_EQ(LogLines(), (Strings{At(1), Text(1334)}));
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_PROC_START, RD_STRUCT_PROC_END}));
    auto starts = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_STREQ(starts[0]->procedureName, "PROCA");
    EXPECT_EQ(starts[0]->invokingStepFileLine, 3);

    // A JCLLIB first is processed (PROCB is found in its library), but the JOB statement
    // after it is not the first statement, so no job exists and the call is not walked.
    const std::string lib = Container("L2");
    Member(lib, "PROCB", {"//PB      EXEC PGM=B"});
    AddTranslationForTests("MY.L2", lib.c_str());
    const Strings member = {"//        JCLLIB ORDER=(MY.L2)", "//JOB1    JOB  (A)",
                            "//CALL    EXEC PROCB"};
    EXPECT_EQ(Expand(member), TRUE);
    EXPECT_EQ(LogLines(), (Strings{At(2), Text(1356)}));
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_PROC_START, RD_STRUCT_PROC_END}));
    // With -i the JCLLIB is skipped and PROCB is not found.
    ignoreJCLLIB_ = TRUE;
    EXPECT_EQ(Expand(member), TRUE);
    EXPECT_EQ(Raised(), (Ints{1356, 1309}));
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_PROC_START, RD_STRUCT_PROC_END}));
    ResetTranslationsForTests();
}

TEST_F(DeckTest, VelkorMemberWithoutJobStatementGetsAJob) {
    // An EXEC first: velkor_no_job.

    // A leading DD is processed in the made-up job: it stands before the first step.
    EXPECT_EQ(Expand({"//DD1     DD   DSN=A.B", "//S1      EXEC PGM=P1"}, kModeVelkor), TRUE);
    EXPECT_EQ(Raised(), (Ints{3074}));
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_JOB, RD_STRUCT_STEP}));
    EXPECT_STREQ(Jobs().at(0)->JobName, "DUMMYJC");

    // A JOB statement first is taken as it is; a second one starts the next job.
    EXPECT_EQ(Expand({"//JOBV     JOB  (ACCT)", "//JOBW     JOB  (ACCT)"}, kModeVelkor), TRUE);
    EXPECT_EQ(Raised(), Ints{});
    ASSERT_EQ(Jobs().size(), 2u);
    EXPECT_STREQ(Jobs()[1]->JobName, "JOBW");
}

} // namespace
} // namespace kvr::test
