// Search lists: reading the default list (carried-over options, quotes, comments, its
// limit and a missing file), the job list and its limit, the extension list, and the
// search order of cataloged procedures and INCLUDE members.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;
using kvr::test::WriteFile;
using Rows = std::vector<std::vector<std::string>>;

Rows RowsOf(std::span<const kvr::LibraryList> list) {
    Rows rows;
    for (const kvr::LibraryList& e : list)
        rows.push_back({e.ListedLibName, e.ListedRmType, e.ListedRmDDName, e.ListedSiteName});
    return rows;
}

TEST_F(SourceTest, DefaultListLinesCarryTheirOptionsOver) {
    std::string file = dir_.File("jcllib.txt");
    WriteFile(file, "* a comment line\n"
                    "\n"
                    "   SYS1.PROCLIB RM=ntfs\n"
                    "USER.PROCLIB\n"
                    "   * indented comment\n"
                    "\"C:\\My Procs\" RMDD=procdd SITE=HOST1\n"
                    "OTHER.LIB RM=PDSX EXTRA SITE=IGNORED\r\n"
                    "LAST.LIB SITE=\"Site A\"\n");
    jcllib_.Set(file);
    LoadDefaultSearchList(0, 0);
    EXPECT_EQ(RowsOf(kvr::DefaultList()),
              (Rows{{"SYS1.PROCLIB", "NTFS", "", ""},
                    {"USER.PROCLIB", "NTFS", "", ""},
                    {"C:\\My Procs", "NTFS", "PROCDD", "HOST1"}, // stored unquoted
                    {"OTHER.LIB", "PDSX", "PROCDD", "HOST1"},    // EXTRA ends the options
                    {"LAST.LIB", "PDSX", "PROCDD", "Site A"}}));
    EXPECT_TRUE(LoggedNumbers().empty());

    // A second load (a second run in the same process) replaces the list.
    WriteFile(file, "ONLY.LIB\n");
    LoadDefaultSearchList(0, 0);
    EXPECT_EQ(RowsOf(kvr::DefaultList()), (Rows{{"ONLY.LIB", "NTFS", "", ""}}));
}

// 1302 for a missing file in a whole run is pinned by the golden case jcllib_missing.
TEST_F(SourceTest, DefaultListFileMissingUnsetOrDummy) {
    LoadDefaultSearchList(0, 0); // not set: nothing
    jcllib_.Set("DUMMY");
    LoadDefaultSearchList(0, 0);
    EXPECT_TRUE(LoggedNumbers().empty());
    EXPECT_TRUE(kvr::DefaultList().empty());

    jcllib_.Set(dir_.File("nosuch.txt"));
    LoadDefaultSearchList(0, 0);
    EXPECT_EQ(KVRU005(), 8);
    // The DD_ spelling serves when the DD: name is not set; Velkor numbers in Velkor mode.
    jcllib_.Unset();
    jcllibAlt_.Set(dir_.File("nosuch.txt"));
    setMessageDll("pjwenus.dll");
    LoadDefaultSearchList(2, 0);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1302, 3021}));
    std::vector<std::string> records = ImportLines();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], "MSG JCL KVR4000 8 1302 \"KVR1302E  The default search list cannot be "
                          "opened.\"");
    EXPECT_EQ(records[1].rfind("MSG JCL VADIRADO 8 3021 ", 0), 0u) << records[1];
}

TEST_F(SourceTest, SearchListsHoldTwoHundredFiftySixLibraries) {
    std::string content = "FIRST.LIB RM=ntfs\n";
    for (int i = 1; i < 256; ++i)
        content += "LIB" + std::to_string(i) + "\n";
    content += "* comments do not count\nLIB256\nLIB257\n";
    std::string file = dir_.File("jcllib.txt");
    WriteFile(file, content);
    jcllib_.Set("\"" + file + "  \""); // a quoted path loses quotes and trailing blanks
    LoadDefaultSearchList(0, 0);
    ASSERT_EQ(kvr::DefaultList().size(), 256u);
    EXPECT_STREQ(kvr::DefaultList()[255].ListedLibName, "LIB255");
    EXPECT_EQ(LoggedNumbers(), std::vector<int>{1303});
    std::vector<std::string> records = ImportLines();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rfind("MSG JCL KVR4000 4 1303 \"KVR1303W  ", 0), 0u) << records[0];

    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(AddToJobList(("JOB.LIB" + std::to_string(i)).c_str(), "SITE", 0, 3, 0), TRUE);
    ASSERT_EQ(OpenMain(Container("LIB", {{"JOB1", "X\n"}}), "JOB1"), TRUE);
    EXPECT_EQ(AddToJobList("ONE.MORE", "SITE", 0, 3, 0), FALSE);
    ASSERT_EQ(kvr::JobList().size(), 256u);
    EXPECT_EQ(RowsOf(kvr::JobList())[0],
              (std::vector<std::string>{"JOB.LIB0", "NTFS", "", "SITE"}));
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], "KVR1470I  Warning in member JOB1 at line 3:");
    EXPECT_EQ(log[2].substr(0, 10), "KVR1305W  ");
    EXPECT_EQ(ImportLines().size(), 1u); // no record for 1305
    KVRU940_InitializeFields();          // the job list is per member
    EXPECT_TRUE(kvr::JobList().empty());
}

TEST_F(SourceTest, SearchTriesEachLibraryWithTheNameThenEachExtension) {
    std::string jobLib = Container("JOBLIB", {{"PROC1", "JOBLIB PROC1\n"}});
    std::string defLib = Container(
        "DEFLIB",
        {{"PROC1", "DEFLIB PROC1\n"}, {"MEMB.jcl", "MEMB JCL\n"}, {"MEMB.txt", "MEMB TXT\n"}});
    std::string file = dir_.File("jcllib.txt");
    WriteFile(file, defLib + " SITE=S1\n");
    jcllib_.Set(file);
    LoadDefaultSearchList(0, 0);
    char extensions[] = "jcl,txt";
    KVR_CreateFileExtensionList(extensions, 0);
    EXPECT_EQ(kvr::FileExtensions(), (std::vector<std::string>{".jcl", ".txt"}));
    kvr::AddTranslationForTests("MY.JOBLIB", jobLib.c_str());
    ASSERT_EQ(AddToJobList("MY.JOBLIB", "", 0, 1, 0), TRUE);

    OpenIncludedMember("MEMB", 0, 1, 0, 0); // MEMB itself does not exist
    SourceLine line{};
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "MEMB JCL");
    const kvr::ReferencedSource* source = kvr::ReferencedSourceAt(line.FileReference);
    ASSERT_NE(source, nullptr);
    EXPECT_STREQ(source->fileName, "MEMB.jcl");
    EXPECT_STREQ(source->fileTypeCd, "INCL");
    EXPECT_STREQ(source->siteName, "S1");

    OpenCatalogedProc("PROC1", 0, 1, 0, 0); // the job library wins
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "JOBLIB PROC1");
    EXPECT_STREQ(kvr::ReferencedSourceAt(line.FileReference)->fileTypeCd, "PROC");
    EXPECT_TRUE(LoggedNumbers().empty());
}

// 1309 with its locator and MSG records is pinned by the golden case text_missing_proc.
TEST_F(SourceTest, SearchFailuresReportAtTheCardPosition) {
    std::string lib = Container("LIB", {{"JOB1", "X\n"}});
    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE);
    ASSERT_EQ(AddToJobList(lib.c_str(), "", 0, 1, 0), TRUE);
    OpenCatalogedProc(std::string(255, 'P').c_str(), 0, 7, 0, 0); // too long: not searched
    OpenCatalogedProc(std::string(254, 'P').c_str(), 0, 8, 0, 0); // searched, not found
    EXPECT_EQ(LogLines().at(0), "KVR1470I  Warning in member JOB1 at line 7:");
    EXPECT_EQ(ImportLines().size(), 2u); // only 1309 goes to the import file, with its locator
    EXPECT_EQ(kvr::OpenMemberCount(), 1);

    setMessageDll("pjwenus.dll");
    OpenIncludedMember("NOSUCH", 0, 4, 2, 0);
    OpenIncludedMember(std::string(300, 'N').c_str(), 0, 5, 2, 0);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1470, 1308, 1470, 1309, 3130, 3028, 3130, 3027}));
    std::vector<std::string> records = ImportLines();
    ASSERT_EQ(records.size(), 6u); // Velkor mode adds another record of 3028
    EXPECT_EQ(records[2].rfind("MSG JCL VADIRADO 0 3130 ", 0), 0u);
    EXPECT_EQ(records[3].rfind("MSG JCL VADIRADO 4 3028 \"VAD3028W  Member NOSUCH ", 0), 0u);
    EXPECT_EQ(records[4], records[3]);
    EXPECT_EQ(records[5], "MSG JCL VADIRADO 4 3027 \"VAD3027W  The name of the member to search "
                          "is 255 characters or longer; it is not searched.\"");
}

// Names from JCL never leave the libraries: a name that is no member name is reported as
// missing without a search, and a job library that is neither translated nor a data set
// name (a path) is passed over.
TEST_F(SourceTest, SearchOpensOnlyMemberNamesInLibrariesOfDataSetNames) {
    std::string lib = Container("LIB", {{"SECRET", "X\n"}, {"M1", "Y\n"}});
    Container("LIB/sub", {{"M2", "Z\n"}});
    std::string file = dir_.File("jcllib.txt");
    WriteFile(file, lib + "\n");
    jcllib_.Set(file);
    LoadDefaultSearchList(0, 0);
    for (const char* name : {"../LIB/SECRET", "sub/M2", "M1.", "1ABC", "ABCDEFGHI", "A B", ""}) {
        OpenIncludedMember(name, 0, 1, 0, 0);
        EXPECT_EQ(kvr::OpenMemberCount(), 0) << name;
    }
    const std::vector<int> numbers = LoggedNumbers();
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), 1309), 7);
    OpenIncludedMember("m1", 0, 1, 0, 0); // lower case is a member name too
    EXPECT_EQ(kvr::OpenMemberCount(), 1);
    CloseAnyRemainingFiles(0, 0);

    kvr::ResetDefaultListForTests();
    Container("my.lib", {{"M3", "W\n"}});
    for (const std::string& library : {lib, std::string("/"), dir_.path().string()})
        ASSERT_EQ(AddToJobList(library.c_str(), "", 0, 1, 0), TRUE);
    OpenIncludedMember("SECRET", 0, 1, 0, 0);
    EXPECT_EQ(kvr::OpenMemberCount(), 0); // paths named by JCL are not searched
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    ASSERT_EQ(AddToJobList("MY.LIB", "", 0, 1, 0), TRUE); // a data set name: a local folder
    OpenIncludedMember("M3", 0, 1, 0, 0);
    std::filesystem::current_path(here);
    EXPECT_EQ(kvr::OpenMemberCount(), 1);
}

TEST_F(SourceTest, SearchStopsAtAFullStack) {
    std::string lib = Container("LIB", {{"M", "X\n"}, {"P", "Y\n"}});
    kvr::AddTranslationForTests("MY.LIB", lib.c_str());
    ASSERT_EQ(AddToJobList("MY.LIB", "", 0, 1, 0), TRUE);
    ASSERT_EQ(AddToJobList("MY.LIB", "", 0, 1, 0), TRUE);
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(OpenMain(lib, "M"), TRUE);
    OpenCatalogedProc("P", 0, 1, 0, 0);
    std::vector<int> numbers = LoggedNumbers();
    // One report and 1306; the member is not reported as missing.
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.back(), 1306);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), 1306), 1);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), 1309), 0);
}

} // namespace
