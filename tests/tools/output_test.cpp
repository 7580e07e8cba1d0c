// The joined files: put in place whole or not at all, and joined in shard order with one
// XML prologue.
#include "atomic_output.h"
#include "errors.h"
#include "joining.h"
#include "scan_test_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using kvrscan::FinalOutput;

namespace {

void write_through(FinalOutput& output, const std::string& content) {
    int fd = output.open();
    kvrscan::write_all(fd, content, output.description());
    output.close();
}

mode_t mode_of(const std::string& file) {
    struct stat status {};
    stat(file.c_str(), &status);
    return status.st_mode & 07777;
}

} // namespace

TEST(ScanFinalOutput, WrittenBesideAndPutInPlaceOnlyByCommit) {
    ScratchFolder scratch;
    std::string final_name = scratch.write("out/IMPORT", "earlier run\n");
    chmod(final_name.c_str(), 0640);
    std::string temporary;
    {
        FinalOutput output(final_name, "import file");
        temporary = output.temporary_name();
        EXPECT_EQ(std::filesystem::path(temporary).parent_path(), scratch.path() / "out");
        EXPECT_TRUE(
            std::filesystem::path(temporary).filename().string().starts_with(".IMPORT.kvr-scan."));
        write_through(output, "new content\n");
        EXPECT_EQ(read_whole(final_name), "earlier run\n");
    } // never committed: a failed or stopped scan
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_EQ(read_whole(final_name), "earlier run\n");

    FinalOutput output(final_name, "import file");
    write_through(output, "new content\n");
    output.commit();
    EXPECT_EQ(read_whole(final_name), "new content\n");
    EXPECT_EQ(mode_of(final_name), 0640u);
    EXPECT_FALSE(std::filesystem::exists(output.temporary_name()));
}

TEST(ScanFinalOutput, ALinkKeepsPointingAtTheReplacedFile) {
    ScratchFolder scratch;
    std::string target = scratch.write("real/LOG", "old\n");
    std::string link = scratch / "LOG";
    ASSERT_EQ(symlink("real/LOG", link.c_str()), 0);
    FinalOutput output(link, "log");
    write_through(output, "new\n");
    output.commit();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_whole(target), "new\n");
}

TEST(ScanFinalOutput, WhatCannotBeWrittenIsAUsageError) {
    ScratchFolder scratch;
    scratch.write("folder/x");
    for (std::string name :
         {scratch / "folder", scratch / "none/IMPORT", scratch / "out/", std::string()}) {
        try {
            FinalOutput output(name, "import file");
            ADD_FAILURE() << name;
        } catch (const kvrscan::UsageError& error) {
            EXPECT_EQ(error.what(), "cannot write the import file " + name);
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch / "folder"), {}), 1);
}

TEST(ScanJoining, OnlyTheFirstShardKeepsItsXmlPrologue) {
    ScratchFolder scratch;
    std::string long_prologue = "<?xml " + std::string(70000, 'v') + "?>\n"; // longer than a read
    std::vector<std::filesystem::path> shards = {
        scratch.write("1", "<?xml version=\"1.0\"?>\n<a/>\n"),
        scratch.write("2", "<?xml version=\"1.0\"?>\n<b/>\n<?xml not first?>\n"),
        scratch / "3-never-written",
        scratch.write("4", long_prologue + "<d/>"),
        scratch.write("5", "<?xm"),                // too short to be a prologue
        scratch.write("6", "<?x\n<f/>\n"),         // a first line shorter than the prologue's start
        scratch.write("7", " <?xml indented?>\n"), // not at the start of the line
        scratch.write("8", "<?xml only"),          // a prologue and nothing else
    };
    std::string joined = scratch / "joined";
    {
        kvrscan::UniqueFd out = kvrscan::open_file(joined, O_WRONLY | O_CREAT | O_TRUNC);
        kvrscan::join_imports(shards, true, out.get(), "joined");
    }
    EXPECT_EQ(read_whole(joined),
              "<?xml version=\"1.0\"?>\n<a/>\n<b/>\n<?xml not first?>\n<d/><?xm<?x\n<f/>\n"
              " <?xml indented?>\n");

    {
        kvrscan::UniqueFd out = kvrscan::open_file(joined, O_WRONLY | O_CREAT | O_TRUNC);
        kvrscan::join_imports({shards[0], shards[1]}, false, out.get(),
                              "joined"); // text: as they are
    }
    EXPECT_EQ(read_whole(joined), read_whole(shards[0]) + read_whole(shards[1]));
}
