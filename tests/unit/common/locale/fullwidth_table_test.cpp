// Consistency of the full-width table: every form is one double-byte character of its
// code page, and no two characters of a column share a form.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "locale/dbcs.h"

namespace {

constexpr DBCSENV kColumns[] = {DBCSENV_MS932, DBCSENV_MS949, DBCSENV_MS936, DBCSENV_MS950};

TEST(FullWidthTable, FormsAreDistinctDoubleByteCharacters) {
    int missing = 0;
    for (int column = 0; column < 4; ++column) {
        const DBCSENV env = kColumns[column];
        EXPECT_EQ(kvr::FullWidthColumn(env), column);
        std::map<std::string, int> owner;
        for (int ch = 0x20; ch <= 0x7E; ++ch) {
            const char* form = kvr::FullWidthForm(static_cast<unsigned char>(ch), column);
            const size_t length = std::strlen(form);
            if (length == 0) {
                ++missing;
                continue;
            }
            ASSERT_EQ(length, 2u) << "column " << column << " char " << ch;
            EXPECT_TRUE(kvr::IsDbcsLeadByte(env, static_cast<unsigned char>(form[0])))
                << "column " << column << " char " << ch;
            EXPECT_TRUE(owner.emplace(form, ch).second)
                << "column " << column << " chars " << owner[form] << " and " << ch;
        }
        // Second forms must not be another character's first form.
        for (unsigned char ch : {'\'', '"', '^'}) {
            const char* second = kvr::FullWidthSecondForm(ch, column);
            ASSERT_NE(second, nullptr);
            auto found = owner.find(second);
            EXPECT_TRUE(found == owner.end() || found->second == ch) << "column " << column;
        }
    }
    // Only the grave accent lacks a form, and only in Big5.
    EXPECT_EQ(missing, 1);
    EXPECT_STREQ(kvr::FullWidthForm('`', 3), "");
    EXPECT_EQ(kvr::FullWidthSecondForm('A', 0), nullptr);
    EXPECT_STREQ(kvr::FullWidthForm(0x7F, 0), "");
    EXPECT_EQ(kvr::FullWidthColumn(DBCSENV_EBCDIC), -1);
    EXPECT_EQ(kvr::FullWidthColumn(DBCSENV_FALSE), -1);
}

} // namespace
