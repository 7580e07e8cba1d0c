// The copyright block in both numberings, read through the shipped catalogs, and the
// site name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/services/message_fixture.h"

namespace {

using kvr::test::MessageTest;
using kvr::test::ScopedEnv;
using kvr::test::SplitLines;

class CopyrightTest : public MessageTest {
  protected:
    void SetUp() override {
        MessageTest::SetUp();
        msgPath_.Set(KVR_CATALOG_DIR);
        KVROpenLogFile(FALSE, 0);
    }
};

TEST_F(CopyrightTest, StandardAndVelkorBlockOrder) {
    kvru900("KVR4000", "2026", "Jan  1 2026", "12:00:00");
    setMessageDll("pjwenus.dll");
    kvru900_Velkor("KVR4000", "2025-2026", "Feb  2 2026", "08:30:00");
    const std::vector<std::string> lines = SplitLines(LogText());
    // The order of the blocks is pinned end to end (copyright_c, velkor_version); here the
    // inserts.
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "KVR1001I  KVR4000 Jan  1 2026 12:00:00");
    EXPECT_NE(lines[3].find("2026"), std::string::npos);
    EXPECT_EQ(lines[9], "VAD3002I  KVR4000 Feb  2 2026 08:30:00");
    EXPECT_NE(lines[13].find("2025-2026"), std::string::npos);
    EXPECT_EQ(KVRU005(), 0);
}

TEST(SiteName, ComputerNameElseDefault) {
    ScopedEnv computerName("COMPUTERNAME");
    char site[256];
    computerName.Unset();
    KVRU986_GetSiteName(site);
    EXPECT_STREQ(site, "*DEFAULT*");
    computerName.Set("WORKSTATION7");
    KVRU986_GetSiteName(site);
    EXPECT_STREQ(site, "WORKSTATION7");
    computerName.Set(std::string(300, 'h'));
    KVRU986_GetSiteName(site);
    EXPECT_EQ(std::string(site), std::string(255, 'h'));
}

} // namespace
