// Steps: the values a step keeps, the 255-step table, the DDs of a step and the OUTPUT
// statements that follow a step.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Numbers = std::vector<int>;

TEST_F(ModelTest, StepKeepsItsValuesAndAbsentOnesAreEmpty) {
    Job();
    AddStep(deck_, "PSTEP", "CALLER", 0, 12, 14, TRUE, 1, "4M", "IEFBR14", "A,B",
            "PGM=IEFBR14,PARM='A,B',REGION=4M", 0, 0);
    AddStep(deck_, "S2", nullptr, 0, 20, 20, FALSE, 0, nullptr, nullptr, nullptr, nullptr, 0, 0);
    RD_JobStruct* job = QueryCurrentJob();
    ASSERT_EQ(QueryStepCount(job), 2);
    RD_JobStep* step = job->StepList[0];
    EXPECT_STREQ(step->InvokingStepName, "CALLER");
    EXPECT_EQ(step->endFileLine, 14);
    EXPECT_EQ(step->procNestingLevel, 1);
    EXPECT_STREQ(step->RegionSize, "4M");
    EXPECT_STREQ(step->ExecutableParms, "A,B");
    RD_JobStep* second = QueryCurrentStep(job);
    EXPECT_EQ(second, job->StepList[1]);
    EXPECT_STREQ(second->InvokingStepName, "");
    EXPECT_STREQ(second->RegionSize, "");
    EXPECT_STREQ(second->AllParms, "");
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_STEP, RD_STRUCT_STEP}));
}

TEST_F(ModelTest, StepBeyondThe255thIsDroppedAndLaterDDsGoToThe255th) {
    Job();
    for (int i = 1; i <= 255; ++i)
        Step(("S" + std::to_string(i)).c_str(), 100 + i);
    EXPECT_TRUE(LoggedNumbers().empty());
    RD_JobStruct* job = QueryCurrentJob();
    RD_JobStep* last = job->StepList[254];
    EXPECT_STREQ(last->StepName, "S255");
    const int32_t before = test::OutstandingBlocks();
    Step("S256", 400);
    EXPECT_EQ(test::OutstandingBlocks(), before); // the refused step is released, not leaked
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1393}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 400));
    EXPECT_EQ(QueryStepCount(job), 255);
    EXPECT_EQ(DeckTypes().size(), 256u);
    DD("SYSUT1", "AFTER.DROP", 401);
    RD_DDStatement* dd = nullptr;
    EXPECT_TRUE(FindDDForStep(last, "SYSUT1", &dd));
    EXPECT_EQ(DatasetNames(dd), (std::vector<std::string>{"AFTER.DROP"}));
}

TEST_F(ModelTest, StepDDsAreFoundByNameAndTheLastOneIsCurrent) {
    Job();
    Step("S1", 2);
    RD_JobStep* step = QueryCurrentStep(QueryCurrentJob());
    // No DD yet: an unnamed DD has nothing to continue (reported at the step).
    EXPECT_EQ(QueryStepCurrentDDStatement(step, 0), nullptr);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1373}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 2));
    DD("IN", "FIRST.IN", 3);
    DD("OUT", "A.OUT", 4);
    DD("IN", "SECOND.IN", 5);
    RD_DDStatement* dd = nullptr;
    ASSERT_TRUE(FindDDForStep(step, "IN", &dd));
    EXPECT_EQ(DatasetNames(dd), (std::vector<std::string>{"FIRST.IN"})); // first match
    EXPECT_FALSE(FindDDForStep(step, "in", &dd));                        // case counts
    EXPECT_EQ(dd, nullptr);
    EXPECT_EQ(QueryStepCurrentDDStatement(step, 0)->fileLine, 5);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_STEP})); // step DDs stay off the deck
}

} // namespace
} // namespace kvr
