// The open-member stack and line reading: line numbers and lengths, leading empty lines,
// line ends, long lines, the Velkor blanks, logical end, the include directives and the
// limits of the stack and of the referenced-source table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;

std::string Text(const SourceLine& line) {
    return std::string(line.SourceText, static_cast<size_t>(line.lineLength));
}

TEST_F(SourceTest, LinesAreNumberedFromTheFileWithLeadingEmptyLinesSkipped) {
    std::string lib = Container("LIB", {{"JOB1", "\n\n\n//JOB1 JOB\n\n// EXEC PGM=X"}});
    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE);
    SOURCE_REF current = -5;
    EXPECT_EQ(GetCurrentSourceReference(&current), TRUE);
    EXPECT_EQ(current, 0);

    std::vector<SourceLine> lines = ReadAll();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Text(lines[0]), "//JOB1 JOB");
    EXPECT_EQ(lines[0].fileLine, 4);
    EXPECT_EQ(lines[0].FileReference, 0);
    EXPECT_EQ(lines[1].lineLength, 0); // a later empty line is delivered
    EXPECT_EQ(lines[1].fileLine, 5);
    EXPECT_STREQ(lines[1].SourceText, "");
    EXPECT_EQ(Text(lines[2]), "// EXEC PGM=X"); // last line without a line feed
    EXPECT_EQ(lines[2].fileLine, 6);

    EXPECT_EQ(GetCurrentSourceReference(&current), FALSE); // the member was popped at its end
    EXPECT_EQ(current, -1);
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(SourceTest, LineEndsLongLinesAndEmbeddedZeroBytes) {
    std::string col81(81, 'A');
    std::string col85 = std::string(81, 'B') + "CDEF";
    std::string withZero("AB\0C", 4);
    std::string lib = Container("LIB", {{"CRLF", "A\r\nBB\r\n" + col81 + "\r\nZ\r\n"},
                                        {"LONG", col81 + "\n" + col85 + "\n" + withZero + "\n"}});
    ASSERT_EQ(OpenMain(lib, "CRLF"), TRUE);
    std::vector<SourceLine> lines = ReadAll();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Text(lines[0]), "A");
    EXPECT_EQ(Text(lines[1]), "BB");
    EXPECT_EQ(Text(lines[2]), col81); // 81 characters and CR LF are one line
    EXPECT_EQ(Text(lines[3]), "Z");
    EXPECT_EQ(lines[3].fileLine, 4);

    ASSERT_EQ(OpenMain(lib, "LONG"), TRUE);
    lines = ReadAll();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Text(lines[0]), col81);
    EXPECT_EQ(lines[1].lineLength, 81); // a longer line is cut after column 81 ...
    EXPECT_EQ(Text(lines[1]), std::string(81, 'B'));
    EXPECT_EQ(Text(lines[2]), "CDEF"); // ... and its rest is the next record
    EXPECT_EQ(lines[2].fileLine, 3);
    EXPECT_EQ(lines[3].lineLength, 4); // embedded zero bytes count
    EXPECT_EQ(std::string(lines[3].SourceText, 4), withZero);
}

TEST_F(SourceTest, VelkorModeAppendsTwoBlanks) {
    std::string col81(81, 'X');
    std::string lib = Container("LIB", {{"M", "ABC\n" + col81 + "\n"}});
    ASSERT_EQ(OpenMain(lib, "M", 2), TRUE);
    std::vector<SourceLine> lines = ReadAll(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_STREQ(lines[0].SourceText, "ABC  ");
    EXPECT_EQ(lines[0].lineLength, 5);
    EXPECT_EQ(std::string(lines[1].SourceText), col81 + "  ");
    EXPECT_EQ(lines[1].lineLength, 83);
}

TEST_F(SourceTest, LogicalEndClosesTheTopMemberAtTheNextRead) {
    KVRU940_SetLogicalEOF(); // nothing open: nothing happens
    std::string lib = Container("LIB", {{"OUTER", "O1\nO2\nO3\n"}, {"INNER", "I1\nI2\n"}});
    ASSERT_EQ(OpenMain(lib, "OUTER"), TRUE);
    SourceLine line{};
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "O1");
    ASSERT_EQ(
        OpenFileWithLanguageAndType(lib.c_str(), "INNER", "", "JCL", "PROC", "NTFS", "", "", 0, 0),
        TRUE);
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "I1");
    EXPECT_EQ(line.FileReference, 1);
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
    // A missing member fails without a message.
    EXPECT_EQ(OpenMain(lib, "NOSUCH"), FALSE);
    EXPECT_EQ(kvr::ReferencedSourceCount(), 0);

    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE);
    ASSERT_EQ(OpenMain(lib, "JOB1"), TRUE); // the same member opened twice
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
    EXPECT_STREQ(source->languageCd, "JCL");
    EXPECT_STREQ(source->fileTypeCd, "MAIN");
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
    std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1], "KVR1101I  " + lib + "/M");
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

TEST_F(SourceTest, IncludeDirectivesOpenTheNamedMember) {
    std::string main = "//JOB1 JOB\n"
                       "-INC COPYMEM.\n"
                       "//S2 EXEC PGM=A\n"
                       "1234567++INCLUDE INCMEM  \n"
                       "-INC MISSING\n"
                       "//S3 EXEC PGM=B\n";
    Container("MAINLIB", {{"JOB1", main}});
    std::string inc = Container("INCLIB", {{"COPYMEM", "\n//COPY1 DD *\n"}, {"INCMEM", "INC1\n"}});
    ASSERT_EQ(AddToJobList(inc.c_str(), "", 0, 1, 0), TRUE);
    ASSERT_EQ(OpenMain(dir_.File("MAINLIB"), "JOB1"), TRUE);

    std::vector<SourceLine> lines = ReadAll();
    std::vector<std::string> texts;
    for (const SourceLine& line : lines)
        texts.push_back(line.SourceText);
    EXPECT_EQ(texts, (std::vector<std::string>{"//JOB1 JOB", "//COPY1 DD *", "//S2 EXEC PGM=A",
                                               "INC1", "//S3 EXEC PGM=B"}));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1].FileReference, 1);
    EXPECT_EQ(lines[1].fileLine, 2);
    EXPECT_EQ(lines[2].FileReference, 0);
    EXPECT_EQ(lines[2].fileLine, 3);
    EXPECT_EQ(lines[4].fileLine, 6);
    const kvr::ReferencedSource* copy = kvr::ReferencedSourceAt(1);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->fileName, "COPYMEM");
    EXPECT_STREQ(copy->fileTypeCd, "INCL");
    // The missing member is reported at the directive's position; reading went on.
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "KVR1470I  Warning in member JOB1 at line 5:");
    EXPECT_EQ(log[1], "KVR1309W  Member MISSING was not found in any library of the search list.");
}

TEST_F(SourceTest, ReadingStopsWhenAnIncludeSearchEndsWithAnError) {
    // The search happens; with the highest severity above 4 the read answers FALSE.
    std::string lib = Container("LIB", {{"M", "-INC NOSUCH\nNEXT\n"}});
    ASSERT_EQ(OpenMain(lib, "M"), TRUE);
    SetMaximumSeverity(8);
    SourceLine line{};
    EXPECT_EQ(ReadNextLine(&line, 0, 0), FALSE);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1470, 1309}));
    ResetMaximumSeverity();
    ASSERT_EQ(ReadNextLine(&line, 0, 0), TRUE);
    EXPECT_STREQ(line.SourceText, "NEXT");
}

} // namespace
