// Placing inserts into catalog texts: which markers are replaced, and that the result always
// fits the caller's buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "services/messages.h"

namespace {

std::string Format(const char* text, std::vector<const char*> inserts, size_t outSize = 512) {
    std::vector<char> out(outSize + 1, '#');
    const size_t length =
        kvr::FormatMessageInserts(text, inserts.data(), inserts.size(), out.data(), outSize);
    EXPECT_EQ(out[outSize], '#') << "wrote past the buffer";
    if (outSize == 0) {
        EXPECT_EQ(length, 0u);
        return {};
    }
    EXPECT_EQ(std::strlen(out.data()), length);
    return std::string(out.data());
}

TEST(MessageFormat, PercentSequences) {
    EXPECT_EQ(Format("100%% done", {}), "100% done");
    EXPECT_EQ(Format("%%1 is literal", {"X"}), "%1 is literal");
    EXPECT_EQ(Format("%5 %0 %n %x 50%", {"a", "b", "c", "d"}), "%5 %0 %n %x 50%");
    // Inserts are placed as they are, not formatted again.
    EXPECT_EQ(Format("%1 %2", {"%2", "B"}), "%2 B");
    EXPECT_EQ(Format(nullptr, {"A"}), "");
}

TEST(MessageFormat, ResultIsCutToTheBuffer) {
    EXPECT_EQ(Format("abcdefgh", {}, 6), "abcde");
    EXPECT_EQ(Format("x%1y", {"123456"}, 5), "x123");
    EXPECT_EQ(Format("ab%%", {}, 3), "ab");
    EXPECT_EQ(Format("abc", {}, 1), "");
    EXPECT_EQ(Format("abc", {}, 0), "");
    const std::string big(600, 'i');
    EXPECT_EQ(Format("<%1>", {big.c_str()}), "<" + big.substr(0, 510));
}

} // namespace
