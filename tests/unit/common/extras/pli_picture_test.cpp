// Tests of PL/I picture counting: the documented pictures, every character rule, the
// length bound and the repetition factors that make a picture unreadable.
#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

using Counts = std::pair<int, int>;

// Counts a picture held in a buffer of exactly its bytes (no terminator), so that any read
// past usLen is caught by the address sanitizer.
Counts Count(const char* picture, int usLen = -1) {
    std::vector<char> bytes(picture, picture + std::strlen(picture));
    if (usLen < 0) usLen = static_cast<int>(bytes.size());
    uint16_t precision = 77;
    uint16_t scale = 77;
    KVRCountPLIPIC(bytes.data(), static_cast<uint16_t>(usLen), &precision, &scale);
    return {precision, scale};
}

// Counts a picture held with its terminator in a buffer of exactly that size, with a bound
// far beyond it: the terminator alone must end every scan.
Counts CountTerminated(const char* picture) {
    std::vector<char> bytes(picture, picture + std::strlen(picture) + 1);
    uint16_t precision = 77;
    uint16_t scale = 77;
    KVRCountPLIPIC(bytes.data(), 500, &precision, &scale);
    return {precision, scale};
}

TEST(PliPictureTest, DocumentedPictures) {
    EXPECT_EQ(Count("99V99"), Counts(4, 2));
    EXPECT_EQ(Count("9(5)V9(3)"), Counts(8, 3));
    EXPECT_EQ(Count("$$$9.99"), Counts(5, 0));
    EXPECT_EQ(Count("S999V99CR"), Counts(5, 2));
    EXPECT_EQ(Count("ZZ,ZZ9"), Counts(5, 0));
    EXPECT_EQ(Count("99X"), Counts(0, 0));
    EXPECT_EQ(Count("99V99E+99"), Counts(4, 2));
    EXPECT_EQ(Count("99999", 2), Counts(2, 0));
}

TEST(PliPictureTest, CharacterRules) {
    EXPECT_EQ(Count("*Y9TIR>"), Counts(7, 0));
    EXPECT_EQ(Count("zyvtir"), Counts(5, 3));
    EXPECT_EQ(Count("9,9.9/9B9b9"), Counts(6, 0));
    EXPECT_EQ(Count("++9"), Counts(2, 0));
    EXPECT_EQ(Count("--s-9"), Counts(4, 0));    // each sign after the first is a position
    EXPECT_EQ(Count("9<AB9>99"), Counts(3, 0)); // inserted text counts nothing
    EXPECT_EQ(Count("99<AB9"), Counts(2, 0));   // unclosed inserted text runs to the end
    EXPECT_EQ(Count("99cr"), Counts(2, 0));
    EXPECT_EQ(Count("99DB"), Counts(2, 0));
    EXPECT_EQ(Count("99db"), Counts(2, 0));
    EXPECT_EQ(Count("99C"), Counts(0, 0));
    EXPECT_EQ(Count("99CX"), Counts(0, 0));
    EXPECT_EQ(Count("99DR"), Counts(0, 0));
    EXPECT_EQ(Count("99CR", 3), Counts(0, 0)); // the R lies beyond the bound
    EXPECT_EQ(Count("9V9F99"), Counts(2, 1));
    EXPECT_EQ(Count("9k99"), Counts(1, 0));
    EXPECT_EQ(Count("9e9X"), Counts(1, 0)); // stopping leaves the rest unread
    EXPECT_EQ(Count("9 9"), Counts(0, 0));
}

TEST(PliPictureTest, RepetitionFactors) {
    EXPECT_EQ(Count("Z(3)9V9(2)"), Counts(6, 2));
    EXPECT_EQ(Count("$(3)9"), Counts(3, 0)); // like $$$9: the first $ is not a position
    EXPECT_EQ(Count("(3)9"), Counts(3, 0));  // the adjustment is made whatever came before
    EXPECT_EQ(Count("9(000000012)"), Counts(12, 0));
    EXPECT_EQ(Count("9(0A)"), Counts(0, 0));
    EXPECT_EQ(Count("9(1234567890)"), Counts(0, 0));
    EXPECT_EQ(Count("9(0000000012)"), Counts(0, 0));
    EXPECT_EQ(Count("9("), Counts(0, 0));
    EXPECT_EQ(Count("9(12"), Counts(0, 0));
    EXPECT_EQ(Count("9()"), Counts(0, 0));
    EXPECT_EQ(Count("9(-3)"), Counts(0, 0));
    EXPECT_EQ(Count("9( 3)"), Counts(0, 0));
    EXPECT_EQ(Count("9(5)", 3), Counts(0, 0)); // the bound cuts inside the factor
    EXPECT_EQ(Count("9(5)", 4), Counts(5, 0));
    // A count that a 16-bit result cannot hold is not reported as a smaller one.
    EXPECT_EQ(Count("9(70000)"), Counts(0, 0));
    EXPECT_EQ(Count("9(65535)"), Counts(65535, 0));
}

TEST(PliPictureTest, EmptyBoundsAndNullArguments) {
    EXPECT_EQ(Count(""), Counts(0, 0));
    EXPECT_EQ(Count("999", 0), Counts(0, 0));
    uint16_t precision = 5;
    uint16_t scale = 5;
    KVRCountPLIPIC(nullptr, 10, &precision, &scale);
    EXPECT_EQ(precision, 0);
    EXPECT_EQ(scale, 0);
    KVRCountPLIPIC("99V9", 100, &precision, &scale); // the terminator ends the scan
    EXPECT_EQ(precision, 3);
    EXPECT_EQ(scale, 1);
    KVRCountPLIPIC("99V9", 4, nullptr, &scale);
    EXPECT_EQ(scale, 1);
    KVRCountPLIPIC("99V9", 4, &precision, nullptr);
    EXPECT_EQ(precision, 3);
    KVRCountPLIPIC("99V9", 4, nullptr, nullptr);

    // Unfinished constructs at the terminator: nothing after it is read.
    EXPECT_EQ(CountTerminated("99<AB"), Counts(2, 0));
    EXPECT_EQ(CountTerminated("9<"), Counts(1, 0));
    EXPECT_EQ(CountTerminated("9(12"), Counts(0, 0));
    EXPECT_EQ(CountTerminated("99C"), Counts(0, 0));
    EXPECT_EQ(CountTerminated("99D"), Counts(0, 0));
    EXPECT_EQ(CountTerminated("S9V9"), Counts(2, 1));
}

} // namespace
