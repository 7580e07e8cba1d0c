// The repository interface: lines are read in the workstation's text mode (CR before LF
// dropped, long lines split, NUL bytes kept); the Dravix-mode check accepts a DD name or
// container/member. Case-insensitive names, folders, FIFOs and devices:
// member_case_insensitive and the hostile cases.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
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
using Lines = std::vector<std::string>;

class IoApiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KVRIOAPI_Initialize(0);
        lib_ = tmp_.File("Procs");
        fs::create_directories(lib_);
    }
    void TearDown() override { KVRIOAPI_Terminate(0); }

    int32_t Exists(const std::string& path) {
        return KVRIOAPI_CheckIfMemberExists("NTFS", path.c_str(), nullptr, nullptr, nullptr);
    }
    FILE* Open(const std::string& path, const char* mode) {
        FILE* file = nullptr;
        EXPECT_EQ(0, KVRIOAPI_Open("NTFS", path.c_str(), mode, &file, nullptr, nullptr, nullptr));
        return file;
    }

    TempDir tmp_;
    std::string lib_;
};

// A CR without LF is data; a CR that is the last character to fit gives way to the LF; one
// just beyond the limit starts the next record, as the LF would.
TEST_F(IoApiTest, RecordsOfTextFiles) {
    struct Case {
        std::string content;
        size_t size;
        Lines records;
    };
    const Case cases[] = {
        {"//JOB1 JOB\n//S1 EXEC PGM=X\nlast", 82, {"//JOB1 JOB\n", "//S1 EXEC PGM=X\n", "last"}},
        {"", 82, {}},
        {"\n\nA\n", 82, {"\n", "\n", "A\n"}},
        {"AB\r\nCD\r\n", 82, {"AB\n", "CD\n"}},
        {"A\rB\r\nC\r", 82, {"A\rB\n", "C\r"}},
        {"AB\r\nX\r\n", 4, {"AB\n", "X\n"}},
        {"ABC\r\nD\r\n", 4, {"ABC", "\n", "D\n"}},
        {"ABC\nD\n", 4, {"ABC", "\n", "D\n"}},
        {"ABCDEFG\nH\n", 4, {"ABC", "DEF", "G\n", "H\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string path = tmp_.File("records.txt");
        WriteFile(path, c.content);
        FILE* file = Open(path, "r");
        Lines records;
        std::vector<char> buffer(c.size);
        int32_t last;
        while ((last = KVRIOAPI_GetRecord("NTFS", buffer.data(), c.size, file, nullptr, nullptr,
                                          nullptr)) == 0) {
            records.push_back(buffer.data());
            std::fill(buffer.begin(), buffer.end(), 'x'); // the terminator must be written
        }
        EXPECT_EQ(last, 1);
        EXPECT_EQ(records, c.records);
        EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));
    }
}

TEST_F(IoApiTest, NulBytesAreKeptAndWholeItemsCounted) {
    const std::string path = tmp_.File("nul.txt");
    WriteFile(path, std::string("A\0B\nC", 5));
    FILE* file = Open(path, "r");
    char buffer[10] = {};
    ASSERT_EQ(0, KVRIOAPI_GetRecord("NTFS", buffer, 10, file, nullptr, nullptr, nullptr));
    EXPECT_EQ(std::string(buffer, 5), std::string("A\0B\n\0", 5));
    EXPECT_EQ(16, KVRIOAPI_GetRecord("NTFS", buffer, 1, file, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));

    WriteFile(path, "0123456789");
    ASSERT_EQ(0, KVRIOAPI_v2_Open("NTFS", path.c_str(), "rb", &file, nullptr, nullptr, nullptr, 0));
    char block[16] = {};
    int16_t items = -1;
    EXPECT_EQ(0, KVRIOAPI_ReadFile("NTFS", block, 4, 2, file, nullptr, nullptr, nullptr, &items));
    EXPECT_EQ(items, 2);
    EXPECT_STREQ(block, "01234567");
    // Two bytes left: no whole item.
    EXPECT_EQ(1, KVRIOAPI_ReadFile("NTFS", block, 4, 2, file, nullptr, nullptr, nullptr, &items));
    EXPECT_EQ(items, 0);
    EXPECT_EQ(0, KVRIOAPI_Close("NTFS", file, nullptr, nullptr, nullptr));
}

TEST_F(IoApiTest, DravixCheckTakesADDNameOrContainerAndMember) {
    ScopedEnv dd("DD:PROCDD", lib_ + "/MEMB");
    ScopedEnv ddAlternate("DD_PROCDD", std::nullopt);
    WriteFile(lib_ + "/MEMB", "x\n");
    std::string backslashed = lib_;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    const std::string full = lib_ + "/MEMB";
    struct Case {
        const char* ddName;
        const char* container;
        const char* member;
        int32_t expected;
    };
    const Case cases[] = {
        {"PROCDD", nullptr, "", 0},
        {"PROCDD", lib_.c_str(), "MEMB", 16},
        {"PROCDD", lib_.c_str(), "", 16},
        {"PROCDD", "", "MEMB", 16},
        {"", lib_.c_str(), "memb", 0},
        {nullptr, nullptr, full.c_str(), 0},
        {nullptr, backslashed.c_str(), "MEMB", 0},
        {nullptr, lib_.c_str(), "NONE", 16},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KVRIOAPI_v2_CheckIfMemberExists("NTFS", c.ddName, c.container, c.member, 0),
                  c.expected)
            << (c.ddName ? c.ddName : "-") << " " << (c.container ? c.container : "-") << " "
            << c.member;
    for (const char* value : {"DUMMY", ""}) { // DUMMY, then unset
        value[0] ? dd.Set(value) : dd.Unset();
        EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", "PROCDD", nullptr, nullptr, 0));
    }
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(16, KVRIOAPI_v2_CheckIfMemberExists("NTFS", nullptr, lib_.c_str(), "NONE", 1));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("NONE"), std::string::npos);
}

} // namespace
