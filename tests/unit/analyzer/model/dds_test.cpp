// DD statements in the job model: job-level JOBLIB DDs before the first step, the
// statements that add nothing, and the concatenation cursors. The deck order of JOBCAT and
// JOBLIB records and a JOBLIB DD after a step are pinned by the text_job_level_dds case, a
// PROCLIB DD serving as procedure library by text_proc_referback.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Numbers = std::vector<int>;

TEST_F(ModelTest, JobLevelDDsAndTheirConcatenationCursor) {
    Job();
    DD("JOBLIB", "LOAD.ONE", 3);
    DD("", "LOAD.TWO", 4); // continues the JOBLIB DD
    auto* joblib = DeckItem<RD_DDStatement>(1);
    EXPECT_EQ(QueryCurrentJob()->CurrentDDStatement, joblib);

    void* cursor = CreateConcatenationCursor(joblib, 0, 0);
    AdvanceConcatenationCursor(cursor);
    RD_DatasetConcatenation* second = QueryConcatenationCursor(cursor);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->fileLine, 4);
    AdvanceConcatenationCursor(cursor);
    AdvanceConcatenationCursor(cursor); // past the end it stays there
    EXPECT_EQ(QueryConcatenationCursor(cursor), nullptr);
    DeleteConcatenationCursor(cursor, 0);
    DeleteConcatenationCursor(nullptr, 0);
    EXPECT_EQ(CreateConcatenationCursor(nullptr, 0, 0), nullptr);
    EXPECT_EQ(QueryConcatenationCursor(nullptr), nullptr);
}

TEST_F(ModelTest, DDsThatAddNothing) {
    Job(nullptr, 2);
    // An unnamed DD with nothing to continue: reported at the JOB statement.
    DD("", "LOST.ONE", 3);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1373}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 2));
    // Another DD before the first step: reported at the DD statement, nothing kept.
    statements_.clear();
    const int32_t before = test::BlocksOutstanding();
    DD("SYSPRINT", "A.B", 3);
    statements_.clear();
    EXPECT_EQ(test::BlocksOutstanding(), before);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1373, 1470, 1376}));
    EXPECT_EQ(LogLines()[2], Locator(1470, 3));
    EXPECT_EQ(ImportLines().size(), 4u);
    EXPECT_EQ(QueryCurrentJob()->CurrentDDStatement, nullptr);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB}));

    // A job-level DD before the step is not continued across it: reported at the step.
    DD("JOBLIB", "LOAD.ONE", 4);
    Step("S1", 5);
    DD("", "LOST.TWO", 6);
    EXPECT_EQ(LogLines()[4], Locator(1470, 5));
    EXPECT_EQ(QueryCurrentStep(QueryCurrentJob())->CurrentDDStatement, nullptr);
    // Once the severity is above 4 a DD adds no data set.
    SetMaximumSeverity(8);
    DD("IN", "NOT.ADDED", 7);
    RD_DDStatement* dd = nullptr;
    ASSERT_TRUE(FindDDForStep(QueryCurrentStep(QueryCurrentJob()), "IN", &dd));
    EXPECT_TRUE(DatasetNames(dd).empty());
}

} // namespace
} // namespace kvr
