// The repository interface: only the type "NTFS" is served; lines are read in the
// workstation's text mode (CR before LF dropped, long lines split, NUL bytes kept); members
// are found case-insensitively; the Dravix-mode check accepts a DD name or container/member.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/scoped_env.h"
#include "kvrbase.h"

namespace {

namespace fs = std::filesystem;
using kvr::test::ScopedEnv;
using kvr::test::TempDir;
using kvr::test::WriteFile;

class IoApiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KVRIOAPI_Initialize(0);
        lib_ = tmp_.File("Procs");
        fs::create_directories(lib_);
    }
    void TearDown() override { KVRIOAPI_Terminate(0); }

    // Every record of a file read with buffers of `size` bytes, then the final result.
    std::vector<std::string> Records(const std::string& content, size_t size, int32_t& last) {
        const std::string path = tmp_.File("records.txt");
        WriteFile(path, content);
        FILE* file = nullptr;
        EXPECT_EQ(0, KVRIOAPI_Open("NTFS", path.c_str(), "r", &file, nullptr, nullptr, nullptr));
        std::vector<std::string> records;
        std::vector<char> buffer(size);
        while ((last = KVRIOAPI_GetRecord("NTFS", buffer.data(), size, file, nullptr, nullptr,
                                          nullptr)) == 0) {
            records.push_back(buffer.data());
            std::fill(buffer.begin(), buffer.end(), 'x'); // the terminator must be written
        }
        EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));
        return records;
    }

    TempDir tmp_;
    std::string lib_;
};

using Lines = std::vector<std::string>;

TEST_F(IoApiTest, EveryOtherRepositoryTypeAnswersSixteen) {
    const std::string member = lib_ + "/MEMB";
    WriteFile(member, "A\n");
    FILE* file = std::fopen(member.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char buffer[16];
    int16_t items = -1;
    for (const char* type : {"ntfs", "Ntfs", "NTFS ", "", "PDS"}) {
        SCOPED_TRACE(type);
        FILE* opened = reinterpret_cast<FILE*>(&items); // must be reset to null
        EXPECT_EQ(16,
                  KVRIOAPI_CheckIfMemberExists(type, member.c_str(), nullptr, nullptr, nullptr));
        EXPECT_EQ(16, KVRIOAPI_Open(type, member.c_str(), "r", &opened, nullptr, nullptr, nullptr));
        EXPECT_EQ(opened, nullptr);
        EXPECT_EQ(
            16, KVRIOAPI_v2_Open(type, member.c_str(), "r", &opened, nullptr, nullptr, nullptr, 0));
        EXPECT_EQ(16,
                  KVRIOAPI_GetRecord(type, buffer, sizeof buffer, file, nullptr, nullptr, nullptr));
        EXPECT_EQ(16, KVRIOAPI_v2_GetRecord(type, buffer, sizeof buffer, file, nullptr, nullptr,
                                            nullptr, 0));
        EXPECT_EQ(16,
                  KVRIOAPI_ReadFile(type, buffer, 1, 1, file, nullptr, nullptr, nullptr, &items));
        EXPECT_EQ(items, 0);
        EXPECT_EQ(16, KVRIOAPI_Close(type, file, nullptr, nullptr, nullptr));
        EXPECT_EQ(16, KVRIOAPI_v2_Close(type, file, nullptr, nullptr, nullptr, 0));
        EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists(type, nullptr, lib_.c_str(), "MEMB", 0));
    }
    EXPECT_EQ(16, KVRIOAPI_CheckIfMemberExists(nullptr, member.c_str(), nullptr, nullptr, nullptr));
    // The stream was left alone by the refusals: "NTFS" still reads and closes it.
    EXPECT_EQ(0,
              KVRIOAPI_GetRecord("NTFS", buffer, sizeof buffer, file, nullptr, nullptr, nullptr));
    EXPECT_STREQ(buffer, "A\n");
    EXPECT_EQ(0, KVRIOAPI_v2_Close("NTFS", file, nullptr, nullptr, nullptr, 0));
}

TEST_F(IoApiTest, RecordsEndAtLineFeedsAndTheLastLineNeedsNone) {
    int32_t last = -1;
    EXPECT_EQ(Records("//JOB1 JOB\n//S1 EXEC PGM=X\nlast", 82, last),
              (Lines{"//JOB1 JOB\n", "//S1 EXEC PGM=X\n", "last"}));
    EXPECT_EQ(last, 1);
    EXPECT_EQ(Records("", 82, last), Lines{});
    EXPECT_EQ(last, 1);
    EXPECT_EQ(Records("\n\nA\n", 82, last), (Lines{"\n", "\n", "A\n"}));
}

TEST_F(IoApiTest, CarriageReturnBeforeLineFeedIsDropped) {
    int32_t last = -1;
    EXPECT_EQ(Records("AB\r\nCD\r\n", 82, last), (Lines{"AB\n", "CD\n"}));
    EXPECT_EQ(last, 1);
    // A carriage return not followed by a line feed is data.
    EXPECT_EQ(Records("A\rB\r\nC\r", 82, last), (Lines{"A\rB\n", "C\r"}));
    // The CR is the last character that fits: the LF takes its place.
    EXPECT_EQ(Records("AB\r\nX\r\n", 4, last), (Lines{"AB\n", "X\n"}));
    // The CR falls just beyond the limit: it starts the next record, as the LF would.
    EXPECT_EQ(Records("ABC\r\nD\r\n", 4, last), (Lines{"ABC", "\n", "D\n"}));
    EXPECT_EQ(Records("ABC\nD\n", 4, last), (Lines{"ABC", "\n", "D\n"}));
}

TEST_F(IoApiTest, LongLinesAreSplitAndNulBytesKept) {
    int32_t last = -1;
    EXPECT_EQ(Records("ABCDEFG\nH\n", 4, last), (Lines{"ABC", "DEF", "G\n", "H\n"}));

    const std::string path = tmp_.File("nul.txt");
    WriteFile(path, std::string("A\0B\nC", 5));
    FILE* file = nullptr;
    ASSERT_EQ(0, KVRIOAPI_Open("NTFS", path.c_str(), "r", &file, nullptr, nullptr, nullptr));
    char buffer[10];
    std::memset(buffer, 0, sizeof buffer);
    ASSERT_EQ(0,
              KVRIOAPI_GetRecord("NTFS", buffer, sizeof buffer, file, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::string(buffer, 5), std::string("A\0B\n\0", 5));
    EXPECT_EQ(16, KVRIOAPI_GetRecord("NTFS", buffer, 1, file, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));
}

TEST_F(IoApiTest, ReadFileCountsWholeItems) {
    const std::string path = tmp_.File("block.bin");
    WriteFile(path, "0123456789");
    FILE* file = nullptr;
    ASSERT_EQ(0, KVRIOAPI_v2_Open("NTFS", path.c_str(), "rb", &file, nullptr, nullptr, nullptr, 0));
    char buffer[16] = {};
    int16_t items = -1;
    EXPECT_EQ(0, KVRIOAPI_ReadFile("NTFS", buffer, 4, 2, file, nullptr, nullptr, nullptr, &items));
    EXPECT_EQ(items, 2);
    EXPECT_EQ(std::string(buffer), "01234567");
    EXPECT_EQ(1, KVRIOAPI_ReadFile("NTFS", buffer, 4, 2, file, nullptr, nullptr, nullptr,
                                   &items)); // two bytes left: no whole item
    EXPECT_EQ(items, 0);
    EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));
}

TEST_F(IoApiTest, MembersAreFoundWhateverTheirCase) {
    WriteFile(lib_ + "/memb", "member text\n");
    fs::create_directories(lib_ + "/folder");
    const std::string upper = tmp_.File("PROCS/MEMB");
    EXPECT_EQ(0, KVRIOAPI_CheckIfMemberExists("NTFS", upper.c_str(), nullptr, nullptr, nullptr));
    EXPECT_EQ(16, KVRIOAPI_CheckIfMemberExists("NTFS", (lib_ + "/NONE").c_str(), nullptr, nullptr,
                                               nullptr));
    EXPECT_EQ(16, KVRIOAPI_CheckIfMemberExists("NTFS", (lib_ + "/folder").c_str(), nullptr, nullptr,
                                               nullptr));
    FILE* file = nullptr;
    ASSERT_EQ(0, KVRIOAPI_Open("NTFS", upper.c_str(), "r", &file, nullptr, nullptr, nullptr));
    char buffer[82];
    EXPECT_EQ(0,
              KVRIOAPI_GetRecord("NTFS", buffer, sizeof buffer, file, nullptr, nullptr, nullptr));
    EXPECT_STREQ(buffer, "member text\n");
    EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));
    EXPECT_EQ(
        16, KVRIOAPI_Open("NTFS", (lib_ + "/NONE").c_str(), "r", &file, nullptr, nullptr, nullptr));
    EXPECT_EQ(file, nullptr);

    // A file created through the interface lands in the case-matched folder; backslashes
    // separate folders there too.
    std::string created = tmp_.File("procs/NEW");
    std::replace(created.begin(), created.end(), '/', '\\');
    ASSERT_EQ(0, KVRIOAPI_Open("NTFS", created.c_str(), "w", &file, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));
    EXPECT_TRUE(fs::exists(lib_ + "/NEW"));
}

TEST_F(IoApiTest, InitializeForgetsTheListingsOfEarlierRuns) {
    EXPECT_EQ(16, KVRIOAPI_CheckIfMemberExists("NTFS", (lib_ + "/LATE").c_str(), nullptr, nullptr,
                                               nullptr));
    // Added behind the cache's back (the folder's time stamp kept): unseen in this run.
    const fs::file_time_type stamp = fs::last_write_time(lib_);
    WriteFile(lib_ + "/late", "x\n");
    fs::last_write_time(lib_, stamp);
    EXPECT_EQ(16, KVRIOAPI_CheckIfMemberExists("NTFS", (lib_ + "/LATE").c_str(), nullptr, nullptr,
                                               nullptr));
    KVRIOAPI_Initialize(0);
    EXPECT_EQ(0, KVRIOAPI_CheckIfMemberExists("NTFS", (lib_ + "/LATE").c_str(), nullptr, nullptr,
                                              nullptr));
}

TEST_F(IoApiTest, DravixCheckTakesADDNameOrContainerAndMember) {
    ScopedEnv dd("DD:PROCDD");
    ScopedEnv ddAlternate("DD_PROCDD");
    ddAlternate.Unset();
    WriteFile(lib_ + "/MEMB", "x\n");
    dd.Set(lib_ + "/MEMB");
    EXPECT_EQ(0, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "PROCDD", nullptr, "", 0));
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "PROCDD", lib_.c_str(), "MEMB", 0));
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "PROCDD", lib_.c_str(), "", 0));
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "PROCDD", "", "MEMB", 0));
    dd.Set("DUMMY");
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "PROCDD", nullptr, nullptr, 0));
    dd.Unset();
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "PROCDD", nullptr, nullptr, 0));

    EXPECT_EQ(0, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "", lib_.c_str(), "memb", 0));
    EXPECT_EQ(
        0, KVRIOAPI_v2_CheckIfMemberExists("NTFS", nullptr, nullptr, (lib_ + "/MEMB").c_str(), 0));
    std::string backslashed = lib_;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    EXPECT_EQ(0, KVRIOAPI_v2_CheckIfMemberExists("NTFS", nullptr, backslashed.c_str(), "MEMB", 0));
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", nullptr, lib_.c_str(), "NONE", 0));
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", nullptr, lib_.c_str(), "NONE", 1));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("NONE"), std::string::npos);
}

} // namespace
