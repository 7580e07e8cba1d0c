// The file list: which files are members, in which order, and how names are written.
#include "member_listing.h"
#include "scan_test_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using kvrscan::list_members;
using kvrscan::MemberList;

namespace {

struct Listed {
    MemberList list;
    std::vector<std::string> warnings;
};

Listed list_in(const ScratchFolder& scratch, std::vector<std::string> folders, bool recursive) {
    Listed listed;
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    listed.list = list_members(folders, recursive, [&](const std::string& warning) {
        listed.warnings.push_back(warning);
    });
    std::filesystem::current_path(before);
    return listed;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(ScanListWords, QuotesWhatTheAnalyzerWouldSplitOrMisread) {
    EXPECT_EQ(kvrscan::list_word("PAYROLL"), "PAYROLL");
    EXPECT_EQ(kvrscan::list_word("MY JOBS"), "\"MY JOBS\"");
    EXPECT_EQ(kvrscan::list_word("-X"), "\"-X\"");
    EXPECT_EQ(kvrscan::list_word("/abs/LIB"), "\"/abs/LIB\"");
    EXPECT_EQ(kvrscan::list_word("*STAR"), "\"*STAR\"");
    EXPECT_EQ(kvrscan::list_word("A-B*C/D"), "A-B*C/D"); // only a first "-", "/", "*" counts
    EXPECT_EQ(kvrscan::list_word("TAB\tNAME"), "TAB\tNAME");

    EXPECT_TRUE(kvrscan::listable("A B-C*/."));
    for (const char* bad : {"A\"B", "A=B", "A\nB", "A\rB"})
        EXPECT_FALSE(kvrscan::listable(bad)) << bad;

    EXPECT_EQ(kvrscan::shell_quoted("JOBS/A=B"), "JOBS/A=B");
    EXPECT_EQ(kvrscan::shell_quoted("MY JOBS/#1,(x)~"), "MY\\ JOBS/#1\\,\\(x\\)~");
    EXPECT_EQ(kvrscan::shell_quoted("~#a"), "\\~#a");
    EXPECT_EQ(kvrscan::shell_quoted("J/it's\n\x01"), "$'J/it\\'s\\n\\001'");
    EXPECT_EQ(kvrscan::shell_quoted(""), "''");
}

TEST(ScanListing, FilesInByteOrderFoldersAsGivenHiddenAndSubfoldersLeftOut) {
    ScratchFolder scratch;
    for (const char* name : {"B/b", "B/a", "A/Z", "A/a", "A/_", "A/.hidden", "A/sub/S", "A/.dot/D"})
        scratch.write(name);
    Listed listed = list_in(scratch, {"B", "A"}, false);
    EXPECT_EQ(listed.list.lines, (Lines{"B a", "B b", "A Z", "A _", "A a"}));
    EXPECT_TRUE(listed.warnings.empty());
    EXPECT_FALSE(listed.list.left_out);
}

// Byte order of whole paths: "M" before "a"; "-" (0x2D) before the subfolder's "/" (0x2F),
// "0" (0x30) after it.
TEST(ScanListing, RecursiveSortsWholePathsAndNamesEachSubfolderAsItsContainer) {
    ScratchFolder scratch;
    for (const char* name : {"L/a0", "L/a-", "L/a/x", "L/a/b/y", "L/a/.h/z", "L/ME x"})
        scratch.write(name);
    Listed listed = list_in(scratch, {"L"}, true);
    EXPECT_EQ(listed.list.lines, (Lines{"L \"ME x\"", "L a-", "L/a/b y", "L/a x", "L a0"}));
}

TEST(ScanListing, LinksFollowedOddFilesAndNamesLeftOutWithAWarning) {
    ScratchFolder scratch;
    scratch.write("real/TARGET", "//J JOB\n");
    scratch.write("J/OK");
    scratch.write("J/A=B");
    ASSERT_EQ(mkfifo((scratch / "J/PIPE").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/null", (scratch / "J/DEVICE").c_str()), 0);
    ASSERT_EQ(symlink("../real/TARGET", (scratch / "J/LINKED").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (scratch / "J/DANGLING").c_str()), 0);
    ASSERT_EQ(mkfifo((scratch / "J/.HIDDEN_PIPE").c_str(), 0600), 0);

    Listed listed = list_in(scratch, {"J"}, false);
    EXPECT_EQ(listed.list.lines, (Lines{"J LINKED", "J OK"}));
    EXPECT_TRUE(listed.list.left_out);
    std::string all;
    for (const std::string& warning : listed.warnings)
        all += warning + "\n";
    EXPECT_EQ(listed.warnings.size(), 4u) << all;
    for (const char* named : {"pipe (FIFO): J/PIPE", "character device: J/DEVICE",
                              "to nothing: J/DANGLING", "cannot stand in a file list: J/A=B"})
        EXPECT_NE(all.find(named), std::string::npos) << named << " not in\n" << all;
}

TEST(ScanListing, ALinkBackUpTheTreeIsNotFollowedTwice) {
    ScratchFolder scratch;
    scratch.write("T/sub/M");
    ASSERT_EQ(symlink("..", (scratch / "T/sub/up").c_str()), 0);
    Listed listed = list_in(scratch, {"T"}, true);
    EXPECT_EQ(listed.list.lines, (Lines{"T/sub M"}));
    ASSERT_EQ(listed.warnings.size(), 1u);
    EXPECT_NE(listed.warnings[0].find("T/sub/up"), std::string::npos);
    EXPECT_FALSE(listed.list.left_out); // nothing was lost: the folder is listed once
}
