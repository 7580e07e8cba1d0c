// DD statements in the job model: job-level JOBCAT/JOBLIB/PROCLIB DDs before the first
// step, step DDs after it, concatenated (unnamed) DDs, the statements that add nothing, and
// the concatenation cursors.
#include <algorithm>

#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Names = std::vector<std::string>;
using Numbers = std::vector<int>;

TEST_F(ModelTest, JobLevelDDsBeforeTheFirstStepStandInTheDeck) {
    Job();
    DD("JOBCAT", "CAT.ONE", 2);
    DD("JOBLIB", "LOAD.ONE", 3);
    DD("", "LOAD.TWO", 4); // continues the JOBLIB DD
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_JOBCAT, RD_STRUCT_JOBLIB}));
    auto* jobcat = DeckItem<RD_DDStatement>(1);
    auto* joblib = DeckItem<RD_DDStatement>(2);
    EXPECT_STREQ(jobcat->DDName, "JOBCAT");
    EXPECT_EQ(DatasetNames(jobcat), (Names{"CAT.ONE"}));
    EXPECT_EQ(DatasetNames(joblib), (Names{"LOAD.ONE", "LOAD.TWO"}));
    EXPECT_EQ(joblib->fileLine, 3);
    EXPECT_EQ(QueryCurrentJob()->CurrentDDStatement, joblib);
    void* found = nullptr;
    EXPECT_TRUE(FindItemWithKey(deck_, "JOBLIB", &found));
    EXPECT_EQ(found, joblib);

    // The entry keeps the statement's values.
    void* cursor = CreateConcatenationCursor(joblib, 0, 0);
    AdvanceConcatenationCursor(cursor);
    RD_DatasetConcatenation* second = QueryConcatenationCursor(cursor);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->fileLine, 4);
    EXPECT_STREQ(second->Status, "SHR");
    EXPECT_STREQ(second->Parms, "DSN=LOAD.TWO,DISP=SHR");
    AdvanceConcatenationCursor(cursor);
    EXPECT_EQ(QueryConcatenationCursor(cursor), nullptr);
    AdvanceConcatenationCursor(cursor); // past the end it stays there
    EXPECT_EQ(QueryConcatenationCursor(cursor), nullptr);
    DeleteConcatenationCursor(cursor, 0);
    DeleteConcatenationCursor(nullptr, 0);
    EXPECT_EQ(CreateConcatenationCursor(nullptr, 0, 0), nullptr);
    EXPECT_EQ(QueryConcatenationCursor(nullptr), nullptr);

    // After the first step a DD named JOBLIB is an ordinary step DD.
    Step("S1", 5);
    DD("JOBLIB", "STEP.LOAD", 6);
    EXPECT_EQ(DeckTypes(),
              (Numbers{RD_STRUCT_JOB, RD_STRUCT_JOBCAT, RD_STRUCT_JOBLIB, RD_STRUCT_STEP}));
    RD_DDStatement* stepLib = nullptr;
    ASSERT_TRUE(FindDDForStep(QueryCurrentStep(QueryCurrentJob()), "JOBLIB", &stepLib));
    EXPECT_EQ(stepLib->structureType, RD_STRUCT_DD);
    EXPECT_EQ(DatasetNames(stepLib), (Names{"STEP.LOAD"}));
    EXPECT_EQ(DatasetNames(joblib), (Names{"LOAD.ONE", "LOAD.TWO"}));
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(ModelTest, ProclibJoinsTheJobSearchList) {
    const std::string library =
        Container("PROCS", {{"MYPROC", "//MYPROC PROC\n//S1 EXEC PGM=X\n"}});
    Job();
    DD("PROCLIB", library.c_str(), 2);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB, RD_STRUCT_PROCLIB}));
    EXPECT_EQ(DatasetNames(DeckItem<RD_DDStatement>(1)), (Names{library}));

    PrintFileTables(0);
    char entry[512] = {};
    KVRGetMessageText(entry, 1108, library.c_str(), "SITE1", "", nullptr);
    const auto lines = LogLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(entry)), lines.end());

    OpenCatalogedProc("MYPROC", 0, 2, 0, 0);
    SourceLine line{};
    ASSERT_TRUE(ReadNextLine(&line, 0, 0));
    EXPECT_STREQ(line.SourceText, "//MYPROC PROC");
}

TEST_F(ModelTest, OtherDDBeforeTheFirstStepAddsNothing) {
    Job(nullptr, 1);
    DeleteStatements();
    int32_t createdBefore = 0, freedBefore = 0;
    QueryBlockStatistics(&createdBefore, &freedBefore);
    DD("SYSPRINT", "A.B", 3);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1376}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 3)); // at the DD statement
    EXPECT_EQ(ImportLines().size(), 2u);
    EXPECT_EQ(QueryCurrentJob()->CurrentDDStatement, nullptr);
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB}));
    DeleteStatements();
    int32_t createdAfter = 0, freedAfter = 0;
    QueryBlockStatistics(&createdAfter, &freedAfter);
    EXPECT_EQ(createdAfter - createdBefore, freedAfter - freedBefore);
}

TEST_F(ModelTest, UnnamedDDWithNothingToContinueAddsNothing) {
    Job(nullptr, 2);
    DD("", "LOST.ONE", 3);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1373}));
    EXPECT_EQ(LogLines()[0], Locator(1470, 2)); // at the JOB statement
    EXPECT_EQ(DeckTypes(), (Numbers{RD_STRUCT_JOB}));

    Step("S1", 5);
    DD("", "LOST.TWO", 6);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1373, 1470, 1373}));
    EXPECT_EQ(LogLines()[2], Locator(1470, 5)); // at the step
    // A job-level DD before the step is not continued across it.
    EXPECT_EQ(QueryCurrentStep(QueryCurrentJob())->CurrentDDStatement, nullptr);
}

TEST_F(ModelTest, DDAddsNoDataSetOnceTheSeverityIsAboveFour) {
    Job();
    Step("S1", 2);
    SetMaximumSeverity(8);
    DD("IN", "NOT.ADDED", 3);
    RD_DDStatement* dd = nullptr;
    ASSERT_TRUE(FindDDForStep(QueryCurrentStep(QueryCurrentJob()), "IN", &dd));
    EXPECT_TRUE(DatasetNames(dd).empty());
}

} // namespace
} // namespace kvr
