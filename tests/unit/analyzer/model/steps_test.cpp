// Steps: the values a step keeps, the 255-step table, the DDs of a step and the OUTPUT
// statements that follow a step.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Numbers = std::vector<int>;

TEST_F(ModelTest, StepKeepsItsValuesAndJoinsTableAndDeck) {
    Job();
    AddStep(deck_, "PSTEP", "CALLER", 0, 12, 14, TRUE, 1, "4M", "IEFBR14", "A,B",
            "PGM=IEFBR14,PARM='A,B',REGION=4M", 0, 0);
    AddStep(deck_, "S2", nullptr, 0, 20, 20, FALSE, 0, nullptr, nullptr, nullptr, nullptr, 0, 0);
    RD_JobStruct* job = QueryCurrentJob();
    ASSERT_EQ(QueryStepCount(job), 2);
    EXPECT_EQ(job->CurrentStepIndex, 2);
    RD_JobStep* step = job->StepList[0];
    EXPECT_EQ(step->structureType, RD_STRUCT_STEP);
    EXPECT_STREQ(step->StepName, "PSTEP");
    EXPECT_STREQ(step->InvokingStepName, "CALLER");
    EXPECT_EQ(step->fileLine, 12);
    EXPECT_EQ(step->endFileLine, 14);
    EXPECT_EQ(step->ExpandedFromProcedure, TRUE);
    EXPECT_EQ(step->procNestingLevel, 1);
    EXPECT_STREQ(step->RegionSize, "4M");
    EXPECT_STREQ(step->ExecutableName, "IEFBR14");
    EXPECT_STREQ(step->ExecutableParms, "A,B");
    EXPECT_STREQ(step->AllParms, "PGM=IEFBR14,PARM='A,B',REGION=4M");
    EXPECT_EQ(step->CurrentDDStatement, nullptr);
    EXPECT_EQ(QueryStepOutputSpecificationList(step), nullptr);
    // Absent values are empty texts.
    RD_JobStep* second = QueryCurrentStep(job);
    EXPECT_EQ(second, job->StepList[1]);
    EXPECT_STREQ(second->InvokingStepName, "");
    EXPECT_STREQ(second->RegionSize, "");
    EXPECT_STREQ(second->AllParms, "");
    EXPECT_EQ(job->StepList[2], nullptr);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_STEP, RD_STRUCT_STEP}));
    void* found = nullptr;
    EXPECT_TRUE(FindItemWithKey(deck_, "S2", &found));
    EXPECT_EQ(found, second);
}

TEST_F(ModelTest, StepBeyondThe255thIsDroppedAndLaterDDsGoToThe255th) {
    Job();
    for (int i = 1; i <= 255; ++i)
        Step(("S" + std::to_string(i)).c_str(), 100 + i);
    EXPECT_TRUE(LoggedNumbers().empty());
    RD_JobStruct* job = QueryCurrentJob();
    EXPECT_EQ(QueryStepCount(job), 255);
    RD_JobStep* last = job->StepList[254];
    EXPECT_STREQ(last->StepName, "S255");

    int32_t createdBefore = 0, freedBefore = 0;
    QueryBlockStatistics(&createdBefore, &freedBefore);
    Step("S256", 400);
    int32_t createdAfter = 0, freedAfter = 0;
    QueryBlockStatistics(&createdAfter, &freedAfter);
    // The refused step is released, not leaked.
    EXPECT_EQ(createdAfter - createdBefore, freedAfter - freedBefore);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1393}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 400));
    EXPECT_EQ(QueryStepCount(job), 255);
    EXPECT_EQ(job->CurrentStepIndex, 255);
    EXPECT_EQ(DeckTypes().size(), 256u);
    void* found = nullptr;
    EXPECT_FALSE(FindItemWithKey(deck_, "S256", &found));

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
    EXPECT_EQ(dd->structureType, RD_STRUCT_DD);
    EXPECT_EQ(dd->fileLine, 3);
    EXPECT_EQ(DatasetNames(dd), (std::vector<std::string>{"FIRST.IN"})); // first match
    EXPECT_FALSE(FindDDForStep(step, "in", &dd));                        // case counts
    EXPECT_EQ(dd, nullptr);
    RD_DDStatement* current = QueryStepCurrentDDStatement(step, 0);
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->fileLine, 5);
    // Step DDs stay off the deck.
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_STEP}));
}

TEST_F(ModelTest, OutputStatementsGoToTheJobBeforeTheFirstStepThenToTheCurrentStep) {
    Job();
    ProcessOutputCard(Stmt("JOUT", RD_OUTPUT, "FORMS=J", 2), 0, 0);
    Step("S1", 3);
    ProcessOutputCard(Stmt("SOUT1", RD_OUTPUT, "FORMS=A", 4), 0, 0);
    Step("S2", 5);
    ProcessOutputCard(Stmt("SOUT2", RD_OUTPUT, "FORMS=B", 6), 0, 0);
    RD_JobStruct* job = QueryCurrentJob();
    void* found = nullptr;
    EXPECT_TRUE(FindItemWithKey(QueryJobOutputSpecificationList(job), "JOUT", &found));
    EXPECT_FALSE(FindItemWithKey(QueryJobOutputSpecificationList(job), "SOUT1", &found));
    EXPECT_TRUE(
        FindItemWithKey(QueryStepOutputSpecificationList(job->StepList[0]), "SOUT1", &found));
    EXPECT_FALSE(
        FindItemWithKey(QueryStepOutputSpecificationList(job->StepList[0]), "SOUT2", &found));
    EXPECT_TRUE(
        FindItemWithKey(QueryStepOutputSpecificationList(job->StepList[1]), "SOUT2", &found));
    EXPECT_STREQ(QueryOutputSpecificationFORMS(static_cast<RD_OutputSpecification*>(found)),
                 "FORMS=B");
}

} // namespace
} // namespace kvr
