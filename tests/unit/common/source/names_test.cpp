// Names: quoted workstation paths, acceptable container and member names, file specs with
// their length limits, and generation data group references, including a name too long for
// the GDG test, which is reported without ending the run. Tokens of search-list lines:
// text_jcllib_proc, text_blank_container.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/services/message_fixture.h"
#include "kvrbase.h"

namespace {

using kvr::test::kTestEnglishCatalog;
using kvr::test::MessageTest;

class NamesTest : public MessageTest {
  protected:
    void SetUp() override {
        MessageTest::SetUp();
        WriteCatalog("kvrenus", std::string(kTestEnglishCatalog) +
                                    "1301\tKVR1301E  member too long\n"
                                    "1417\tKVR1417S  dsn %1\n"
                                    "1703\tKVR1703W  long %1\n"
                                    "3019\tVAD3019E  container too long\n"
                                    "3020\tVAD3020E  member too long\n"
                                    "3119\tVAD3119S  dsn %1\n");
        KVROpenLogFile(FALSE, 0);
    }
    void TearDown() override {
        KVRCloseLogFile();
        MessageTest::TearDown();
    }
};

TEST_F(NamesTest, NormalizeNameDropsQuotesAndBlanks) {
    struct Case {
        std::string name;
        int32_t max;
        int16_t leading, trailing;
        std::string expected;
        int16_t result; // 1: a blank is left in the name
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\JCL \"", 230, 0, 1, "C:\\Program Files\\JCL", 1},
        {"C:\\JCL", 230, 0, 1, "C:\\JCL", 0},
        {"\"C:\\JCL \"", 230, 0, 0, "C:\\JCL ", 1}, // the kept trailing blank counts
        {"\"  C:\\JCL  \"", 230, 1, 1, "C:\\JCL", 0},
        // Unquoted: leading blanks may go, trailing ones always stay; no blank test.
        {"  My Lib  ", 230, 1, 1, "My Lib  ", 0},
        {"\"open", 230, 0, 0, "open", 0},
        {"end\"", 230, 0, 0, "end\"", 0},
        {"\"", 230, 0, 0, "", 0},
        {std::string(300, 'A'), 230, 0, 0, std::string(300, 'A'), 0}, // the limit does not cut
        // At most 1024 characters are used, and a limit of 1024 is no reason to warn.
        {"\"" + std::string(1100, 'N') + "\"", 1024, 0, 0, std::string(1023, 'N'), 0},
    };
    for (const Case& c : cases) {
        char out[1025];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(NormalizeName(c.name.c_str(), out, c.max, c.leading, c.trailing, 0), c.result)
            << c.name;
        EXPECT_EQ(std::string(out), c.expected) << c.name;
    }
    char inPlace[1025] = "\"A B\"";
    EXPECT_EQ(NormalizeName(inPlace, inPlace, 230, 0, 0, 0), 1);
    EXPECT_STREQ(inPlace, "A B");
    EXPECT_EQ(LogText(), "");
    EXPECT_EQ(NormalizeName("SHORT", inPlace, 1025, 0, 0, 0), 0);
    EXPECT_EQ(LogText(), "KVR1703W  long SHORT\n");
    EXPECT_EQ(KVRU005(), 4);
    // No name: an empty result, and nothing to write into.
    EXPECT_EQ(NormalizeName(nullptr, inPlace, 10, 0, 0, 0), 0);
    EXPECT_STREQ(inPlace, "");
    EXPECT_EQ(NormalizeName("A", nullptr, 10, 0, 0, 0), 0);
    std::strcpy(inPlace, "X");
    CheckForSpaceInName(nullptr, inPlace);
    EXPECT_STREQ(inPlace, "");
    CheckForSpaceInName("A", nullptr);
}

// The quoting of a container name in import records is pinned by text_blank_container.
TEST_F(NamesTest, BlanksInNamesAreQuoted) {
    DisplayContainerFileName("C:\\My Procs", "MEM", 0);
    DisplayContainerFileName("\"C:\\My Procs\"", "A B", 0);
    EXPECT_EQ(LogText(), "KVR1000I\nKVR1201I  member MEM of \"C:\\My Procs\"\n"
                         "KVR1000I\nKVR1201I  member \"A B\" of \"C:\\My Procs\"\n");
}

TEST_F(NamesTest, FileSpecJoinsWithSlashWithinTheLimits) {
    char out[512];
    EXPECT_EQ(FileSpec("C:\\JCL", "MEMB", out, 0), 1);
    EXPECT_STREQ(out, "C:\\JCL/MEMB");
    EXPECT_EQ(FileSpec("\"C:\\My Procs \"", "MEMB", out, 0), 1);
    EXPECT_STREQ(out, "C:\\My Procs/MEMB");
    const std::string c254(254, 'C'), m254(254, 'M'), c255(255, 'C'), m255(255, 'M');
    EXPECT_EQ(FileSpec(c254.c_str(), m254.c_str(), out, 0), 1);
    EXPECT_EQ(std::string(out), c254 + "/" + m254);
    EXPECT_EQ(LogText(), "");

    EXPECT_EQ(FileSpec(c255.c_str(), "M", out, 0), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(FileSpec("C", m255.c_str(), out, 0), 0);
    EXPECT_EQ(FileSpec(c255.c_str(), "M", out, 2), 0);
    EXPECT_EQ(FileSpec("C", m255.c_str(), out, 2), 0);
    EXPECT_EQ(LogText(), "KVR1300E  an error\nKVR1301E  member too long\n"
                         "VAD3019E  container too long\nVAD3020E  member too long\n");
}

// "C://A" passes: the first separator starts no new part, so the second one follows the two
// characters "C:" rather than an empty part.
TEST_F(NamesTest, ContainerMemberAndGdgNamesAreJudged) {
    const std::string c255(255, 'A'), m254(254, 'M'), m255(255, 'M');
    const std::string longPart = "C:\\" + std::string(252, 'P') + "\\X";
    const std::string gdg512 = std::string(509, 'D') + "(0)";
    for (const char* good :
         {"C:\\JCL\\PROCS", "SYS1.PROCLIB", "/home/jcl/procs", "A", "~x(y),z", "C://A", "My Procs"})
        EXPECT_EQ(KVRU996(good), 1) << good;
    for (const char* bad : {"", ":A", "C:\\A\\\\B", "\\\\server", "A*B", "A;B", "A\tB", "\xC3\xA4",
                            c255.c_str(), longPart.c_str(), static_cast<const char*>(nullptr)})
        EXPECT_EQ(KVRU996(bad), 0) << (bad ? bad : "(null)");
    for (const char* good : {"MEMBER", "a.jcl", "~x", "A B", "-x", "$#@", "_1", m254.c_str()})
        EXPECT_TRUE(KVRU997(good)) << good;
    for (const char* bad : {"", " A", "A/B", "A\\B", "A:B", "A(1)", m255.c_str()})
        EXPECT_FALSE(KVRU997(bad)) << bad;
    for (const char* gdg : {"A.B(0)", "A.B(+1)", "A.B(-12)", "A.B()", "A.B(1)(X)", gdg512.c_str()})
        EXPECT_TRUE(IsGDG(gdg, 0)) << gdg;
    for (const char* other : {"A.B(MEMBER)", "A.B(1", "A.B", "A.B(1X)", "A.B(+1 )", "",
                              static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsGDG(other, 0)) << (other ? other : "(null)");
    EXPECT_EQ(LogText(), "");
    char dsn[] = "A.B.C(+1)", plain[] = "A.B.C";
    RootNameOfGDG(dsn);
    RootNameOfGDG(plain);
    EXPECT_STREQ(dsn, "A.B.C");
    EXPECT_STREQ(plain, "A.B.C");
}

// The names JCL may give a member or a data set; anything else (a path, a blank, a name too
// long) is never used to open a file.
TEST_F(NamesTest, MemberAndDataSetNamesAsJclWritesThem) {
    for (const char* good : {"A", "PAYPROC", "ABCDEFGH", "$#@1", "lower", "x9"})
        EXPECT_TRUE(IsMemberName(good)) << good;
    for (const char* bad : {"", "ABCDEFGHI", "1ABC", "../X", "A/B", "A.B", "A-B", "A B", "A\xC4",
                            "A(1)", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsMemberName(bad)) << (bad ? bad : "(null)");
    const std::string name44 = "ABCDEFGH.ABCDEFGH.ABCDEFGH.ABCDEFGH.ABCDEFGH";
    for (const char* good :
         {"A", "SYS1.PROCLIB", "PROD.PAY-X.DATA", "a.b.c", "#X.@Y.$Z9", name44.c_str()})
        EXPECT_TRUE(IsDataSetName(good)) << good;
    const std::string name45 = "ABCDEFGH.ABCDEFGH.ABCDEFGH.ABCDEFGH.ABCD.ABCD"; // 45
    for (const char* bad : {"", "/etc", "..", ".A", "A.", "A..B", "../outside", "A.1B", "-A.B",
                            "ABCDEFGHI.B", "A B.C", "A.B(MEM)", "&&TEMP", "C:\\X", name45.c_str(),
                            static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsDataSetName(bad)) << (bad ? bad : "(null)");
}

TEST_F(NamesTest, OverlongGDGNameIsReportedAndTheRunGoesOn) {
    const std::string tooLong = std::string(510, 'D') + "(0)"; // 513 characters
    EXPECT_FALSE(IsGDG(tooLong.c_str(), 0));
    EXPECT_EQ(KVRU005(), 16);
    EXPECT_FALSE(IsGDG(tooLong.c_str(), 2)); // Velkor mode
    EXPECT_TRUE(IsGDG("A.B(+1)", 0));        // later names are still judged
    const std::vector<std::string> lines = kvr::test::SplitLines(LogText());
    ASSERT_EQ(lines.size(), 2u);
    // The log line carries the name as far as the message buffer holds it.
    EXPECT_EQ(lines[0].rfind("KVR1417S  dsn " + std::string(400, 'D'), 0), 0u);
    EXPECT_EQ(lines[1].rfind("VAD3119S  dsn " + std::string(400, 'D'), 0), 0u);
}

} // namespace
