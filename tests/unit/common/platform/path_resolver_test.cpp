// Case-insensitive path resolution: the exact name wins, other case variants are found in a
// fixed order, folder names are matched too, and each folder is listed once per run unless
// it changed. Finding a member and its container in another case in a whole run is pinned
// by the golden case member_case_insensitive.
#include "platform/path_resolver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>

#include "common/scoped_env.h"

namespace {

namespace fs = std::filesystem;
using kvr::platform::ClearPathCache;
using kvr::platform::DirectoryListingReads;
using kvr::platform::ResolveExistingFile;
using kvr::platform::ResolveExistingPath;
using kvr::test::TempDir;
using kvr::test::WriteFile;

class PathResolverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearPathCache();
        root_ = tmp_.path().string();
        fs::create_directories(root_ + "/Lib/Sub");
        WriteFile(root_ + "/Lib/MEMB", "upper");
        WriteFile(root_ + "/Lib/memb", "lower");
        WriteFile(root_ + "/Lib/Other.jcl", "other");
    }
    void TearDown() override { ClearPathCache(); }

    TempDir tmp_;
    std::string root_;
};

// Neither "Memb" nor "MEMB" exact: the byte-wise smaller variant ("M" before "m") is taken; a
// file is no folder.
TEST_F(PathResolverTest, ExactNameWinsThenACaseVariantInAFixedOrder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/Lib/MEMB", "/Lib/MEMB"}, {"/Lib/memb", "/Lib/memb"},
        {"/Lib/Memb", "/Lib/MEMB"}, {"/LIB/other.JCL", "/Lib/Other.jcl"},
        {"/lib/SUB", "/Lib/Sub"},   {"\\LIB\\OTHER.jcl", "/Lib/Other.jcl"},
        {"/Lib/", "/Lib"},          {"/Lib/none", nullptr},
        {"/Nolib/MEMB", nullptr},   {"/Lib/MEMB/x", nullptr},
        // "." and ".." are taken as they are, not matched against the listing.
        {"/lib/./Memb", "/Lib/./MEMB"}, {"/lib/sub/../memb", "/Lib/Sub/../memb"},
        {"/lib/sub/..", "/Lib/Sub/.."}, {"/Lib/MEMB/..", nullptr},
    };
    for (const auto& [given, found] : cases)
        EXPECT_EQ(ResolveExistingPath(root_ + given).value_or("-"), found ? root_ + found : "-")
            << given;
    EXPECT_EQ(ResolveExistingPath(""), std::nullopt);
    EXPECT_EQ(ResolveExistingPath("/"), "/");
    // A member must be a file: folders exist but are not members.
    EXPECT_EQ(ResolveExistingFile(root_ + "/lib/sub"), std::nullopt);
    EXPECT_EQ(ResolveExistingFile(root_ + "/lib/memb"), root_ + "/Lib/memb");
}

TEST_F(PathResolverTest, EachFolderIsListedOnceUnlessItChanged) {
    ASSERT_TRUE(ResolveExistingPath(root_ + "/Lib/memb"));
    EXPECT_EQ(DirectoryListingReads(), 1u);
    ASSERT_TRUE(ResolveExistingPath(root_ + "/LIB/OTHER.JCL")); // lists the parent as well
    const size_t reads = DirectoryListingReads();
    EXPECT_EQ(reads, 2u);
    EXPECT_TRUE(ResolveExistingPath(root_ + "/lib/MEMB"));
    EXPECT_FALSE(ResolveExistingPath(root_ + "/Lib/MISSING"));
    EXPECT_FALSE(ResolveExistingPath(root_ + "/lib/missing"));
    EXPECT_EQ(DirectoryListingReads(), reads);

    // The listing is kept for the run: a member removed after it was read still resolves
    // (opening it then fails) until the cache is cleared.
    const fs::file_time_type stamp = fs::last_write_time(root_ + "/Lib");
    fs::remove(root_ + "/Lib/Other.jcl");
    fs::last_write_time(root_ + "/Lib", stamp);
    EXPECT_EQ(ResolveExistingPath(root_ + "/Lib/other.jcl"), root_ + "/Lib/Other.jcl");
    EXPECT_EQ(DirectoryListingReads(), reads);

    // A name missing from a folder that has changed since its listing reads it again.
    WriteFile(root_ + "/Lib/NEW", "new");
    fs::last_write_time(root_ + "/Lib", stamp + std::chrono::seconds(5));
    EXPECT_EQ(ResolveExistingPath(root_ + "/Lib/new"), root_ + "/Lib/NEW");
    EXPECT_EQ(DirectoryListingReads(), reads + 1);
    EXPECT_FALSE(ResolveExistingPath(root_ + "/Lib/other.jcl"));

    ClearPathCache();
    EXPECT_EQ(DirectoryListingReads(), 0u);
    EXPECT_TRUE(ResolveExistingPath(root_ + "/Lib/memb"));
    EXPECT_EQ(DirectoryListingReads(), 1u);
}

} // namespace
