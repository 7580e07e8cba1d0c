// Steps: the 255-step table and the DDs of a step. The values a step keeps reach its STEP
// records and are pinned by text_step_records and text_nested_procs.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Numbers = std::vector<int>;

TEST_F(ModelTest, StepBeyondThe255thIsDroppedAndLaterDDsGoToThe255th) {
    Job();
    for (int i = 1; i <= 255; ++i)
        Step(("S" + std::to_string(i)).c_str(), 100 + i);
    EXPECT_TRUE(LoggedNumbers().empty());
    RD_JobStruct* job = QueryCurrentJob();
    RD_JobStep* last = job->StepList[254];
    EXPECT_STREQ(last->StepName, "S255");
    const int32_t before = test::BlocksOutstanding();
    Step("S256", 400);
    EXPECT_EQ(test::BlocksOutstanding(), before); // the refused step is released, not leaked
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
