// The limits of the open-member stack and of the referenced-source table. Lines as read,
// logical end and include directives: text_cards_continuations, text_include_directive.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;

TEST_F(SourceTest, SixteenOpenMembersAtMost) {
    std::string lib = Container("LIB", {{"M", "X\n"}});
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(OpenMain(lib, "M"), TRUE) << i;
    EXPECT_EQ(OpenMain(lib, "M"), FALSE);
    EXPECT_EQ(kvr::OpenMemberCount(), 16);
    // The open members are reported, then 1306.
    std::vector<int> expected{1100};
    expected.insert(expected.end(), 16, 1101);
    expected.insert(expected.end(), {1102, 1306});
    EXPECT_EQ(LoggedNumbers(), expected);
    EXPECT_EQ(LogLines().at(1), "KVR1101I  " + lib + "/M");
    EXPECT_EQ(KVRU005(), 4);
    CloseAnyRemainingFiles(0, 0);
    EXPECT_EQ(kvr::OpenMemberCount(), 0);
}

TEST_F(SourceTest, TwoHundredReferencedSourcesAtMost) {
    std::vector<std::pair<std::string, std::string>> members;
    for (int i = 0; i <= 200; ++i)
        members.emplace_back("M" + std::to_string(i), "X\n");
    std::string lib = Container("LIB", members);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(OpenMain(lib, "M" + std::to_string(i)), TRUE) << i;
        CloseAnyRemainingFiles(0, 0);
    }
    EXPECT_EQ(OpenMain(lib, "M200"), FALSE);
    EXPECT_EQ(LoggedNumbers(), std::vector<int>{1307});
    EXPECT_EQ(kvr::OpenMemberCount(), 0);
    EXPECT_EQ(OpenMain(lib, "M7"), TRUE); // a known source still opens
    EXPECT_EQ(kvr::OpenMemberSource(0), 7);
}

// A member opened on top of one still being read (a procedure while its job is expanded) is
// read to its own end; the member below is neither read on nor closed.
TEST_F(SourceTest, ReadingAboveKeptMembersStopsAtTheirTop) {
    std::string lib = Container("LIB", {{"JOB", "J1\nJ2\n"}, {"PROC", "P1\nP2\n"}});
    ASSERT_EQ(OpenMain(lib, "JOB"), TRUE);
    SourceLine line{};
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "J1");
    const int32_t kept = KVRU940_OpenMemberCount();
    ASSERT_EQ(kept, 1);
    ASSERT_EQ(OpenMain(lib, "PROC"), TRUE);
    std::vector<std::string> read;
    while (ReadNextLineAbove(&line, kept, 0, 0))
        read.emplace_back(line.SourceText);
    EXPECT_EQ(read, (std::vector<std::string>{"P1", "P2"}));
    EXPECT_EQ(KVRU940_OpenMemberCount(), 1);
    EXPECT_EQ(ReadNextLineAbove(&line, kept, 0, 0), FALSE); // nothing above: nothing read
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "J2");
}

TEST_F(SourceTest, JobSearchOrderStartsEmptyForTheNextJobAndHasAKey) {
    const std::string none = KVRU940_JobSearchOrderKey();
    EXPECT_EQ(none, "");
    ASSERT_EQ(AddToJobList("MY.JOBLIB", "", 0, 1, 0), TRUE);
    ASSERT_EQ(kvr::JobList().size(), 1u);
    const std::string one = KVRU940_JobSearchOrderKey();
    EXPECT_NE(one.find("MY.JOBLIB"), std::string::npos);
    KVRU940_ResetJobSearchOrder();
    EXPECT_TRUE(kvr::JobList().empty());
    EXPECT_EQ(KVRU940_JobSearchOrderKey(), none);
    // The same libraries in another job give the same key; another site another one.
    ASSERT_EQ(AddToJobList("MY.JOBLIB", "", 0, 7, 0), TRUE);
    EXPECT_EQ(KVRU940_JobSearchOrderKey(), one);
    KVRU940_ResetJobSearchOrder();
    ASSERT_EQ(AddToJobList("MY.JOBLIB", "SITE2", 0, 7, 0), TRUE);
    EXPECT_NE(KVRU940_JobSearchOrderKey(), one);
}

} // namespace
