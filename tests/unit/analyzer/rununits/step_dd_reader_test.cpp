// Opening a step DD (result codes and messages by run mode) and reading records across its
// concatenation, unreadable and empty entries passed over.
#include "analyzer/rununits/rununits_fixture.h"

namespace kvr {
namespace {

using test::RunUnitsTest;
using Numbers = std::vector<int>;

TEST_F(RunUnitsTest, OpenStepDDResultsAndMessages) {
    RD_JobStep* step = StepRunning("PGMX");
    DatasetDD("DUM", "", "DUMMY", 6);
    DatasetDD("OUT", "", "SYSOUT=*", 7);
    DatasetDD("TMP", "&&TEMP", "DSN=&&TEMP", 8);
    DatasetDD("GONE", DataSetFor(dir_.File("missing.txt")), "DSN=X", 9);
    RD_DDStatement* bare = AllocateDD(Ctx(), "BARE", 0, 14, 14); // a DD without data set entry
    AddDDToStep(Ctx(), step, bare, bare->DDName.get());

    struct Case {
        const char* dd;
        int16_t mode;
        BOOLEAN suppress;
        int16_t result;
        Numbers logged;
    };
    const Case cases[] = {
        {"NONE", 0, TRUE, kStepDDNotFound, {1470, 1444}}, // suppression is Velkor-only
        {"NONE", 2, TRUE, kStepDDNotFound, {}},
        {"NONE", 2, FALSE, kStepDDNotFound, {3130, 3101}},
        {"DUM", 0, FALSE, kStepDDDummy, {}},
        {"OUT", 0, FALSE, kStepDDNoDatasetName, {}},
        {"TMP", 0, FALSE, kStepDDTemporary, {1470, 1444}},
        {"GONE", 2, TRUE, kStepDDOpenFailed, {3130, 3101}},
        {"BARE", 0, FALSE, kStepDDNoEntry, {1442}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dd) + " mode " + std::to_string(c.mode));
        setMessageDll(c.mode == 2 ? "pjwenus.dll" : "kvrmsg.dll");
        const size_t seen = LoggedNumbers().size();
        RD_DD_IO_Control* control = nullptr;
        Ctx().run.mode = c.mode;
        EXPECT_EQ(OpenStepDD(Ctx(), step, c.dd, &control, 0, 5, c.suppress), c.result);
        const bool handle = c.result >= kStepDDOpenFailed && c.result <= kStepDDTemporary;
        EXPECT_EQ(control != nullptr, handle);
        CloseStepDD(Ctx(), control);
        EXPECT_EQ(NumbersSince(seen), c.logged);
    }
    setMessageDll("kvrmsg.dll");
    // Only the missing data set entry goes to the import file (as a MSG record).
    const std::vector<std::string> records = ImportLines();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].find("1442"), std::string::npos);
}

TEST_F(RunUnitsTest, ReadingPassesOverEntriesThatCannotBeRead) {
    RD_JobStep* step = StepRunning("PGMX");
    DatasetDD("SYSIN", DataSetFor(dir_.File("missing.txt")), "DSN=X", 6);
    DatasetDD("", "&&TEMP", "DSN=&&TEMP", 7);
    DatasetDD("", "", "SYSOUT=*", 8);
    InstreamDD("", {}, 9);
    InstreamDD("", {"REC1", "REC2"}, 10);
    // Text-mode lines: CR LF read as a line feed, a last line without one.
    DatasetDD("", "'" + DataSetWith("f.txt", "F1\r\nF2") + "'", "DSN=X", 13);

    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    RD_DD_IO_Control* control = nullptr;
    ASSERT_EQ(OpenStepDD(Ctx(), step, "SYSIN", &control, 0, 5, FALSE), kStepDDOpenFailed);
    std::vector<std::string> records;
    char* record = nullptr;
    while (ReadStepDD(Ctx(), control, &record, 0, 5))
        records.emplace_back(record);
    EXPECT_EQ(records, (std::vector<std::string>{"REC1", "REC2", "F1\n", "F2"}));
    EXPECT_FALSE(ReadStepDD(Ctx(), control, &record, 0, 5)); // stays at the end
    CloseStepDD(Ctx(), control);
    int32_t createdAfter = 0, freedAfter = 0;
    QueryBlockStatistics(&createdAfter, &freedAfter);
    EXPECT_EQ(createdAfter - freedAfter, created - freed);
    EXPECT_EQ(LoggedNumbers(), (Numbers{1470, 1444, 1470, 1444})); // the file, then &&TEMP
}

} // namespace
} // namespace kvr
