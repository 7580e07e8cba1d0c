// String utilities: owned copies and their blocks, in-place trimming and its fatal
// limit, blank tests, index and region searches within their 512-character window,
// substrings and quote stripping, none of which may read past a terminator.
#include "services/memory_blocks.h"

#include "common/services/message_log_capture.h"

#include "kvrbase.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

using kvr::test::Outstanding;

// Texts are held in buffers of exactly their size, so a sanitizer run catches any read
// past the terminator.
std::string Trimmed(std::string text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    EXPECT_EQ(buffer.data(), trim(buffer.data()));
    return buffer.data();
}
std::string Stripped(const std::string& text) {
    std::vector<char> in(text.begin(), text.end());
    in.push_back('\0');
    std::vector<char> out(text.size() + 1, 'Z');
    StripQuotes(in.data(), out.data());
    return out.data();
}

TEST(Strings, CloneTrimAndStripQuotes) {
    const int32_t before = Outstanding();
    const char original[] = "DSN=A.B";
    char* copy = CloneString(original, 0);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(original, copy);
    EXPECT_STREQ(original, copy);
    EXPECT_EQ(1, Outstanding() - before);
    FreeString(copy, 0);
    FreeString(nullptr, 0);
    EXPECT_EQ(before, Outstanding());

    // An unterminated quote takes the rest of the text and stops at its terminator.
    const std::string x509(509, 'x');
    const std::pair<std::string, std::string> trims[] = {{" \t\r\n a b \r\n\t ", "a b"},
                                                         {"", ""},
                                                         {" \t \r\n", ""},
                                                         {"x \t y", "x \t y"},
                                                         {" " + x509 + " ", x509}};
    for (const auto& [text, expected] : trims)
        EXPECT_EQ(expected, Trimmed(text)) << text;
    // clang-format off
    const std::pair<const char*, const char*> strips[] = {
        {"'  A B  ' rest", "A B"}, {"\"X\"", "X"}, {"'A\"B' C", "A\"B"}, {"\"A'B\"", "A'B"},
        {"''", ""}, {"'   '", ""}, {"ABC DEF", "ABC"}, {"ABC", "ABC"}, {" ABC", ""}, {"", ""},
        {"'AB", "AB"}, {"' AB ", "AB"}, {"'", ""}};
    // clang-format on
    for (const auto& [text, expected] : strips)
        EXPECT_EQ(expected, Stripped(text)) << text;
}

TEST(StringsDeathTest, TrimRefusesTextsOf512CharactersOrMore) {
    // Standard output is sent to standard error so the death test can see the text.
    auto trimOnStderr = [](size_t length) {
        ::dup2(2, 1);
        std::string text(length, ' ');
        trim(text.data());
        std::exit(0);
    };
    EXPECT_EXIT(trimOnStderr(512), testing::ExitedWithCode(20), "^trim\\(\\) Fatal Error\n$");
    EXPECT_EXIT(trimOnStderr(511), testing::ExitedWithCode(0), "^$");
}

TEST(Strings, SearchesAndTests) {
    std::string wide(600, 'x');
    wide[530] = ',';
    std::string wideAt511 = wide;
    wideAt511[511] = ',';
    // Only the first 512 characters of a region are compared.
    const std::string left(600, 'a');
    std::string right550 = left, right500 = left;
    right550[550] = 'b';
    right500[500] = 'b';
    const std::string blankCard = std::string(72, ' ') + "00010000";
    const std::string markedCard = std::string(71, ' ') + "X";
    // clang-format off
    const std::pair<int32_t, int32_t> cases[] = {
        {indexOf("A,B,C", ',', 0), 1}, {indexOf("A,B,C", ',', 2), 3},
        {indexOf("A,B,C", ',', -5), 1}, {indexOf("A,B,C", ',', 4), -1},
        {indexOf("A,B,C", ',', 100), -1}, {indexOf("ABC", 'X', 0), -1},
        {indexOf(wide.c_str(), ',', 0), -1}, {indexOf(wideAt511.c_str(), ',', 0), 511},
        {lastIndexOf("A,B,C", ','), 3}, {lastIndexOf("A,B,C", 'A'), 0},
        {lastIndexOf("A,B,C", 'X'), -1}, {lastIndexOf("", 'X'), -1},
        {lastIndexOfWithStart("A,B,C", ',', 2), 1}, {lastIndexOfWithStart("A,B,C", ',', 3), 3},
        {lastIndexOfWithStart("A,B,C", ',', 100), 3}, {lastIndexOfWithStart("A,B,C", ',', 0), -1},
        {lastIndexOfWithStart("A,B,C", 'A', -1), -1},
        {regionMatches("HELLO", 1, "XELLX", 1, 3), TRUE},
        {regionMatches("HELLO", 1, "XELLX", 1, 4), FALSE},
        {regionMatches("HELLO", 3, "LOL", 0, 3), FALSE}, // runs past the first string
        {regionMatches("HELLO", 0, "HE", 0, 3), FALSE},  // runs past the second string
        {regionMatches("HELLO", -1, "HELLO", 0, 1), FALSE},
        {regionMatches("HELLO", 0, "HELLO", -1, 1), FALSE},
        {regionMatches("HELLO", 5, "", 0, 0), TRUE}, {regionMatches("HELLO", 2, "ABC", 1, -1), TRUE},
        {regionMatches("hello", 0, "HELLO", 0, 5), FALSE},
        {regionMatches(left.c_str(), 0, right550.c_str(), 0, 600), TRUE},
        {regionMatches(left.c_str(), 0, right500.c_str(), 0, 600), FALSE},
        {endsWith("JOB.JCL", ".JCL"), TRUE}, {endsWith("JOB.JCL", ".jcl"), FALSE},
        {endsWith("JCL", "A.JCL"), FALSE}, {endsWith("JOB.JCL", ""), TRUE},
        {endsWith("JOB.JCL", nullptr), FALSE},
        {isBlankSourceLine(""), TRUE}, {isBlankSourceLine(" \t\r\n"), TRUE},
        {isBlankSourceLine(blankCard.c_str()), TRUE}, {isBlankSourceLine(markedCard.c_str()), FALSE},
        {isBlankSourceLine("//"), FALSE},
        {startsWith("ABC", 'A'), 1}, {startsWith("ABC", 'B'), 0}, {startsWith("", 'A'), 0}};
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].second, cases[i].first) << "case " << i;

    const char text[] = " \t\r\nX Y";
    EXPECT_EQ(text + 4, SkipBlanks(text));
    char words[] = "AB CD", leading[] = " AB", tabbed[] = "A\tB";
    EXPECT_EQ(words, CutOffSpaces(words));
    EXPECT_STREQ("AB", words);
    EXPECT_STREQ("", CutOffSpaces(leading));
    EXPECT_STREQ("A\tB", CutOffSpaces(tabbed));

    // Substrings never run past the end of the source text.
    char out[16];
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(out, substring(out, "ABCDEF", 2, 3));
    EXPECT_STREQ("CDE", out);
    EXPECT_STREQ("", substring(out, "ABCDEF", 1, 0));
    EXPECT_STREQ("EF", substring(out, "ABCDEF", 4, 10));
    EXPECT_STREQ("", substring(out, "ABCDEF", 6, 2));
    EXPECT_STREQ("", substring(out, "ABCDEF", 9, 2));
}

TEST(StringsDeathTest, CloneStringEndsTheProcessWhenMemoryIsOut) {
    // The log goes to standard error in the child; its identifier names message 1450.
    const std::string identifier = kvr::test::MessageLine(1450).substr(0, 8);
    ASSERT_EQ(8u, identifier.size());
    EXPECT_EXIT(
        {
            KVRCloseLogFile();
            KVROpenLogFile(TRUE, 0);
            kvr::FailNthBlockCreation(1);
            CloneString("X", 0);
            std::exit(0);
        },
        testing::ExitedWithCode(8), identifier);
}

// A program that must end its output in its own way sets a handler; kvrbase calls it
// instead of ending the process itself.
TEST(StringsDeathTest, CloneStringCallsTheProgramsHandlerWhenMemoryIsOut) {
    EXPECT_EXIT(
        {
            KVRSetOutOfMemoryHandler([] {
                std::fputs("the program's own end\n", stderr);
                std::_Exit(21);
            });
            kvr::FailNthBlockCreation(1);
            CloneString("X", 0);
            std::exit(0);
        },
        testing::ExitedWithCode(21), "the program's own end");
}

} // namespace
