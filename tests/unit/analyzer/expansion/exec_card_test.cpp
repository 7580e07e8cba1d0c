// EXEC statements of programs: the step values taken from the statement, the Velkor-mode
// parameter text, and the EXECs that add no step.
#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

using ExecCardTest = JobModelTest;

// Program, parameter, REGION and the other step parameters: text_step_records.
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

TEST_F(ExecCardTest, EmptyProgramOrNoStepNameAddsNoStep) {
    StartJob("J");
    {
        CapturedLog log;
        Exec("STEP1", "PGM=,REGION=4M");
        EXPECT_TRUE(Logged(log.Lines(), "KVR1372W"));
    }
    {
        VelkorCatalog velkor;
        CapturedLog log;
        Exec("STEP1", "PGM=", 2);
        EXPECT_TRUE(Logged(log.Lines(), "VAD3071W"));
    }
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
