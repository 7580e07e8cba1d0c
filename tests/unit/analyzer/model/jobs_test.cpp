// The job under construction: what a JOB statement fills in, a member without a job, the
// IF/ELSE/ENDIF depth limits, and the procedure nesting level.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Numbers = std::vector<int>;

// The JOB records and the Velkor-mode DUMMYJC job are pinned by text_step_records and
// velkor_no_job; a job made without operand text keeps empty strings, not missing ones.
TEST_F(ModelTest, BareJobKeepsEmptyStrings) {
    RD_JobStruct* bare = AllocateCurrentJob(Stmt("BARE", RD_JOB, nullptr, 7), 0, 0);
    ASSERT_NE(bare, nullptr);
    EXPECT_STREQ(bare->JobClass, "");
    EXPECT_STREQ(bare->statementParms, "");
    FreeJobStruct(bare, 0);
}

TEST_F(ModelTest, WithoutJobStatementNothingIsAdded) {
    const int32_t before = test::BlocksOutstanding();
    Step("S1", 2);
    DD("DD1", "A.B", 3);
    DD("", "A.C", 4);
    AddIf(deck_, Stmt("", RD_IF, "RC = 0 THEN", 5), 0, 0);
    AddElse(deck_, Stmt("", RD_ELSE, nullptr, 6), 0);
    AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 7), 0, 0);
    ProcessOutputCard(Stmt("OUT1", RD_OUTPUT, "DEFAULT=YES,FORMS=STD", 8), 0, 0);
    IncrementProcNestingLevel(0);
    statements_.clear();
    EXPECT_EQ(QueryCurrentJob(), nullptr);
    EXPECT_TRUE(DeckTypes().empty());
    EXPECT_EQ(AddOutput(nullptr, "OUT1", 0), TRUE);
    EXPECT_EQ(QueryIfNesting(), 0);
    EXPECT_EQ(QueryProcNestingLevel(), 0);
    EXPECT_EQ(GetStepCursor(0, 0), nullptr);
    EXPECT_TRUE(LoggedNumbers().empty());
    EXPECT_EQ(test::BlocksOutstanding(), before); // nothing made on the way is left behind
}

TEST_F(ModelTest, IfDepthLimitAndUnbalancedEndIf) {
    Job(nullptr, 2);
    // An IF without operand text keeps an empty condition, not a missing one.
    AddIf(deck_, Stmt("", RD_IF, nullptr, 10), 0, 0);
    EXPECT_STREQ(DeckItem<RD_IfElseEndIf>(1)->parms, "");
    for (int i = 2; i <= 17; ++i)
        AddIf(deck_, Stmt("", RD_IF, "RC = 0 THEN", 10 + i), 0, 0);
    // The 17th nested IF is counted but not recorded; reported at the JOB statement.
    EXPECT_EQ(QueryIfNesting(), 17);
    EXPECT_EQ(QueryCurrentJob()->MaxIfNesting, 17);
    EXPECT_EQ(DeckTypes().size(), 1u + 16u);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1363}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 2));
    EXPECT_EQ(ImportLines().size(), 2u); // locator and message as MSG records
    for (int i = 1; i <= 17; ++i)
        AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 40 + i), 0, 0);
    EXPECT_EQ(QueryIfNesting(), 0);
    EXPECT_EQ(DeckTypes().size(), 1u + 16u + 17u);

    // An ENDIF without IF goes negative (Velkor catalog); the next IF is accepted.
    Free_arrayJclDeck(deck_, 0);
    CreateList(&deck_, 0);
    KVR4007_InitializeFields();
    Job(nullptr, 3, 2);
    setMessageDll("pjwenus.dll");
    AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 6), 2, 0);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1363, 3130, 3066}));
    EXPECT_EQ(LogLines()[2], Locator(3130, 3));
    setMessageDll("kvrmsg.dll");
    EXPECT_EQ(QueryIfNesting(), -1);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB}));
    AddIf(deck_, Stmt("", RD_IF, "RC = 0 THEN", 7), 0, 0);
    EXPECT_EQ(QueryIfNesting(), 0);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_IF}));
}

TEST_F(ModelTest, ProcedureNestingLimitsAreReportedAtTheJob) {
    Job(nullptr, 4);
    for (int i = 0; i < 16; ++i)
        IncrementProcNestingLevel(0);
    EXPECT_TRUE(LoggedNumbers().empty());
    IncrementProcNestingLevel(0);
    EXPECT_EQ(QueryProcNestingLevel(), 17);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1381}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 4));
    for (int i = 0; i < 18; ++i)
        DecrementProcNestingLevel(0);
    EXPECT_EQ(QueryProcNestingLevel(), -1);
    EXPECT_EQ(QueryCurrentJob()->maxProcNestingLevel, 17);
    // 1383 is an error: the locator is the plain one.
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1381, 1471, 1383}));
    EXPECT_EQ(LogLines()[2], Locator(1471, 4));
}

} // namespace
} // namespace kvr
