// Opening a step DD: result codes and messages by run mode. Reading records across a
// concatenation in whole runs: ru_tso_systsin_dataset, capture_unreadable.
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

} // namespace
} // namespace kvr
