// EXEC statements of programs: the step values taken from the statement, the Velkor-mode
// parameter text, the invoking step and nesting level, and the EXECs that add no step.
#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

using ExecCardTest = JobModelTest;

TEST_F(ExecCardTest, ProgramStepValues) {
    StartJob("J");
    {
        StatementPtr exec = ExecStatement("STEP1", "PGM=IEFBR14", 4);
        exec->endFileLine = 6;
        ProcessExecCard(deck, exec.get(), 0, 0);
    }
    RD_JobStep* step = Step("STEP1");
    ASSERT_NE(step, nullptr);
    EXPECT_STREQ(step->ExecutableName, "IEFBR14");
    EXPECT_STREQ(step->ExecutableParms, "");
    EXPECT_STREQ(step->RegionSize, "");
    EXPECT_STREQ(step->AllParms, "PGM=IEFBR14");
    EXPECT_STREQ(step->InvokingStepName, "");
    EXPECT_FALSE(step->ExpandedFromProcedure);
    EXPECT_EQ(step->procNestingLevel, 0);
    EXPECT_EQ(step->FileReference, 0);
    EXPECT_EQ(step->fileLine, 4);
    EXPECT_EQ(step->endFileLine, 6);

    Exec("STEP2", "PGM=SORT,PARM='SIZE=MAX,LIST',REGION=4M,COND=(4,LT)");
    step = Step("STEP2");
    ASSERT_NE(step, nullptr);
    EXPECT_STREQ(step->ExecutableName, "SORT");
    EXPECT_STREQ(step->ExecutableParms, "'SIZE=MAX,LIST'");
    EXPECT_STREQ(step->RegionSize, "4M");
    EXPECT_STREQ(step->AllParms, "PGM=SORT,PARM='SIZE=MAX,LIST',REGION=4M,COND=(4,LT)");
    EXPECT_EQ(QueryCurrentJob()->StepCount, 2);
}

TEST_F(ExecCardTest, VelkorModeKeepsOnlyTheCondValue) {
    StartJob("J", 2);
    Exec("STEP1", "PGM=X,COND=(4,LT),REGION=0M", 2);
    Exec("STEP2", "PGM=X,REGION=0M", 2);
    ASSERT_NE(Step("STEP1"), nullptr);
    ASSERT_NE(Step("STEP2"), nullptr);
    EXPECT_STREQ(Step("STEP1")->AllParms, "(4,LT)");
    EXPECT_STREQ(Step("STEP2")->AllParms, "");
    EXPECT_STREQ(Step("STEP2")->RegionSize, "0M");
}

TEST_F(ExecCardTest, StepsOfAProcedureNameTheirCall) {
    StartJob("J");
    BeginProcedure("CALL");
    Exec("PSTEP", "PGM=Y");
    BeginProcedure("INNER");
    Exec("NSTEP", "PGM=Z");
    EndProcedure();
    EndProcedure();
    RD_JobStep* outer = Step("PSTEP");
    RD_JobStep* inner = Step("NSTEP");
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    EXPECT_STREQ(outer->InvokingStepName, "CALL");
    EXPECT_TRUE(outer->ExpandedFromProcedure);
    EXPECT_EQ(outer->procNestingLevel, 1);
    EXPECT_STREQ(inner->InvokingStepName, "INNER");
    EXPECT_EQ(inner->procNestingLevel, 2);
}

TEST_F(ExecCardTest, EmptyProgramOrNoStepNameAddsNoStep) {
    StartJob("J");
    {
        CapturedLog log;
        Exec("STEP1", "PGM=,REGION=4M");
        EXPECT_TRUE(Logged(log.Lines(), "KVR1372W"));
    }
    EXPECT_EQ(QueryCurrentJob()->StepCount, 0);
    {
        VelkorCatalog velkor;
        CapturedLog log;
        Exec("STEP1", "PGM=", 2);
        EXPECT_TRUE(Logged(log.Lines(), "VAD3071W"));
    }
    EXPECT_EQ(QueryCurrentJob()->StepCount, 0);
    {
        // With the step-name stack empty the step cannot be placed.
        PopStepName(0, 0);
        --stepNamesPushed;
        CapturedLog log;
        Exec("STEP1", "PGM=IEFBR14");
        EXPECT_TRUE(Logged(log.Lines(), "KVR1382"));
    }
    EXPECT_EQ(QueryCurrentJob()->StepCount, 0);
}

} // namespace
} // namespace kvr::test
