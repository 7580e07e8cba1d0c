// Tests of PL/I picture counting: the documented pictures, every character rule, the
// length bound and the repetition factors that make a picture unreadable.
#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Case {
    const char* picture;
    int usLen; // -1: the picture's length
    int precision, scale;
};

// Counts a picture held in a buffer of exactly its bytes; with terminate, the terminator is
// kept and the bound lies far beyond it. Any read past the buffer is caught by the sanitizer.
void Check(const Case& c, bool terminate) {
    const size_t length = std::strlen(c.picture);
    std::vector<char> bytes(c.picture, c.picture + length + (terminate ? 1 : 0));
    const int usLen = terminate ? 500 : c.usLen < 0 ? static_cast<int>(length) : c.usLen;
    uint16_t precision = 77, scale = 77;
    KVRCountPLIPIC(bytes.data(), static_cast<uint16_t>(usLen), &precision, &scale);
    EXPECT_EQ(precision, c.precision) << c.picture << " " << usLen;
    EXPECT_EQ(scale, c.scale) << c.picture << " " << usLen;
}

TEST(PliPictureTest, PicturesCharacterRulesAndRepetitionFactors) {
    // clang-format off
    const Case cases[] = {
        // Documented pictures.
        {"99V99", -1, 4, 2}, {"9(5)V9(3)", -1, 8, 3}, {"$$$9.99", -1, 5, 0},
        {"S999V99CR", -1, 5, 2}, {"ZZ,ZZ9", -1, 5, 0}, {"99X", -1, 0, 0},
        {"99V99E+99", -1, 4, 2}, {"99999", 2, 2, 0}, {"", -1, 0, 0}, {"999", 0, 0, 0},
        // Character rules: each sign after the first is a position; inserted text counts
        // nothing and, unclosed, runs to the end; stopping leaves the rest unread.
        {"*Y9TIR>", -1, 7, 0}, {"zyvtir", -1, 5, 3}, {"9,9.9/9B9b9", -1, 6, 0},
        {"++9", -1, 2, 0}, {"--s-9", -1, 4, 0}, {"9<AB9>99", -1, 3, 0}, {"99<AB9", -1, 2, 0},
        {"99cr", -1, 2, 0}, {"99DB", -1, 2, 0}, {"99db", -1, 2, 0}, {"99C", -1, 0, 0},
        {"99CX", -1, 0, 0}, {"99DR", -1, 0, 0}, {"99CR", 3, 0, 0}, {"9V9F99", -1, 2, 1},
        {"9k99", -1, 1, 0}, {"9e9X", -1, 1, 0}, {"9 9", -1, 0, 0},
        // Repetition factors: $(3)9 is like $$$9; the adjustment is made whatever came before.
        {"Z(3)9V9(2)", -1, 6, 2}, {"$(3)9", -1, 3, 0}, {"(3)9", -1, 3, 0},
        {"9(000000012)", -1, 12, 0}, {"9(0A)", -1, 0, 0}, {"9(1234567890)", -1, 0, 0},
        {"9(0000000012)", -1, 0, 0}, {"9(", -1, 0, 0}, {"9(12", -1, 0, 0}, {"9()", -1, 0, 0},
        {"9(-3)", -1, 0, 0}, {"9( 3)", -1, 0, 0}, {"9(5)", 3, 0, 0}, {"9(5)", 4, 5, 0},
        // A count that a 16-bit result cannot hold is not reported as a smaller one.
        {"9(70000)", -1, 0, 0}, {"9(65535)", -1, 65535, 0}};
    // Unfinished constructs at the terminator: nothing after it is read.
    const Case terminated[] = {{"99<AB", 0, 2, 0}, {"9<", 0, 1, 0}, {"9(12", 0, 0, 0},
                               {"99C", 0, 0, 0}, {"99D", 0, 0, 0}, {"S9V9", 0, 2, 1}};
    // clang-format on
    for (const Case& c : cases)
        Check(c, false);
    for (const Case& c : terminated)
        Check(c, true);
}

TEST(PliPictureTest, NullArguments) {
    uint16_t precision = 5, scale = 5;
    KVRCountPLIPIC(nullptr, 10, &precision, &scale);
    EXPECT_TRUE(precision == 0 && scale == 0);
    KVRCountPLIPIC("99V9", 4, nullptr, &scale);
    EXPECT_EQ(scale, 1);
    KVRCountPLIPIC("99V9", 4, &precision, nullptr);
    EXPECT_EQ(precision, 3);
    KVRCountPLIPIC("99V9", 4, nullptr, nullptr);
}

} // namespace
