// Step cursors: where they are made, one-step moves with and without the procedure
// restriction, and the searches by step name and by procedure step name. Backward searches
// that find their step are pinned by text_referbacks and text_proc_referback.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;

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
    void TearDown() override {
        for (RD_StepCursor* cursor : cursors_)
            DeleteStepCursor(cursor, 0);
        ModelTest::TearDown();
    }
    RD_StepCursor* Keep(RD_StepCursor* cursor) {
        cursors_.push_back(cursor);
        return cursor;
    }
    RD_StepCursor* At(int32_t position) {
        RD_StepCursor* cursor = Keep(GetStepCursor(0, 0));
        cursor->StepNumber = position;
        cursor->procNestingLevel = 0;
        return cursor;
    }
    std::vector<RD_StepCursor*> cursors_;
};

TEST_F(ModelTest, CursorLeavesTheTableBothWaysAndStopsThere) {
    Job();
    RD_StepCursor* empty = GetStepCursor(0, 0); // before any step it stands on no step
    EXPECT_EQ(QueryStepCursor(empty), nullptr);
    EXPECT_FALSE(AdvanceCursorToStep(empty, "S1", nullptr, FALSE));
    DeleteStepCursor(empty, 0);
    Step("S1", 2);
    RD_StepCursor* cursor = GetStepCursor(0, 0);
    EXPECT_EQ(cursor->StepNumber, 1);
    EXPECT_EQ(cursor->OriginalStepNumber, 1);
    // Each move in turn and the step number it leaves the cursor on.
    const std::pair<bool, int32_t> moves[] = {{true, 2},  {true, 2},  {false, 1},
                                              {false, 0}, {false, 0}, {true, 1}};
    for (const auto& [forward, number] : moves) {
        forward ? AdvanceStepCursor(cursor, FALSE) : DeclineStepCursor(cursor, FALSE);
        EXPECT_EQ(cursor->StepNumber, number);
        EXPECT_EQ(QueryStepCursor(cursor) != nullptr, number == 1);
    }
    DeleteStepCursor(cursor, 0);
}

TEST_F(StepCursorTest, OneStepMovesHonourTheProcedureLevel) {
    RD_StepCursor* all = At(1);
    AdvanceStepCursor(all, FALSE);
    EXPECT_EQ(all->StepNumber, 2);
    RD_StepCursor* outer = At(1);
    for (int32_t expected : {4, 6, 7}) {
        AdvanceStepCursor(outer, TRUE);
        EXPECT_EQ(outer->StepNumber, expected);
    }
    DeclineStepCursor(outer, TRUE);
    DeclineStepCursor(outer, TRUE);
    EXPECT_EQ(outer->StepNumber, 4);

    // A cursor made inside a procedure keeps that level; a copy moves on its own.
    IncrementProcNestingLevel(0);
    RD_StepCursor* inner = Keep(GetStepCursor(0, 0));
    EXPECT_EQ(inner->procNestingLevel, 1);
    EXPECT_EQ(inner->StepNumber, 6);
    DeclineStepCursor(inner, TRUE);
    DeclineStepCursor(inner, TRUE);
    EXPECT_EQ(inner->StepNumber, 3);
    RD_StepCursor* copy = Keep(DuplicateStepCursor(inner, 0, 0));
    EXPECT_EQ(copy->procNestingLevel, 1);
    EXPECT_EQ(copy->OriginalStepNumber, 3);
    DeclineStepCursor(copy, TRUE);
    EXPECT_EQ(copy->StepNumber, 2);
    EXPECT_EQ(inner->StepNumber, 3);
    DeclineStepCursor(copy, TRUE);
    EXPECT_EQ(copy->StepNumber, 0);
}

TEST_F(StepCursorTest, Searches) {
    struct Case {
        bool forward;
        int32_t from;
        const char* step;
        const char* procStep;
        BOOLEAN thisProcOnly;
        bool found;
        int32_t at;
    };
    const Case cases[] = {
        // P1 at level 1 is passed over by a level-0 cursor, even with thisProcOnly FALSE.
        {true, 1, "P1", nullptr, FALSE, false, 7},
        {true, 1, "B", nullptr, FALSE, true, 4},
        {true, 4, "B", nullptr, FALSE, true, 4},  // inclusive
        {true, 1, "b", nullptr, FALSE, false, 7}, // case counts
        {true, 3, "P2", nullptr, TRUE, true, 3},  // the starting step whatever its level
        {false, 6, "P2", nullptr, FALSE, false, 0},
        // By procedure step name: every level, unless restricted to the cursor's.
        {true, 1, "CALL", "P1", FALSE, true, 2},
        {true, 1, "CALL", "P1", TRUE, false, 7},
        {true, 1, "CALL", "P9", FALSE, false, 7},
        {false, 6, "CALL2", "P2", FALSE, false, 0},
    };
    for (const Case& c : cases) {
        RD_StepCursor* cursor = At(c.from);
        const BOOLEAN found = c.forward
                                  ? AdvanceCursorToStep(cursor, c.step, c.procStep, c.thisProcOnly)
                                  : DeclineCursorToStep(cursor, c.step, c.procStep);
        EXPECT_EQ(found != 0, c.found) << c.from << " " << c.step;
        EXPECT_EQ(cursor->StepNumber, c.at) << c.from << " " << c.step;
    }
}

} // namespace
} // namespace kvr
