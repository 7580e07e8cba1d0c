#include "inventory_diff.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "diff_output.h"
#include "loader.h"
#include "schema.h"

namespace xref {
namespace {

namespace fs = std::filesystem;

// One member JOBS(NAME) holding one job NAME, its steps given as "STEP ..." records with
// what follows them.
std::string Member(const std::string& name, const std::string& steps) {
    return "START JCL\nJOB START " + name + "\nINCL 0 " + name + " JOBS\n" + steps +
           "JOB END\nINCL 0 " + name + " JOBS\nEND JCL 0 C\n";
}

std::string Step(int number, const std::string& name, const std::string& program) {
    return "STEP " + std::to_string(number) + " " + name + " " + program + " \"\" \nRU " + program +
           "\n";
}

class InventoryDiff : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("kvr-xref-diff-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Load(const std::string& name, const std::string& import) {
        const std::string importPath = (folder_ / (name + ".import")).string();
        std::ofstream(importPath, std::ios::binary) << import;
        const std::string db = (folder_ / (name + ".db")).string();
        std::ostringstream notes;
        LoadImportFiles(db, {importPath}, notes, 16);
        return db;
    }

    std::vector<Difference> Compare(const std::string& oldImport, const std::string& newImport) {
        const std::string oldDb = Load("old", oldImport);
        const std::string newDb = Load("new", newImport);
        const std::unique_ptr<Database> db = OpenForComparison(oldDb, newDb);
        return CompareInventories(*db);
    }

    fs::path folder_;
};

std::string Line(const Difference& d) {
    return std::string(d.added ? "+" : "-") + KindName(d.kind) + " " + d.job.Display() + " " +
           d.step + " " + d.value + (d.dataset.empty() ? "" : " " + d.dataset + " " + d.access);
}

std::vector<std::string> Lines(const std::vector<Difference>& differences) {
    std::vector<std::string> lines;
    for (const Difference& d : differences)
        lines.push_back(Line(d));
    return lines;
}

TEST_F(InventoryDiff, StepsRemovedBeforeOthersLeaveTheOthersAlone) {
    // The steps after a removed one are numbered one less, and are the same steps.
    const auto differences = Compare(
        Member("J", Step(1, "FIRST", "P1") + Step(2, "SECOND", "P2") + Step(3, "THIRD", "P3")),
        Member("J", Step(1, "SECOND", "P2") + Step(2, "THIRD", "P3")));
    EXPECT_EQ(Lines(differences), (std::vector<std::string>{"-step J FIRST ", "-program J FIRST P1",
                                                            "-run unit J FIRST P1"}));
}

TEST_F(InventoryDiff, StepsOfOneNameAreToldApartByTheirOrder) {
    const auto differences = Compare(Member("J", Step(1, "S", "P1") + Step(2, "S", "P2")),
                                     Member("J", Step(1, "S", "P1") + Step(2, "S", "P9")));
    EXPECT_EQ(Lines(differences),
              (std::vector<std::string>{"-program J S#2 P2", "+program J S#2 P9",
                                        "-run unit J S#2 P2", "+run unit J S#2 P9"}));
}

TEST_F(InventoryDiff, ProgramsSwappedBetweenStepsOfOneNameAreFound) {
    // The same steps and programs in another pairing: the job is not as it was.
    const auto differences = Compare(Member("J", Step(1, "S", "P1") + Step(2, "S", "P2")),
                                     Member("J", Step(1, "S", "P2") + Step(2, "S", "P1")));
    EXPECT_EQ(Lines(differences),
              (std::vector<std::string>{"-program J S P1", "+program J S P2", "-program J S#2 P2",
                                        "+program J S#2 P1", "-run unit J S P1", "+run unit J S P2",
                                        "-run unit J S#2 P2", "+run unit J S#2 P1"}));
}

TEST_F(InventoryDiff, AJobMovedToAnotherMemberIsRemovedThereAndAddedHere) {
    // The member is part of what a job is: the same JCL in another member is another job.
    const std::string job = "JOB START J\nINCL 0 A JOBS\n" + Step(1, "S", "P") + "JOB END\n";
    const auto differences =
        Compare("START JCL\n" + job + "INCL 0 A JOBS\nEND JCL 0 C\n",
                "START JCL\n" + std::string(job).replace(job.find("0 A"), 3, "0 B") +
                    "INCL 0 B JOBS\nEND JCL 0 C\n");
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].job.member, "A");
    EXPECT_FALSE(differences[0].added);
    EXPECT_EQ(differences[1].job.member, "B");
    EXPECT_TRUE(differences[1].added);
}

TEST_F(InventoryDiff, AccessIsComparedNotTheDispositionWritten) {
    // OLD and MOD both write: the same access, no difference; OLD to SHR is one.
    auto dd = [](const std::string& name, const std::string& status) {
        return "DD START " + name + "\nDD SEQ  1\nDD DSN  A.B\nDD STAT " + status + "\nDD END\n";
    };
    const auto differences =
        Compare(Member("J", Step(1, "S", "P") + dd("X", "OLD") + dd("Y", "OLD")),
                Member("J", Step(1, "S", "P") + dd("X", "MOD") + dd("Y", "SHR")));
    EXPECT_EQ(Lines(differences), (std::vector<std::string>{"-data set use J S Y A.B write",
                                                            "+data set use J S Y A.B read"}));
}

Difference Made(bool added, DiffKind kind, int64_t occurrence, std::string step,
                std::string value) {
    Difference d;
    d.added = added;
    d.kind = kind;
    d.job = {"C", "M", "J", occurrence};
    d.step = std::move(step);
    d.value = std::move(value);
    return d;
}

TEST(DifferenceOrder, JobsByOccurrenceNumberThenKindStepAndRemovalFirst) {
    std::vector<Difference> differences{
        Made(true, DiffKind::Program, 10, "S", "B"), Made(true, DiffKind::Program, 2, "S", "B"),
        Made(false, DiffKind::Program, 2, "S", "Z"), Made(true, DiffKind::Step, 2, "T", ""),
        Made(false, DiffKind::Step, 2, "A", "")};
    SortDifferences(differences);
    EXPECT_EQ(Lines(differences),
              (std::vector<std::string>{"-step J#2 A ", "+step J#2 T ", "-program J#2 S Z",
                                        "+program J#2 S B", "+program J#10 S B"}));
}

TEST(DifferenceJson, EachJobIsOneEntryWithEveryListInPlace) {
    std::vector<Difference> differences{Made(true, DiffKind::Job, 1, "", ""),
                                        Made(true, DiffKind::Step, 2, "T", "")};
    std::ostringstream out;
    WriteDifferencesJson(differences, out);
    const auto json = nlohmann::ordered_json::parse(out.str());
    EXPECT_EQ(json["jobs"]["added"].size(), 1u);
    EXPECT_EQ(json["jobs"]["added"][0]["job"], "J");
    ASSERT_EQ(json["changed"].size(), 1u);
    EXPECT_EQ(json["changed"][0]["job"], "J#2");
    EXPECT_EQ(json["changed"][0]["steps"]["added"], nlohmann::ordered_json::array({"T"}));
    std::vector<std::string> keys;
    for (const auto& item : json["changed"][0].items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"container", "member", "job", "steps", "programs",
                                              "runUnits", "datasets"}));
}

} // namespace
} // namespace xref
