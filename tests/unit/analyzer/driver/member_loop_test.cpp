// The file-list line: keywords, options, comments and the name normalisation that decides
// whether a line names a member. Quoted tokens in whole runs: file_list.
#include "driver/member_loop.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

TEST(FileList, KeywordsAreUpperCasedAndCutAndNamesNormalised) {
    MemberRequest request;
    ASSERT_TRUE(ParseFileListLine("\"My Lib\" MEM rm=pds rmdd=sysut1", request, 0));
    EXPECT_EQ(request.rmType, "PDS");
    EXPECT_EQ(request.rmDDName, "SYSUT1");
    EXPECT_TRUE(NormalizeRequestNames(request, 0));
    EXPECT_EQ(request.containerNameNoQuotes, "My Lib");
    EXPECT_EQ(request.fileNameNoQuotes, "MEM");

    ASSERT_TRUE(
        ParseFileListLine("LIB MEM -x other=1 RM=ABCDEFG RMDD=ABCDEFGHIJ LOCAL", request, 0));
    EXPECT_EQ(request.localFile, "LOCAL");
    EXPECT_EQ(request.rmType, "ABCD");
    EXPECT_EQ(request.rmDDName, "ABCDEFGH");
    EXPECT_FALSE(ParseFileListLine("   * indented comment", request, 0));
    // An empty quoted member name names no member.
    ASSERT_TRUE(ParseFileListLine("LIB \"\"", request, 0));
    EXPECT_FALSE(NormalizeRequestNames(request, 0));

    testing::internal::CaptureStdout();
    ParseFileListLine("lib mem", request, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "workArg: LIB\nworkArg: MEM\n");
    EXPECT_EQ(request.containerName, "lib");
}

} // namespace
} // namespace kvr
