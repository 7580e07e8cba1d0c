// The job under construction: what a JOB statement fills in, a member without a job, the
// IF/ELSE/ENDIF records and their depth limits, and the procedure nesting level.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Numbers = std::vector<int>;

TEST_F(ModelTest, JobStatementFillsTheCurrentJob) {
    ProcessJobCard(deck_, Stmt("PAYJOB", RD_JOB, "(ACCT1,DEP),'J SMITH',MSGCLASS=X,CLASS=B", 3, 5),
                   0, FALSE, 0);
    RD_JobStruct* job = QueryCurrentJob();
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->structureType, RD_STRUCT_JOB);
    EXPECT_STREQ(job->JobName, "PAYJOB");
    EXPECT_STREQ(job->JobClass, "B");
    EXPECT_STREQ(job->JobAccountingData, "(ACCT1,DEP)");
    EXPECT_STREQ(job->statementParms, "(ACCT1,DEP),'J SMITH',MSGCLASS=X,CLASS=B");
    EXPECT_EQ(job->fileLine, 3);
    EXPECT_EQ(job->endFileLine, 5);
    EXPECT_EQ(job->FileReference, 0);
    EXPECT_EQ(job->StepCount, 0);
    EXPECT_EQ(job->HasJCLLIB, FALSE);
    EXPECT_EQ(job->CurrentDDStatement, nullptr);
    EXPECT_EQ(job->JobOutputSpecificationList, nullptr);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB}));
    void* found = nullptr;
    EXPECT_TRUE(FindItemWithKey(deck_, "PAYJOB", &found));
    EXPECT_EQ(found, job);
}

TEST_F(ModelTest, JobWithoutOperandsOrStatementHoldsEmptyTexts) {
    RD_JobStruct* bare = AllocateCurrentJob(Stmt("BARE", RD_JOB, nullptr, 7), 0, 0);
    ASSERT_NE(bare, nullptr);
    EXPECT_STREQ(bare->JobClass, "");
    EXPECT_STREQ(bare->JobAccountingData, "");
    EXPECT_STREQ(bare->statementParms, "");
    FreeJobStruct(bare, 0);

    // The Velkor-mode job made when a member does not start with a JOB statement.
    ProcessJobCard(deck_, nullptr, 2, FALSE, 0);
    RD_JobStruct* job = QueryCurrentJob();
    ASSERT_NE(job, nullptr);
    EXPECT_STREQ(job->JobName, "DUMMYJC");
    EXPECT_EQ(job->FileReference, 0);
    EXPECT_EQ(job->fileLine, 0);
    EXPECT_EQ(job->endFileLine, 0);
    EXPECT_STREQ(job->JobClass, "");
    EXPECT_STREQ(job->statementParms, "");
}

TEST_F(ModelTest, WithoutJobStatementNothingIsAdded) {
    int32_t createdBefore = 0, freedBefore = 0;
    QueryBlockStatistics(&createdBefore, &freedBefore);
    Step("S1", 2);
    DD("DD1", "A.B", 3);
    DD("", "A.C", 4);
    AddIf(deck_, Stmt("", RD_IF, "RC = 0 THEN", 5), 0, 0);
    AddElse(deck_, Stmt("", RD_ELSE, nullptr, 6), 0);
    AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 7), 0, 0);
    ProcessOutputCard(Stmt("OUT1", RD_OUTPUT, "DEFAULT=YES,FORMS=STD", 8), 0, 0);
    IncrementProcNestingLevel(0);
    DeleteStatements();

    EXPECT_EQ(QueryCurrentJob(), nullptr);
    EXPECT_TRUE(DeckTypes().empty());
    EXPECT_EQ(AddOutput(nullptr, "OUT1", 0), TRUE);
    EXPECT_EQ(QueryIfNesting(), 0);
    EXPECT_EQ(QueryProcNestingLevel(), 0);
    EXPECT_EQ(GetStepCursor(0, 0), nullptr);
    EXPECT_EQ(QueryParmCaptureStepCount(), 0);
    EXPECT_TRUE(LoggedNumbers().empty());
    // Nothing made on the way is left behind.
    int32_t createdAfter = 0, freedAfter = 0;
    QueryBlockStatistics(&createdAfter, &freedAfter);
    EXPECT_EQ(createdAfter - createdBefore, freedAfter - freedBefore);
}

TEST_F(ModelTest, IfElseEndIfRecordsCarryLabelConditionAndLocation) {
    Job();
    AddIf(deck_, Stmt("CHK", RD_IF, "(STEP1.RC = 0) THEN", 4, 5), 0, 0);
    AddElse(deck_, Stmt("ALT", RD_ELSE, nullptr, 8), 0);
    AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 9), 0, 0);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_IF, RD_STRUCT_ELSE, RD_STRUCT_ENDIF}));
    auto* ifRecord = DeckItem<RD_IfElseEndIf>(1);
    EXPECT_STREQ(ifRecord->statementLabel, "CHK");
    EXPECT_STREQ(ifRecord->parms, "(STEP1.RC = 0) THEN");
    EXPECT_EQ(ifRecord->fileLine, 4);
    EXPECT_EQ(ifRecord->endFileLine, 5);
    auto* elseRecord = DeckItem<RD_IfElseEndIf>(2);
    EXPECT_STREQ(elseRecord->statementLabel, "ALT");
    EXPECT_EQ(elseRecord->parms, nullptr);
    auto* endRecord = DeckItem<RD_IfElseEndIf>(3);
    EXPECT_STREQ(endRecord->statementLabel, "");
    EXPECT_EQ(endRecord->parms, nullptr);
    EXPECT_EQ(endRecord->fileLine, 9);
    RD_JobStruct* job = QueryCurrentJob();
    EXPECT_EQ(job->IfStmtCount, 1);
    EXPECT_EQ(job->ElseStmtCount, 1);
    EXPECT_EQ(job->EndifStmtCount, 1);
    EXPECT_EQ(job->IfNesting, 0);
    EXPECT_EQ(job->MaxIfNesting, 1);
    // An IF without operand text keeps an empty condition, not a missing one.
    AddIf(deck_, Stmt("", RD_IF, nullptr, 10), 0, 0);
    EXPECT_STREQ(DeckItem<RD_IfElseEndIf>(4)->parms, "");
}

TEST_F(ModelTest, SeventeenthNestedIfIsCountedButNotRecorded) {
    Job(nullptr, 2);
    for (int i = 1; i <= 17; ++i)
        AddIf(deck_, Stmt("", RD_IF, "RC = 0 THEN", 10 + i), 0, 0);
    EXPECT_EQ(QueryIfNesting(), 17);
    EXPECT_EQ(QueryCurrentJob()->MaxIfNesting, 17);
    EXPECT_EQ(QueryCurrentJob()->IfStmtCount, 17);
    EXPECT_EQ(DeckTypes().size(), 1u + 16u);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1363}));
    // Reported at the JOB statement, not at the IF.
    EXPECT_EQ(LogLines()[0], Locator(1470, 2));
    const auto importLines = ImportLines();
    EXPECT_EQ(importLines.size(), 2u); // locator and message as MSG records

    for (int i = 1; i <= 17; ++i)
        AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 40 + i), 0, 0);
    EXPECT_EQ(QueryIfNesting(), 0);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1363}));
    EXPECT_EQ(DeckTypes().size(), 1u + 16u + 17u);
}

TEST_F(ModelTest, EndIfWithoutIfGoesNegativeAndTheNextIfIsAccepted) {
    Job(nullptr, 3, 2);
    setMessageDll("pjwenus.dll"); // the Velkor-mode catalog
    AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 6), 2, 0);
    EXPECT_EQ(LoggedNumbers(), (Numbers{3130, 3066}));
    EXPECT_EQ(LogLines()[0], Locator(3130, 3));
    setMessageDll("kvrmsg.dll");
    EXPECT_EQ(QueryIfNesting(), -1);
    EXPECT_EQ(QueryCurrentJob()->EndifStmtCount, 1);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB}));

    AddIf(deck_, Stmt("", RD_IF, "RC = 0 THEN", 7), 0, 0);
    EXPECT_EQ(QueryIfNesting(), 0);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_IF}));
    EXPECT_EQ(LoggedNumbers().size(), 2u);
}

TEST_F(ModelTest, ProcedureNestingLimitsAreReportedAtTheJob) {
    Job(nullptr, 4);
    for (int i = 0; i < 16; ++i)
        IncrementProcNestingLevel(0);
    EXPECT_TRUE(LoggedNumbers().empty());
    IncrementProcNestingLevel(0);
    EXPECT_EQ(QueryProcNestingLevel(), 17);
    EXPECT_EQ(QueryCurrentJob()->maxProcNestingLevel, 17);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1381}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 4));

    for (int i = 0; i < 17; ++i)
        DecrementProcNestingLevel(0);
    EXPECT_EQ(QueryProcNestingLevel(), 0);
    EXPECT_EQ(LoggedNumbers().size(), 2u);
    DecrementProcNestingLevel(0);
    EXPECT_EQ(QueryProcNestingLevel(), -1);
    EXPECT_EQ(QueryCurrentJob()->maxProcNestingLevel, 17);
    // 1383 is an error: the locator is the plain one.
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1381, 1471, 1383}));
    EXPECT_EQ(LogLines()[2], Locator(1471, 4));
}

} // namespace
} // namespace kvr
