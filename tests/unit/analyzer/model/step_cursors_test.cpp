// Step cursors: where they are made, one-step moves with and without the procedure
// restriction, and the searches by step name and by procedure step name.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;

const char* NameAt(RD_StepCursor* cursor) {
    RD_JobStep* step = QueryStepCursor(cursor);
    return step != nullptr ? step->StepName : "<none>";
}

TEST_F(ModelTest, CursorAfterTheFirstStepLeavesTheTableBothWays) {
    Job();
    Step("S1", 2);
    RD_StepCursor* cursor = GetStepCursor(0, 0);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->Job, QueryCurrentJob());
    EXPECT_EQ(cursor->StepNumber, 1);
    EXPECT_EQ(cursor->OriginalStepNumber, 1);
    EXPECT_STREQ(NameAt(cursor), "S1");

    AdvanceStepCursor(cursor, FALSE);
    EXPECT_EQ(cursor->StepNumber, 2);
    EXPECT_EQ(QueryStepCursor(cursor), nullptr);
    AdvanceStepCursor(cursor, FALSE); // off the end it stays just past the last step
    EXPECT_EQ(cursor->StepNumber, 2);
    DeclineStepCursor(cursor, FALSE);
    EXPECT_STREQ(NameAt(cursor), "S1");
    DeclineStepCursor(cursor, FALSE);
    EXPECT_EQ(cursor->StepNumber, 0);
    EXPECT_EQ(QueryStepCursor(cursor), nullptr);
    DeclineStepCursor(cursor, FALSE);
    EXPECT_EQ(cursor->StepNumber, 0);
    AdvanceStepCursor(cursor, FALSE);
    EXPECT_STREQ(NameAt(cursor), "S1");
    DeleteStepCursor(cursor, 0);

    // Before any step the cursor stands on no step.
    KVR4007_InitializeFields();
    Job();
    RD_StepCursor* empty = GetStepCursor(0, 0);
    EXPECT_EQ(empty->StepNumber, 0);
    EXPECT_EQ(QueryStepCursor(empty), nullptr);
    EXPECT_FALSE(AdvanceCursorToStep(empty, "S1", nullptr, FALSE));
    DeleteStepCursor(empty, 0);
}

// Steps: 1 A (level 0), 2 P1 of CALL (level 1), 3 P2 of CALL (level 1), 4 B (level 0),
// 5 P1 of CALL2 (level 1), 6 C (level 0).
class StepCursorTest : public ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        Job();
        Step("A", 2);
        Step("P1", 3, 1, "CALL");
        Step("P2", 4, 1, "CALL");
        Step("B", 5);
        Step("P1", 6, 1, "CALL2");
        Step("C", 7);
    }
    RD_StepCursor* At(int32_t position, int32_t level = 0) {
        RD_StepCursor* cursor = GetStepCursor(0, 0);
        cursor->StepNumber = position;
        cursor->procNestingLevel = level;
        cursors_.push_back(cursor);
        return cursor;
    }
    void TearDown() override {
        for (RD_StepCursor* cursor : cursors_)
            DeleteStepCursor(cursor, 0);
        ModelTest::TearDown();
    }
    std::vector<RD_StepCursor*> cursors_;
};

TEST_F(StepCursorTest, OneStepMovesHonourTheProcedureLevel) {
    RD_StepCursor* all = At(1);
    AdvanceStepCursor(all, FALSE);
    EXPECT_EQ(all->StepNumber, 2);
    RD_StepCursor* outer = At(1);
    AdvanceStepCursor(outer, TRUE);
    EXPECT_EQ(outer->StepNumber, 4);
    AdvanceStepCursor(outer, TRUE);
    EXPECT_EQ(outer->StepNumber, 6);
    AdvanceStepCursor(outer, TRUE);
    EXPECT_EQ(outer->StepNumber, 7);
    DeclineStepCursor(outer, TRUE);
    EXPECT_EQ(outer->StepNumber, 6);
    DeclineStepCursor(outer, TRUE);
    EXPECT_EQ(outer->StepNumber, 4);

    // A cursor made inside a procedure keeps that level.
    IncrementProcNestingLevel(0);
    RD_StepCursor* inner = GetStepCursor(0, 0);
    cursors_.push_back(inner);
    EXPECT_EQ(inner->procNestingLevel, 1);
    EXPECT_EQ(inner->StepNumber, 6);
    DeclineStepCursor(inner, TRUE);
    EXPECT_EQ(inner->StepNumber, 5);
    DeclineStepCursor(inner, TRUE);
    EXPECT_EQ(inner->StepNumber, 3);
    RD_StepCursor* copy = DuplicateStepCursor(inner, 0, 0);
    cursors_.push_back(copy);
    EXPECT_EQ(copy->Job, inner->Job);
    EXPECT_EQ(copy->StepNumber, 3);
    EXPECT_EQ(copy->procNestingLevel, 1);
    EXPECT_EQ(copy->OriginalStepNumber, 3);
    DeclineStepCursor(copy, TRUE);
    EXPECT_EQ(copy->StepNumber, 2);
    EXPECT_EQ(inner->StepNumber, 3); // the copy moves on its own
    DeclineStepCursor(copy, TRUE);
    EXPECT_EQ(copy->StepNumber, 0);
}

TEST_F(StepCursorTest, SearchByStepNameVisitsOnlyTheCursorsLevel) {
    // P1 at level 1 is passed over by a level-0 cursor, even with thisProcOnly FALSE.
    RD_StepCursor* cursor = At(1);
    EXPECT_FALSE(AdvanceCursorToStep(cursor, "P1", nullptr, FALSE));
    EXPECT_EQ(QueryStepCursor(cursor), nullptr);
    EXPECT_EQ(cursor->StepNumber, 7);

    RD_StepCursor* toB = At(1);
    EXPECT_TRUE(AdvanceCursorToStep(toB, "B", nullptr, FALSE));
    EXPECT_EQ(toB->StepNumber, 4);
    // Inclusive: a cursor on the match stays there.
    EXPECT_TRUE(AdvanceCursorToStep(toB, "B", nullptr, FALSE));
    EXPECT_EQ(toB->StepNumber, 4);
    EXPECT_FALSE(AdvanceCursorToStep(At(1), "b", nullptr, FALSE)); // case counts

    // The starting step is tested whatever its level.
    RD_StepCursor* onP2 = At(3);
    EXPECT_TRUE(AdvanceCursorToStep(onP2, "P2", nullptr, TRUE));
    EXPECT_EQ(onP2->StepNumber, 3);

    RD_StepCursor* back = At(6);
    EXPECT_TRUE(DeclineCursorToStep(back, "A", nullptr));
    EXPECT_EQ(back->StepNumber, 1);
    RD_StepCursor* backMiss = At(6);
    EXPECT_FALSE(DeclineCursorToStep(backMiss, "P2", nullptr));
    EXPECT_EQ(backMiss->StepNumber, 0);
}

TEST_F(StepCursorTest, SearchByProcedureStepNeedsTheInvokingStep) {
    RD_StepCursor* all = At(1);
    EXPECT_TRUE(AdvanceCursorToStep(all, "CALL2", "P1", FALSE));
    EXPECT_EQ(all->StepNumber, 5);
    RD_StepCursor* first = At(1);
    EXPECT_TRUE(AdvanceCursorToStep(first, "CALL", "P1", FALSE));
    EXPECT_EQ(first->StepNumber, 2);
    // Restricted to level 0 the procedure steps are never reached.
    RD_StepCursor* restricted = At(1);
    EXPECT_FALSE(AdvanceCursorToStep(restricted, "CALL", "P1", TRUE));
    EXPECT_EQ(restricted->StepNumber, 7);
    EXPECT_FALSE(AdvanceCursorToStep(At(1), "CALL", "P9", FALSE));

    // Backwards with a procedure step name every level is visited.
    RD_StepCursor* back = At(6);
    EXPECT_TRUE(DeclineCursorToStep(back, "CALL", "P2"));
    EXPECT_EQ(back->StepNumber, 3);
    RD_StepCursor* backMiss = At(6);
    EXPECT_FALSE(DeclineCursorToStep(backMiss, "CALL2", "P2"));
    EXPECT_EQ(backMiss->StepNumber, 0);
}

} // namespace
} // namespace kvr
