// The referenced-source table seen from outside: queries and their bounds, and the kind of
// an unknown member type in the INCL records. The INCL records of main, included and
// procedure members are pinned by the golden cases text_include and text_jcllib_proc, the
// quotes around a container name with a blank by text_blank_container.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;

TEST_F(SourceTest, QueryingReferencesAndUnknownTypes) {
    std::string lib = Container("LIB", {{"JOB1", "X\n"}, {"ODD", "O\n"}});
    ASSERT_EQ(OpenFileWithLanguageAndType(lib.c_str(), "JOB1", "", "JCL", "MAIN", "NTFS", "",
                                          "HOST", 0, 0),
              TRUE);
    char *container = nullptr, *file = nullptr, *rmType = nullptr, *site = nullptr, *type = nullptr;
    ASSERT_EQ(QuerySourceReference(0, &container, &file, &rmType, &site, &type, 0), 1);
    EXPECT_EQ(std::vector<std::string>({container, file, rmType, site, type}),
              std::vector<std::string>({lib, "JOB1", "NTFS", "HOST", "MAIN"}));
    file = nullptr;
    EXPECT_EQ(QuerySourceReference(1, &container, &file, &rmType, &site, &type, 0), 0);
    EXPECT_EQ(QuerySourceReference(-1, &container, &file, &rmType, &site, &type, 0), 0);
    EXPECT_EQ(file, nullptr);
    setMessageDll("pjwenus.dll");
    EXPECT_EQ(QuerySourceReference(200, &container, &file, &rmType, &site, &type, 2), 0);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1413, 1413, 3098}));

    ASSERT_EQ(
        OpenFileWithLanguageAndType(lib.c_str(), "ODD", "", "JCL", "XYZ", "NTFS", "", "", 0, 0),
        TRUE);
    ReportIncludedFiles();
    EXPECT_EQ(ImportLines(), (std::vector<std::string>{"INCL 0 JOB1 " + lib, "INCL 0 ODD " + lib}));
}

} // namespace
