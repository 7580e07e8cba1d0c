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

} // namespace
