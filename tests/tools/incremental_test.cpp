// The pieces of an incremental scan: the content hash, where a source lies on disk, the state
// kvr-xref hands back, and the settings every hash is salted with.
#include "content_hash.h"
#include "errors.h"
#include "incremental.h"
#include "scan_test_folder.h"
#include "source_files.h"

#include <gtest/gtest.h>

using kvrscan::ContentHash;
using kvrscan::SourceLocator;

namespace {

std::string fnv(std::string_view text) {
    ContentHash hash;
    hash.add(text);
    return hash.hex();
}

} // namespace

// The published FNV-1a 64 test vectors.
TEST(ScanContentHash, IsFnv1a64) {
    EXPECT_EQ(fnv(""), "cbf29ce484222325");
    EXPECT_EQ(fnv("a"), "af63dc4c8601ec8c");
    EXPECT_EQ(fnv("foobar"), "85944171f73967e8");
}

TEST(ScanContentHash, AddingInPiecesIsAddingAtOnce) {
    ContentHash pieces;
    pieces.add("foo");
    pieces.add("bar");
    EXPECT_EQ(pieces.hex(), fnv("foobar"));
}

TEST(ScanContentHash, FileHashIsSaltThenContent) {
    ScratchFolder scratch;
    std::string big(200000, 'x'); // more than one read
    std::string path = scratch.write("MEM", big);
    EXPECT_EQ(kvrscan::hash_file(path, "salt"), fnv("salt" + big));
    EXPECT_NE(kvrscan::hash_file(path, "other"), kvrscan::hash_file(path, "salt"));
    EXPECT_EQ(kvrscan::hash_file(scratch / "NONE", "salt"), std::nullopt);
}

TEST(ScanContentHash, ManyFilesOnThreadsKeepTheirOrder) {
    ScratchFolder scratch;
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 50; ++i)
        paths.push_back(scratch.write("M" + std::to_string(i), std::to_string(i)));
    paths.push_back(scratch / "MISSING");
    auto hashes = kvrscan::hash_files(paths, "s", 2);
    ASSERT_EQ(hashes.size(), 51u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(hashes[static_cast<std::size_t>(i)], fnv("s" + std::to_string(i)));
    EXPECT_EQ(hashes[50], std::nullopt);
}

TEST(ScanSourceFiles, ExtensionOptionTakesTheLastOne) {
    EXPECT_EQ(kvrscan::extension_option({"-g", "-exjcl,txt"}),
              (std::vector<std::string>{"jcl", "txt"}));
    EXPECT_EQ(kvrscan::extension_option({"-exjcl", "/EXprc"}), (std::vector<std::string>{"prc"}));
    EXPECT_TRUE(kvrscan::extension_option({"-ex", "-x"}).empty());
}

TEST(ScanSourceFiles, TranslatedFoldersInTableOrderThenTheContainerItself) {
    ScratchFolder scratch;
    std::string first = scratch / "FIRST", second = scratch / "SECOND";
    scratch.write("FIRST/ONLYFIRST");
    scratch.write("SECOND/BOTH", "second");
    scratch.write("FIRST/BOTH", "first");
    scratch.write("SECOND/ONLYSECOND");
    std::string table = scratch.write("xlat", "LIB.A " + first + "\r\nLIB.A " + second + "\n");
    SourceLocator locator(table, {});
    EXPECT_EQ(locator.locate("LIB.A", "BOTH"), std::filesystem::path(first) / "BOTH");
    EXPECT_EQ(locator.locate("LIB.A", "ONLYSECOND"), std::filesystem::path(second) / "ONLYSECOND");
    EXPECT_EQ(locator.locate(second, "BOTH"), std::filesystem::path(second) / "BOTH");
    EXPECT_EQ(locator.locate("LIB.A", "NONE"), std::nullopt);
    EXPECT_EQ(locator.locate("LIB.B", "BOTH"), std::nullopt);
}

TEST(ScanSourceFiles, NameThenExtensionsThenAnotherCase) {
    ScratchFolder scratch;
    std::string folder = scratch / "PROCS";
    scratch.write("PROCS/PLAIN");
    scratch.write("PROCS/PLAIN.jcl");
    scratch.write("PROCS/EXT.txt");
    scratch.write("PROCS/lower.jcl");
    std::filesystem::create_directories(scratch / "PROCS/DIR");
    SourceLocator locator("", {"jcl", "txt"});
    EXPECT_EQ(locator.locate(folder, "PLAIN"), std::filesystem::path(folder) / "PLAIN");
    EXPECT_EQ(locator.locate(folder, "EXT"), std::filesystem::path(folder) / "EXT.txt");
    EXPECT_EQ(locator.locate(folder, "LOWER"), std::filesystem::path(folder) / "lower.jcl");
    EXPECT_EQ(locator.locate(folder, "DIR"), std::nullopt); // a folder is no member
    EXPECT_EQ(locator.locate_anywhere({scratch / "NONE", folder}, "EXT"),
              std::filesystem::path(folder) / "EXT.txt");
}

TEST(ScanIncrementalState, LinesByMember) {
    kvrscan::ScanState state =
        kvrscan::parse_scan_state("JOBS\tA\t1\tjob\tJOBS\tA\t00000000000000aa\n"
                                  "JOBS\tA\t2\tprocedure\tPROD.PROCLIB\tP\t-\n"
                                  "JOBS\tB\t0\tmissing\t\tX\t-\n");
    ASSERT_EQ(state.size(), 2u);
    const auto& a = state.at("JOBS\tA");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].hash, "00000000000000aa");
    EXPECT_EQ(a[1].kind, "procedure");
    EXPECT_EQ(a[1].container, "PROD.PROCLIB");
    EXPECT_EQ(state.at("JOBS\tB")[0].member, "X");
    EXPECT_THROW(kvrscan::parse_scan_state("JOBS\tA\t1\n"), kvrscan::ScanFailure);
}

TEST(ScanIncrementalState, SaltFollowsTheSettings) {
    ScratchFolder scratch;
    kvrscan::ScanRequest request;
    const std::string plain = kvrscan::settings_salt(request);
    request.xml = true;
    EXPECT_NE(kvrscan::settings_salt(request), plain);
    request.xml = false;
    request.analyzer_options = {"-g"};
    EXPECT_NE(kvrscan::settings_salt(request), plain);
    request.analyzer_options.clear();
    request.xlatlibs = scratch.write("xlat", "A B\n");
    const std::string with_table = kvrscan::settings_salt(request);
    EXPECT_NE(with_table, plain);
    scratch.write("xlat", "A C\n");
    EXPECT_NE(kvrscan::settings_salt(request), with_table); // the content counts
    request.xlatlibs.clear();
    EXPECT_EQ(kvrscan::settings_salt(request), plain);
}
