// The job walk of a member: which statement may be its JOB statement, the job made without
// one in Velkor mode, JCLLIB before JOB, procedure calls while no job exists, and the
// scheduler-directive records.
#include "expansion/deck_processor.h"

#include "analyzer/expansion/deck_fixture.h"
#include "analyzer/expansion/hand_statement.h"
#include "expansion/deck_internal.h"

namespace kvr::test {
namespace {

using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

TEST_F(DeckTest, EachJobStatementOfTheMemberStartsAJob) {
    EXPECT_EQ(Expand({"//JOB1    JOB  (ACCT),CLASS=A",     // 1
                      "//S1      EXEC PGM=P1",             // 2
                      "//JOB2    JOB  (ACCT)",             // 3
                      "//S2      EXEC PGM=P2",             // 4
                      "//DD2     DD   DSN=A.B,DISP=SHR"}), // 5
              TRUE);
    EXPECT_EQ(Raised(), Ints{});
    // The second job keeps its own steps.
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_JOB, RD_STRUCT_STEP, RD_STRUCT_JOB, RD_STRUCT_STEP}));
    ASSERT_EQ(Jobs().size(), 2u);
    EXPECT_STREQ(Jobs()[0]->JobName, "JOB1");
    EXPECT_STREQ(Jobs()[1]->JobName, "JOB2");
    EXPECT_EQ(Jobs()[0]->StepCount, 1);
    EXPECT_EQ(Jobs()[1]->StepCount, 1);
    EXPECT_EQ(DDNames(StepNamed("S2")), (Strings{"DD2"}));

    // A JOB statement that follows other statements of its job is still reported.
    EXPECT_EQ(Expand({"//        JCLLIB ORDER=(A.B)", "//JOB1    JOB  (ACCT)"}), TRUE);
    EXPECT_EQ(LogLines(), (Strings{At(2), Text(1356)}));
}

TEST_F(DeckTest, StandardMemberStartingWithExecHasNoJob) {
    Proc("PROCA", {"//PS1     EXEC PGM=X"});
    EXPECT_EQ(Expand({"//S1      EXEC PGM=P1",   // 1: not a JOB statement
                      "//DD1     DD   DSN=A.B",  // 2
                      "//CALL    EXEC PROCA",    // 3
                      "//S3      EXEC PGM=P3"}), // 4
              TRUE);
    // The leading end-of-step marker is no statement of the member: 1334 is at line 1.
    EXPECT_EQ(LogLines(), (Strings{At(1), Text(1334)}));
    // The statements after it are processed: the call's start and end records are there,
    // but without a job nothing of the procedure is walked and no step is made.
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_PROC_START, RD_STRUCT_PROC_END}));
    auto starts = DeckItems<RD_ProcHeader>(RD_STRUCT_PROC_START);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_STREQ(starts[0]->procedureName, "PROCA");
    EXPECT_EQ(starts[0]->invokingStepFileLine, 3);
}

TEST_F(DeckTest, VelkorMemberWithoutJobStatementGetsAJob) {
    EXPECT_EQ(Expand({"//S1      EXEC PGM=P1", "//DD1     DD   DSN=A.B"}, kModeVelkor), TRUE);
    EXPECT_EQ(Raised(), Ints{});
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_JOB, RD_STRUCT_STEP}));
    ASSERT_EQ(Jobs().size(), 1u);
    EXPECT_STREQ(Jobs()[0]->JobName, "DUMMYJC");
    EXPECT_EQ(StepNames(), (Strings{"S1"}));
    EXPECT_EQ(DDNames(StepNamed("S1")), (Strings{"DD1"}));

    // A leading DD is processed in the made-up job: it stands before the first step.
    EXPECT_EQ(Expand({"//DD1     DD   DSN=A.B", "//S1      EXEC PGM=P1"}, kModeVelkor), TRUE);
    EXPECT_EQ(Raised(), (Ints{3074}));
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_JOB, RD_STRUCT_STEP}));
    EXPECT_STREQ(Jobs()[0]->JobName, "DUMMYJC");

    // A JOB statement first is taken as it is; a second one starts the next job.
    EXPECT_EQ(Expand({"//JOBV     JOB  (ACCT)", "//JOBW     JOB  (ACCT)"}, kModeVelkor), TRUE);
    EXPECT_EQ(Raised(), Ints{});
    ASSERT_EQ(Jobs().size(), 2u);
    EXPECT_STREQ(Jobs()[1]->JobName, "JOBW");
}

TEST_F(DeckTest, JcllibBeforeTheJobStatement) {
    const std::string lib = Container("L2");
    Proc("PROCX", {"//PX      EXEC PGM=X"});
    Member(lib, "PROCB", {"//PB      EXEC PGM=B"});
    const std::vector<std::string> member = {"//        JCLLIB ORDER=(" + lib + ")", // 1
                                             "//JOB1    JOB  (A)",                   // 2
                                             "//CALL    EXEC PROCB"};                // 3
    EXPECT_EQ(Expand(member), TRUE);
    // The JCLLIB was processed (PROCB is found in its library); the JOB statement is not
    // the first one, so no job exists and the call is not walked.
    EXPECT_EQ(LogLines(), (Strings{At(2), Text(1356)}));
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_PROC_START, RD_STRUCT_PROC_END}));

    // With -i the JCLLIB is skipped and PROCB is not found.
    ignoreJCLLIB_ = TRUE;
    EXPECT_EQ(Expand(member), TRUE);
    EXPECT_EQ(Raised(), (Ints{1356, 1309}));
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_PROC_START, RD_STRUCT_PROC_END}));
}

TEST_F(DeckTest, DirectiveRecordsCopyOperationAndParameters) {
    CreateList(&deck_, 0);
    auto withParms = MakeStatement(RD_QUILLO_OPC, "*%OPC", "SCAN", "A=1,B=2", 0, 7);
    auto without = MakeStatement(RD_QUILLO_OPC, "*%OPC", "BEGIN", nullptr, 0, 9);
    AddQuilloOpc(deck_, withParms.get(), 0, 0);
    AddQuilloOpc(deck_, without.get(), 0, 0);
    auto records = DeckItems<RD_Quillo_Opc>(RD_STRUCT_OPC);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]->fileLine, 7);
    EXPECT_STREQ(records[0]->operation, "SCAN");
    EXPECT_STREQ(records[0]->parameters, "A=1,B=2");
    EXPECT_NE(records[0]->operation, withParms->StatementOp); // a copy
    EXPECT_EQ(records[1]->fileLine, 9);
    EXPECT_STREQ(records[1]->parameters, "");
}

TEST_F(DeckTest, DebugRunsListTheExpandedDeck) {
    Proc("PROCA", {"//PS1     EXEC PGM=X"});
    testing::internal::CaptureStdout();
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//CALL    EXEC PROCA"}, kModeStandard, 1), TRUE);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string listing = "JclDeck\n"
                                "=======\n"
                                "structureType(1) JOB\t     1     1 JOB1\n"
                                "structureType(7) PROC\t     2     2 PROCA \n"
                                "structureType(6) STEP\t     1     1 PS1\n"
                                "structureType(8) END PROC\n"
                                "================\n";
    EXPECT_NE(out.find(listing), std::string::npos) << out;

    testing::internal::CaptureStdout();
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//CALL    EXEC PROCA"}), TRUE);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace
} // namespace kvr::test
