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
#include <string>
#include <vector>

namespace {

int32_t Outstanding() {
    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    return created - freed;
}

std::string Trimmed(std::string text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    EXPECT_EQ(buffer.data(), trim(buffer.data()));
    return buffer.data();
}

// StripQuotes on a text held in a buffer of exactly its size, so a sanitizer run
// catches any read past the terminator.
std::string Stripped(const std::string& text) {
    std::vector<char> in(text.begin(), text.end());
    in.push_back('\0');
    std::vector<char> out(text.size() + 1, 'Z');
    StripQuotes(in.data(), out.data());
    return out.data();
}

TEST(Strings, CloneAndFreeAreCountedBlocks) {
    const int32_t before = Outstanding();
    const char original[] = "DSN=A.B";
    char* copy = CloneString(original, 0);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(original, copy);
    EXPECT_STREQ(original, copy);
    EXPECT_EQ(1, Outstanding() - before);
    char* empty = CloneString("", 0);
    EXPECT_STREQ("", empty);
    FreeString(copy, 0);
    FreeString(empty, 0);
    FreeString(nullptr, 0);
    EXPECT_EQ(before, Outstanding());

    testing::internal::CaptureStdout();
    FreeString(CloneString("X", 2), 2);
    const std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, trace.find(" CloneString\n"));
    EXPECT_NE(std::string::npos, trace.find(" FreeString\n"));
}

TEST(Strings, TrimRemovesWhiteSpaceAtBothEnds) {
    EXPECT_EQ("a b", Trimmed(" \t\r\n a b \r\n\t "));
    EXPECT_EQ("abc", Trimmed("abc"));
    EXPECT_EQ("", Trimmed(""));
    EXPECT_EQ("", Trimmed(" \t \r\n"));
    EXPECT_EQ("x \t y", Trimmed("x \t y"));
    EXPECT_EQ(std::string(509, 'x'), Trimmed(" " + std::string(509, 'x') + " "));
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
    EXPECT_EXIT(trimOnStderr(600), testing::ExitedWithCode(20), "trim\\(\\) Fatal Error");
    EXPECT_EXIT(trimOnStderr(511), testing::ExitedWithCode(0), "^$");
}

TEST(Strings, BlankSkippingAndCutting) {
    const char text[] = " \t\r\nX Y";
    EXPECT_EQ(text + 4, SkipBlanks(text));
    const char empty[] = "";
    EXPECT_EQ(empty, SkipBlanks(empty));

    char words[] = "AB CD";
    EXPECT_EQ(words, CutOffSpaces(words));
    EXPECT_STREQ("AB", words);
    char leading[] = " AB";
    EXPECT_STREQ("", CutOffSpaces(leading));
    char tabbed[] = "A\tB";
    EXPECT_STREQ("A\tB", CutOffSpaces(tabbed));

    EXPECT_EQ(TRUE, isBlankSourceLine(""));
    EXPECT_EQ(TRUE, isBlankSourceLine(" \t\r\n"));
    EXPECT_EQ(TRUE, isBlankSourceLine((std::string(72, ' ') + "00010000").c_str()));
    EXPECT_EQ(FALSE, isBlankSourceLine((std::string(71, ' ') + "X").c_str()));
    EXPECT_EQ(FALSE, isBlankSourceLine("//"));

    EXPECT_EQ(1, startsWith("ABC", 'A'));
    EXPECT_EQ(0, startsWith("ABC", 'B'));
    EXPECT_EQ(0, startsWith("", 'A'));
}

TEST(Strings, RegionsAndSuffixes) {
    EXPECT_EQ(TRUE, regionMatches("HELLO", 1, "XELLX", 1, 3));
    EXPECT_EQ(FALSE, regionMatches("HELLO", 1, "XELLX", 1, 4));
    EXPECT_EQ(FALSE, regionMatches("HELLO", 3, "LOL", 0, 3)); // runs past the first string
    EXPECT_EQ(FALSE, regionMatches("HELLO", 0, "HE", 0, 3));  // runs past the second string
    EXPECT_EQ(FALSE, regionMatches("HELLO", -1, "HELLO", 0, 1));
    EXPECT_EQ(FALSE, regionMatches("HELLO", 0, "HELLO", -1, 1));
    EXPECT_EQ(TRUE, regionMatches("HELLO", 5, "", 0, 0));
    EXPECT_EQ(TRUE, regionMatches("HELLO", 2, "ABC", 1, -1));
    EXPECT_EQ(FALSE, regionMatches("hello", 0, "HELLO", 0, 5));
    // Only the first 512 characters of a region are compared.
    const std::string left = std::string(600, 'a');
    std::string right = left;
    right[550] = 'b';
    EXPECT_EQ(TRUE, regionMatches(left.c_str(), 0, right.c_str(), 0, 600));
    right[500] = 'b';
    EXPECT_EQ(FALSE, regionMatches(left.c_str(), 0, right.c_str(), 0, 600));

    EXPECT_EQ(TRUE, endsWith("JOB.JCL", ".JCL"));
    EXPECT_EQ(FALSE, endsWith("JOB.JCL", ".jcl"));
    EXPECT_EQ(FALSE, endsWith("JCL", "A.JCL"));
    EXPECT_EQ(TRUE, endsWith("JOB.JCL", ""));
    EXPECT_EQ(TRUE, endsWith("JCL", "JCL"));
    EXPECT_EQ(FALSE, endsWith("JOB.JCL", nullptr));
}

TEST(Strings, IndexSearches) {
    EXPECT_EQ(1, indexOf("A,B,C", ',', 0));
    EXPECT_EQ(3, indexOf("A,B,C", ',', 2));
    EXPECT_EQ(1, indexOf("A,B,C", ',', -5));
    EXPECT_EQ(-1, indexOf("A,B,C", ',', 4));
    EXPECT_EQ(-1, indexOf("A,B,C", ',', 100));
    EXPECT_EQ(-1, indexOf("ABC", 'X', 0));
    std::string wide(600, 'x');
    wide[530] = ',';
    EXPECT_EQ(-1, indexOf(wide.c_str(), ',', 0)); // beyond the 512-character window
    wide[511] = ',';
    EXPECT_EQ(511, indexOf(wide.c_str(), ',', 0));

    EXPECT_EQ(3, lastIndexOf("A,B,C", ','));
    EXPECT_EQ(0, lastIndexOf("A,B,C", 'A'));
    EXPECT_EQ(-1, lastIndexOf("A,B,C", 'X'));
    EXPECT_EQ(-1, lastIndexOf("", 'X'));
    EXPECT_EQ(1, lastIndexOfWithStart("A,B,C", ',', 2));
    EXPECT_EQ(3, lastIndexOfWithStart("A,B,C", ',', 3));
    EXPECT_EQ(3, lastIndexOfWithStart("A,B,C", ',', 100));
    EXPECT_EQ(-1, lastIndexOfWithStart("A,B,C", ',', 0));
    EXPECT_EQ(-1, lastIndexOfWithStart("A,B,C", 'A', -1));
}

TEST(Strings, SubstringCopiesAndTerminates) {
    char out[16];
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(out, substring(out, "ABCDEF", 2, 3));
    EXPECT_STREQ("CDE", out);
    EXPECT_STREQ("", substring(out, "ABCDEF", 1, 0));
    EXPECT_STREQ("ABCDEF", substring(out, "ABCDEF", 0, 6));
    // Never past the end of the source text.
    EXPECT_STREQ("EF", substring(out, "ABCDEF", 4, 10));
    EXPECT_STREQ("", substring(out, "ABCDEF", 6, 2));
    EXPECT_STREQ("", substring(out, "ABCDEF", 9, 2));
}

TEST(Strings, StripQuotesTakesTheQuotedTextOrTheFirstWord) {
    EXPECT_EQ("A B", Stripped("'  A B  ' rest"));
    EXPECT_EQ("X", Stripped("\"X\""));
    EXPECT_EQ("A\"B", Stripped("'A\"B' C"));
    EXPECT_EQ("A'B", Stripped("\"A'B\""));
    EXPECT_EQ("", Stripped("''"));
    EXPECT_EQ("", Stripped("'   '"));
    EXPECT_EQ("ABC", Stripped("ABC DEF"));
    EXPECT_EQ("ABC", Stripped("ABC"));
    EXPECT_EQ("", Stripped(" ABC"));
    EXPECT_EQ("", Stripped(""));
    // An unterminated quote takes the rest of the text and stops at its terminator.
    EXPECT_EQ("AB", Stripped("'AB"));
    EXPECT_EQ("AB", Stripped("' AB "));
    EXPECT_EQ("", Stripped("'"));
}

TEST(StringsDeathTest, CloneStringEndsTheProcessWhenMemoryIsOut) {
    // The log goes to standard error in the child; its identifier names message 1450.
    const std::string identifier = kvr::test::MessageLine(1450).substr(0, 8);
    ASSERT_EQ(8u, identifier.size());
    for (char c : identifier)
        ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << identifier;
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

} // namespace
