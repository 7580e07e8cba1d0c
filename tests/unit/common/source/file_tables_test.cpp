// The table reports: heading, entries and closing of each of the four tables, in order,
// with the Velkor numbers in Velkor mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;

TEST_F(SourceTest, PrintFileTablesReportsEveryTable) {
    std::string lib = Container("LIB", {{"JOB1", "X\n"}, {"INC", "Y\n"}});
    std::string file = dir_.File("jcllib.txt");
    kvr::test::WriteFile(file, "DEF.LIB RM=NTFS RMDD=DDX\n");
    jcllib_.Set(file);
    LoadDefaultSearchList(0, 0);
    ASSERT_EQ(AddToJobList("JOB.LIB", "HOST", 0, 1, 0), TRUE);
    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE);
    ASSERT_EQ(
        OpenFileWithLanguageAndType(lib.c_str(), "INC", "", "JCL", "INCL", "NTFS", "", "", 0, 0),
        TRUE);
    PrintFileTables(0);
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "KVR1100I  Open members:", "KVR1101I  " + lib + "/JOB1",
                  "KVR1101I  " + lib + "/INC", "KVR1102I  End of open members.",
                  "KVR1103I  Job search list (library, site):", "KVR1108I  JOB.LIB HOST ",
                  "KVR1104I  End of job search list.",
                  "KVR1105I  Default search list (library, repository type, repository DD name):",
                  "KVR1108I  DEF.LIB NTFS DDX", "KVR1106I  End of default search list.",
                  "KVR1107I  Referenced sources (file, type, repository type):",
                  "KVR1108I  " + lib + "/JOB1 MAIN NTFS", "KVR1108I  " + lib + "/INC INCL NTFS",
                  "KVR1109I  End of referenced sources."}));

    setMessageDll("pjwenus.dll");
    ResetSourceTables();
    ASSERT_EQ(AddToJobList("JOB.LIB", "HOST", 0, 1, 2), TRUE);
    ASSERT_EQ(OpenMain(lib, "JOB1", 2), TRUE);
    PrintFileTables(2);
    std::vector<int> numbers = LoggedNumbers();
    EXPECT_EQ(std::vector<int>(numbers.begin() + 14, numbers.end()),
              (std::vector<int>{3009, 3010, 3011, 3012, 3010, 3013, 3014, 3015, 3016, 3017, 3018}));
}

} // namespace
