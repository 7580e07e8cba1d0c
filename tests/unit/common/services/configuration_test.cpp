// Configuration files: the INI-like format (headers, pairs, comments, the unnamed first
// section, merged duplicate sections, first key wins, long and CRLF lines), every lookup
// variant with its defaults, the debug listing, the messages for missing and empty files,
// and that freeing returns every block.
#include "services/configuration.h"

#include "common/services/message_log_capture.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using kvr::test::CapturedLog;
using kvr::test::MessageLine;
using kvr::test::Outstanding;
using kvr::test::ScopedEnv;
using kvr::test::TemporaryPath;

// A temporary file with the given bytes, named by a DD variable while it lives.
struct CfgFile {
    std::string path = TemporaryPath("cfg");
    ScopedEnv env;
    CfgFile(const char* ddName, const std::string& content) : env(ddName, path) {
        std::ofstream(path, std::ios::binary) << content;
    }
    ~CfgFile() { std::filesystem::remove(path); }
};

std::string Common(const char* section, const char* key) {
    char value[512];
    std::memset(value, 'Z', sizeof value);
    KVRU921_GetCommonCfgValue(section, key, value);
    return value;
}

std::string Analyzers(const char* section, const char* key) {
    char value[512];
    KVRU921_GetAnalyzersCfgValue(section, key, value);
    return value;
}

// Reads content as the common configuration; returns what debug level 1 printed.
std::string ReadCommon(const std::string& content, int32_t debug = 0) {
    CfgFile file("DD:KVRCFG", content);
    KVRU921_InitializeCommonCfgList(0);
    testing::internal::CaptureStdout();
    KVRU921_ReadCommonCfg(debug);
    return testing::internal::GetCapturedStdout();
}

const char* const kSample = "TOP = 1\n"
                            "[ S ]\n"
                            "  KEY1  =  some  value  \n"
                            "KEY=VALUE\n"
                            "A=B=C\n"
                            "   #X=1\n"
                            "#Y=2\n"
                            "[T]\n"
                            "K=first\n"
                            "K=second\n"
                            "no equals here\n"
                            "\n"
                            "[S]\n"
                            "MORE=yes\n"
                            "[broken\n"
                            "AFTER=broken\n";

TEST(Configuration, SectionsPairsAndComments) {
    const int32_t before = Outstanding();
    const std::string listing = ReadCommon(kSample, 1);
    // The second [S] adds to the first; a header without "]" keeps the section current.
    // clang-format off
    const char* const lookups[][3] = {
        {"", "TOP", "1"}, {"S", "KEY1", "some  value"}, {"S", "KEY", "VALUE"}, {"S", "A", "B=C"},
        {"S", "X", ""}, {"S", "#X", ""}, {"S", "Y", ""}, {"T", "K", "first"}, {"S", "MORE", "yes"},
        {"S", "AFTER", "broken"}, {"T", "MORE", ""}, {"", "KEY", ""}, {"s", "KEY", ""},
        {"S", "key", ""}, {"U", "KEY", ""}, {"broken", "AFTER", ""}};
    // clang-format on
    for (const auto& l : lookups)
        EXPECT_EQ(l[2], Common(l[0], l[1])) << l[0] << "/" << l[1];
    // The analyzers' list is a different one and was never read.
    EXPECT_EQ("", Analyzers("S", "KEY"));

    EXPECT_EQ("========================================\n"
              "Contents of DD:KVRCFG\n"
              "========================================\n"
              "TOP = 1\n"
              "[S]\n"
              "KEY1 = some  value\n"
              "KEY = VALUE\n"
              "A = B=C\n"
              "[T]\n"
              "K = first\n"
              "K = second\n"
              "Duplicate section [S] in config file [DD:KVRCFG]\n"
              "MORE = yes\n"
              "Missing ']' at line 15 of config file [DD:KVRCFG]\n"
              "AFTER = broken\n",
              listing);
    EXPECT_EQ(3, CountItemsInIntList(kvr::CommonCfgList(), 0)); // "", S and T
    EXPECT_EQ("", ReadCommon(kSample, 0));                      // nothing is printed without debug

    KVRU921_FreeCommonCfgList(0);
    EXPECT_EQ(before, Outstanding());
    EXPECT_EQ("", Common("S", "KEY"));
    KVRU921_FreeCommonCfgList(0);
}

TEST(Configuration, LongAndCrlfLines) {
    // A line is read in pieces of 511 characters, each piece taken as a line of its own.
    const std::string x506(506, 'x'), z509(509, 'z');
    const std::string content = "[S]\r\nK = V\r\nC=A\rB\r\nLONG=" + x506 + "B=2\r\nLONG=" + x506 +
                                "[X\nZ=" + z509 + "\r\nEND=1\n";
    const std::string listing = ReadCommon(content, 1);
    EXPECT_EQ("V", Common("S", "K"));
    EXPECT_EQ("A\rB", Common("S", "C"));
    EXPECT_EQ(x506, Common("S", "LONG"));
    EXPECT_EQ("2", Common("S", "B"));
    EXPECT_EQ(z509, Common("S", "Z"));
    EXPECT_EQ("1", Common("S", "END"));
    EXPECT_NE(std::string::npos,
              listing.find("Missing ']' at line 7 of config file [DD:KVRCFG]\n"));
    EXPECT_EQ(std::string::npos, listing.find("\r\n"));
    KVRU921_FreeCommonCfgList(0);
}

TEST(Configuration, BoundedLookupCutsAndReportsTheFullLength) {
    ReadCommon("[S]\nK=ABCDEF\nE=\n");
    char out[16];
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(6, KVRU921_GetCommonCfgValueN("S", "K", out, 3));
    EXPECT_EQ(std::string("ABC\0Z", 5), std::string(out, 5));
    EXPECT_EQ(6, KVRU921_GetCommonCfgValueN("S", "K", out, 6));
    EXPECT_STREQ("ABCDEF", out);
    EXPECT_EQ(6, KVRU921_GetCommonCfgValueN("S", "K", nullptr, 0));
    EXPECT_EQ(0, KVRU921_GetCommonCfgValueN("S", "E", out, 10));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, KVRU921_GetCommonCfgValueN("NONE", "K", out, 10));
    KVRU921_FreeCommonCfgList(0);
}

TEST(Configuration, NumbersAndBooleansFallBackToTheirDefaults) {
    ReadCommon("[N]\nZERO=0\nNEG=-5\nABC=ABC\nSIXTEEN=1234567890123456\n"
               "FIFTEEN=000000000000042\nTWELVE = 12\nTRAIL=7X\nEMPTY=\nHUGE=999999999999999\n"
               "[B]\nYES=YES\nY=y\nT=T\nt=true\nONE=1\nNO=NO\nZERO=0\nF=false\nEMPTY=\n");
    // clang-format off
    const std::pair<const char*, int32_t> numbers[] = {
        {"ZERO", 9}, {"NEG", 9}, {"ABC", 9}, {"SIXTEEN", 9}, {"FIFTEEN", 42}, {"TWELVE", 12},
        {"TRAIL", 7}, {"EMPTY", 9}, {"MISSING", 9}, {"HUGE", INT32_MAX}};
    // clang-format on
    for (const auto& [key, expected] : numbers)
        EXPECT_EQ(expected, KVRU921_getCommonCfgNumericValue("N", key, 9)) << key;
    for (const char* key : {"YES", "Y", "T", "t", "ONE"})
        EXPECT_EQ(TRUE, KVRU921_getCommonCfgBooleanValue("B", key, FALSE)) << key;
    for (const char* key : {"NO", "ZERO", "F"})
        EXPECT_EQ(FALSE, KVRU921_getCommonCfgBooleanValue("B", key, TRUE)) << key;
    for (BOOLEAN fallback : {FALSE, TRUE}) {
        EXPECT_EQ(fallback, KVRU921_getCommonCfgBooleanValue("B", "EMPTY", fallback));
        EXPECT_EQ(fallback, KVRU921_getCommonCfgBooleanValue("NONE", "YES", fallback));
    }
    KVRU921_FreeCommonCfgList(0);
}

TEST(Configuration, TheTwoFilesAreSeparateLists) {
    const int32_t before = Outstanding();
    CfgFile common("DD:KVRCFG", "[S]\nK=common\n");
    CfgFile analyzers("DD:KVRANLZ", "K=top\n[S]\nK=analyzers\n");
    KVRU921_InitializeCommonCfgList(0);
    KVRU921_InitializeAnalyzersCfgList(0);
    KVRU921_ReadCommonCfg(0);
    KVRU921_ReadAnalyzersCfg(0);
    EXPECT_EQ("common", Common("S", "K"));
    EXPECT_EQ("analyzers", Analyzers("S", "K"));
    EXPECT_EQ("top", Analyzers("", "K"));
    EXPECT_EQ("", Common("", "K"));
    char out[8];
    EXPECT_EQ(9, KVRU921_GetAnalyzersCfgValueN("S", "K", out, 4));
    EXPECT_STREQ("anal", out);
    // Initializing again starts an empty list without losing the old one's blocks.
    KVRU921_InitializeCommonCfgList(0);
    EXPECT_EQ("", Common("S", "K"));
    KVRU921_FreeCommonCfgList(0);
    KVRU921_FreeAnalyzersCfgList(0);
    EXPECT_EQ(before, Outstanding());
}

// These write messages, so they need the message service.
TEST(ConfigurationMessages, MissingAndEmptyFiles) {
    const int32_t before = Outstanding();
    ASSERT_NE("", MessageLine(1680, "DD:KVRCFG"));
    ASSERT_NE("", MessageLine(3112, "DD:KVRCFG"));
    {
        CapturedLog log;
        ScopedEnv unset("DD:KVRCFG", std::nullopt);
        ScopedEnv unsetAlternate("DD_KVRCFG", std::nullopt);
        KVRU921_InitializeCommonCfgList(0);
        KVRU921_ReadCommonCfg(0);
        ScopedEnv nowhere("DD:KVRANLZ", TemporaryPath("absent"));
        KVRU921_InitializeAnalyzersCfgList(0);
        KVRU921_ReadAnalyzersCfg(0);
        EXPECT_EQ((std::vector<std::string>{MessageLine(1680, "DD:KVRCFG"),
                                            MessageLine(1680, "DD:KVRANLZ")}),
                  log.Lines());
        EXPECT_EQ(0, CountItemsInIntList(kvr::CommonCfgList(), 0));
        EXPECT_EQ(0, CountItemsInIntList(kvr::AnalyzersCfgList(), 0));
    }
    {
        CapturedLog log;
        ReadCommon("");
        EXPECT_EQ(std::vector<std::string>{MessageLine(3112, "DD:KVRCFG")}, log.Lines());
        ASSERT_NE(nullptr, kvr::CommonCfgList());
        EXPECT_EQ(0, CountItemsInIntList(kvr::CommonCfgList(), 0));
        KVRU921_FreeCommonCfgList(0);
    }
    {
        // An empty file leaves what an earlier read put into the list.
        CapturedLog log;
        ReadCommon("[S]\nK=V\n");
        CfgFile empty("DD:KVRCFG", "");
        KVRU921_ReadCommonCfg(0);
        EXPECT_EQ(std::vector<std::string>{MessageLine(3112, "DD:KVRCFG")}, log.Lines());
        EXPECT_EQ("V", Common("S", "K"));
    }
    KVRU921_FreeCommonCfgList(0);
    KVRU921_FreeAnalyzersCfgList(0);
    EXPECT_EQ(before, Outstanding());
}

} // namespace
