// What an incremental scan keeps in the database: source hashes stored with a load, handed
// back by scan-state, and members dropped with everything only they used.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "loader.h"
#include "scan_state.h"
#include "schema.h"

namespace xref {
namespace {

std::string TempPath(const std::string& what) {
    return testing::TempDir() + "/xref_scan_state_" +
           testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + what;
}

std::string WriteFile(const std::string& what, const std::string& content) {
    const std::string path = TempPath(what);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// A calls the procedure P of PROD.PROCLIB and runs PGMA; B missed the member X.
constexpr const char* kImport = "START JCL\n"
                                "JOB START A\n"
                                "JOB LINES 1 1 1\n"
                                "INCL 0 A JOBS RM=NTFS\n"
                                "STEP 1 S1 PGMA \"\" \n"
                                "STEP LINES 1 2 2\n"
                                "JOB END\n"
                                "INCL 0 A JOBS\n"
                                "INCL 2 P PROD.PROCLIB\n"
                                "END JCL 0 C\n"
                                "START JCL\n"
                                "JOB START B\n"
                                "JOB LINES 1 1 1\n"
                                "JOB END\n"
                                "MSG JCL KVR4000 4 1309 \"Member X was not found\"\n"
                                "INCL 0 B JOBS\n"
                                "END JCL 4 C\n";

std::string State(const std::string& database) {
    std::ostringstream out;
    WriteScanState(*OpenForQuestions(database), out);
    return out.str();
}

std::string Load(const std::string& database, const std::vector<std::string>& imports,
                 const IncrementalLoad& incremental) {
    std::ostringstream notes;
    LoadImportFiles(database, imports, notes, 16, incremental);
    return notes.str();
}

class ScanState : public testing::Test {
  protected:
    void SetUp() override {
        database_ = TempPath("db");
        std::remove(database_.c_str());
        import_ = WriteFile("import", kImport);
    }
    std::string database_;
    std::string import_;
};

TEST_F(ScanState, HashesAreStoredByMemberAndOrdinalAndHandedBack) {
    const SourceHashes hashes =
        SourceHashes::Read(WriteFile("hashes", "JOBS\tA\t1\th1\nJOBS\tA\t2\th2\n"));
    Load(database_, {import_}, {{}, &hashes});
    EXPECT_EQ(State(database_), "JOBS\tA\t1\tjob\tJOBS\tA\th1\n"
                                "JOBS\tA\t2\tprocedure\tPROD.PROCLIB\tP\th2\n"
                                "JOBS\tB\t1\tjob\tJOBS\tB\t-\n"
                                "JOBS\tB\t0\tmissing\t\tX\t-\n");
}

TEST_F(ScanState, ALoadWithoutHashesForgetsTheOldOnes) {
    const SourceHashes hashes = SourceHashes::Read(WriteFile("hashes", "JOBS\tA\t1\th1\n"));
    Load(database_, {import_}, {{}, &hashes});
    Load(database_, {import_}, {});
    EXPECT_EQ(State(database_).find("h1"), std::string::npos);
}

TEST_F(ScanState, AForgottenMemberTakesWhatOnlyItUsedAlong) {
    Load(database_, {import_}, {});
    Load(database_, {}, {ReadMemberNames(WriteFile("forget", "JOBS\tA\nJOBS\tNONE\n")), nullptr});
    EXPECT_EQ(State(database_), "JOBS\tB\t1\tjob\tJOBS\tB\t-\nJOBS\tB\t0\tmissing\t\tX\t-\n");
    const auto db = OpenForQuestions(database_);
    EXPECT_EQ(db->QueryInt("SELECT count(*) FROM member"), 1); // B; A and P are gone
    EXPECT_EQ(db->QueryInt("SELECT count(*) FROM container"), 1);
    EXPECT_EQ(db->QueryInt("SELECT count(*) FROM program"), 0);
    EXPECT_EQ(db->QueryInt("SELECT count(*) FROM job"), 1);
}

TEST_F(ScanState, ImportSourcesInOrder) {
    std::ostringstream out;
    WriteImportSources({import_}, out);
    EXPECT_EQ(out.str(), "JOBS\tA\t1\tjob\tJOBS\tA\n"
                         "JOBS\tA\t2\tprocedure\tPROD.PROCLIB\tP\n"
                         "JOBS\tB\t1\tjob\tJOBS\tB\n");
}

TEST_F(ScanState, OddListsAreRefused) {
    EXPECT_THROW(SourceHashes::Read(WriteFile("bad", "JOBS\tA\th1\n")), std::runtime_error);
    EXPECT_THROW(ReadMemberNames(WriteFile("bad", "JOBS\n")), std::runtime_error);
}

} // namespace
} // namespace xref
