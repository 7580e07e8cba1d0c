// The referenced-source table seen from outside: queries and their bounds, the current
// reference, and the INCL records listing every member used.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;
using kvr::test::WriteFile;

TEST_F(SourceTest, QueryingReferences) {
    std::string lib = Container("LIB", {{"JOB1", "X\n"}});
    ASSERT_EQ(OpenFileWithLanguageAndType(lib.c_str(), "JOB1", "", "JCL", "MAIN", "NTFS", "",
                                          "HOST", 0, 0),
              TRUE);
    char* container = nullptr;
    char* file = nullptr;
    char* rmType = nullptr;
    char* site = nullptr;
    char* type = nullptr;
    ASSERT_EQ(QuerySourceReference(0, &container, &file, &rmType, &site, &type, 0), 1);
    EXPECT_EQ(std::string(container), lib);
    EXPECT_STREQ(file, "JOB1");
    EXPECT_STREQ(rmType, "NTFS");
    EXPECT_STREQ(site, "HOST");
    EXPECT_STREQ(type, "MAIN");

    file = nullptr;
    EXPECT_EQ(QuerySourceReference(1, &container, &file, &rmType, &site, &type, 0), 0);
    EXPECT_EQ(QuerySourceReference(-1, &container, &file, &rmType, &site, &type, 0), 0);
    EXPECT_EQ(file, nullptr);
    setMessageDll("pjwenus.dll");
    EXPECT_EQ(QuerySourceReference(200, &container, &file, &rmType, &site, &type, 2), 0);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1413, 1413, 3098}));
}

TEST_F(SourceTest, IncludedFilesAreListedAsInclRecords) {
    std::string blank = Container("My Procs", {{"INC1", "I\n"}});
    std::string lib = Container("LIB", {{"JOB1", "X\n"}, {"PROC1", "P\n"}, {"ODD", "O\n"}});
    std::string file = dir_.File("jcllib.txt");
    WriteFile(file, "\"" + blank + "\"\n");
    jcllib_.Set(file);
    LoadDefaultSearchList(0, 0);
    ASSERT_EQ(kvr::DefaultList().size(), 1u);
    EXPECT_EQ(std::string(kvr::DefaultList()[0].ListedLibName), blank); // stored unquoted

    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE);
    OpenIncludedMember("INC1", 0, 1, 0, 0);
    ASSERT_EQ(AddToJobList(lib.c_str(), "", 0, 1, 0), TRUE);
    OpenCatalogedProc("PROC1", 0, 2, 0, 0);
    ASSERT_EQ(
        OpenFileWithLanguageAndType(lib.c_str(), "ODD", "", "JCL", "XYZ", "NTFS", "", "", 0, 0),
        TRUE);
    ReportIncludedFiles();
    EXPECT_EQ(ImportLines(), (std::vector<std::string>{
                                 "INCL 0 JOB1 " + lib,
                                 "INCL 1 INC1 \"" + blank + "\"",
                                 "INCL 2 PROC1 " + lib,
                                 "INCL 0 ODD " + lib,
                             }));
}

} // namespace
