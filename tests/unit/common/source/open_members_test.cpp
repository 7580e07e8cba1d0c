// The open-member stack and line reading: line numbers and lengths, leading empty lines,
// line ends, long lines, the Velkor blanks, logical end, the include directives and the
// limits of the stack and of the referenced-source table.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;

TEST_F(SourceTest, LinesAsDelivered) {
    const std::string col81(81, 'A'), b81(81, 'B'), withZero("AB\0C", 4);
    struct Case {
        std::string content;
        int16_t mode;
        std::vector<std::pair<std::string, int>> lines; // text (by lineLength), fileLine
    };
    const Case cases[] = {
        // Leading empty lines are skipped but counted; a later one is delivered empty; the
        // last line needs no line feed.
        {"\n\n\n//JOB1 JOB\n\n// EXEC PGM=X",
         0,
         {{"//JOB1 JOB", 4}, {"", 5}, {"// EXEC PGM=X", 6}}},
        // 81 characters and CR LF are one line.
        {"A\r\nBB\r\n" + col81 + "\r\nZ\r\n", 0, {{"A", 1}, {"BB", 2}, {col81, 3}, {"Z", 4}}},
        // A longer line is cut after column 81 and its rest is the next record; embedded
        // zero bytes count in the length.
        {col81 + "\n" + b81 + "CDEF\n" + withZero + "\n",
         0,
         {{col81, 1}, {b81, 2}, {"CDEF", 3}, {withZero, 4}}},
        // Velkor mode appends two blanks.
        {"ABC\n" + col81 + "\n", 2, {{"ABC  ", 1}, {col81 + "  ", 2}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const std::string lib = Container("LIB" + std::to_string(n++), {{"M", c.content}});
        ASSERT_EQ(OpenMain(lib, "M", c.mode), TRUE);
        std::vector<std::pair<std::string, int>> lines;
        for (const SourceLine& line : ReadAll(c.mode)) {
            lines.emplace_back(std::string(line.SourceText, size_t(line.lineLength)),
                               line.fileLine);
            EXPECT_EQ(line.FileReference, n - 1);
        }
        EXPECT_EQ(lines, c.lines);
        SOURCE_REF current = -5;
        EXPECT_EQ(GetCurrentSourceReference(&current), FALSE); // popped at its end
        EXPECT_EQ(current, -1);
    }
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(SourceTest, LogicalEndClosesTheTopMemberAtTheNextRead) {
    KVRU940_SetLogicalEOF(); // nothing open: nothing happens
    std::string lib = Container("LIB", {{"OUTER", "O1\nO2\nO3\n"}, {"INNER", "I1\nI2\n"}});
    ASSERT_EQ(OpenMain(lib, "OUTER"), TRUE);
    SourceLine line{};
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    ASSERT_EQ(
        OpenFileWithLanguageAndType(lib.c_str(), "INNER", "", "JCL", "PROC", "NTFS", "", "", 0, 0),
        TRUE);
    SOURCE_REF current = -5;
    EXPECT_EQ(GetCurrentSourceReference(&current), TRUE);
    EXPECT_EQ(current, 1);
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "I1");
    KVRU940_SetLogicalEOF();
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE); // INNER is closed, OUTER goes on
    EXPECT_STREQ(line.SourceText, "O2");
    EXPECT_EQ(line.FileReference, 0);
    EXPECT_EQ(line.fileLine, 2);
    KVRU940_SetLogicalEOF();
    EXPECT_EQ(ReadNextLine(&line, 0, 0), FALSE);
}

TEST_F(SourceTest, OpeningMembersAndReusingReferencedSources) {
    std::string lib = Container("LIB", {{"JOB1", "X\n"}, {"LOCAL.TXT", "L1\n"}});
    EXPECT_EQ(OpenMain(lib, "NOSUCH"), FALSE); // without a message
    EXPECT_EQ(kvr::ReferencedSourceCount(), 0);
    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE);
    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE); // the same member opened twice: one source
    EXPECT_EQ(kvr::ReferencedSourceCount(), 1);
    EXPECT_EQ(kvr::OpenMemberCount(), 2);
    EXPECT_EQ(kvr::OpenMemberSource(1), 0);
    // A different site makes a different source.
    ASSERT_EQ(OpenFileWithLanguageAndType(lib.c_str(), "JOB1", "", "JCL", "MAIN", "NTFS", "",
                                          "SITE2", 0, 0),
              TRUE);
    EXPECT_EQ(kvr::ReferencedSourceCount(), 2);

    // A local file is opened as it is, without a translated container.
    std::string local = lib + "/LOCAL.TXT";
    ASSERT_EQ(OpenFileWithLanguageAndType("SOME.LIB", "MEMBER", local.c_str(), "JCL", "MAIN",
                                          "NTFS", "", "", 0, 0),
              TRUE);
    const kvr::ReferencedSource* source = kvr::ReferencedSourceAt(2);
    ASSERT_NE(source, nullptr);
    EXPECT_STREQ(source->containerName, "SOME.LIB");
    EXPECT_STREQ(source->xlatedContainerName, "");
    EXPECT_STREQ(source->fileName, "MEMBER");
    SourceLine line{};
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "L1");
    EXPECT_EQ(line.FileReference, 2);

    // An unsupported repository type is a missing member.
    EXPECT_EQ(
        OpenFileWithLanguageAndType(lib.c_str(), "JOB1", "", "JCL", "MAIN", "PDS", "", "", 0, 0),
        FALSE);
    EXPECT_TRUE(LoggedNumbers().empty());
    KVRU940_InitializeFields(); // per member: everything empty again
    EXPECT_EQ(kvr::OpenMemberCount(), 0);
    EXPECT_EQ(kvr::ReferencedSourceCount(), 0);
}

TEST_F(SourceTest, SixteenOpenMembersAtMost) {
    std::string lib = Container("LIB", {{"M", "X\n"}});
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(OpenMain(lib, "M"), TRUE) << i;
    EXPECT_EQ(OpenMain(lib, "M"), FALSE);
    EXPECT_EQ(kvr::OpenMemberCount(), 16);
    // The open members are reported, then 1306.
    std::vector<int> expected{1100};
    expected.insert(expected.end(), 16, 1101);
    expected.insert(expected.end(), {1102, 1306});
    EXPECT_EQ(LoggedNumbers(), expected);
    EXPECT_EQ(LogLines().at(1), "KVR1101I  " + lib + "/M");
    EXPECT_EQ(KVRU005(), 4);
    CloseAnyRemainingFiles(0, 0);
    EXPECT_EQ(kvr::OpenMemberCount(), 0);
}

TEST_F(SourceTest, TwoHundredReferencedSourcesAtMost) {
    std::vector<std::pair<std::string, std::string>> members;
    for (int i = 0; i <= 200; ++i)
        members.emplace_back("M" + std::to_string(i), "X\n");
    std::string lib = Container("LIB", members);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(OpenMain(lib, "M" + std::to_string(i)), TRUE) << i;
        CloseAnyRemainingFiles(0, 0);
    }
    EXPECT_EQ(OpenMain(lib, "M200"), FALSE);
    EXPECT_EQ(LoggedNumbers(), std::vector<int>{1307});
    EXPECT_EQ(kvr::OpenMemberCount(), 0);
    EXPECT_EQ(OpenMain(lib, "M7"), TRUE); // a known source still opens
    EXPECT_EQ(kvr::OpenMemberSource(0), 7);
}

// A -INC directive read in place, its final period dropped, is pinned by the golden case
// text_include_directive; here the ++INCLUDE form and a member that is not found.
TEST_F(SourceTest, IncludeDirectives) {
    Container("MAINLIB", {{"JOB1", "1234567++INCLUDE INCMEM  \n-INC MISSING\nLAST\n"}});
    std::string inc = Container("INCLIB", {{"INCMEM", "\nINC1\n"}});
    kvr::AddTranslationForTests("MY.INCLIB", inc.c_str());
    ASSERT_EQ(AddToJobList("MY.INCLIB", "", 0, 1, 0), TRUE);
    ASSERT_EQ(OpenMain(dir_.File("MAINLIB"), "JOB1"), TRUE);
    std::vector<SourceLine> lines = ReadAll();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_STREQ(lines[0].SourceText, "INC1");
    EXPECT_EQ(lines[0].FileReference, 1);
    EXPECT_EQ(lines[0].fileLine, 2);
    EXPECT_STREQ(kvr::ReferencedSourceAt(1)->fileTypeCd, "INCL");
    EXPECT_STREQ(lines[1].SourceText, "LAST");
    EXPECT_EQ(lines[1].fileLine, 3);
    // The missing member is reported at the directive's position; reading went on.
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "KVR1470I  Warning in member JOB1 at line 2:",
                              "KVR1309W  Member MISSING was not found in any library of the "
                              "search list."}));

    // With the highest severity above 4 after the search the read answers FALSE.
    std::string lib = Container("LIB", {{"M", "-INC NOSUCH\nNEXT\n"}});
    ASSERT_EQ(OpenMain(lib, "M"), TRUE);
    SetMaximumSeverity(8);
    SourceLine line{};
    EXPECT_EQ(ReadNextLine(&line, 0, 0), FALSE);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1470, 1309, 1470, 1309}));
    ResetMaximumSeverity();
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "NEXT");
}

} // namespace
