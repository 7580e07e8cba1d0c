// The double-byte environment: code-page aliases, recognising the full-width forms of
// ASCII characters, and the repair of control bytes in a text.
#include <gtest/gtest.h>

#include <string>

#include "kvrbase.h"
#include "locale/locale.h"

namespace {

KVRDBCSHDL HandleFor(const char* codePage) {
    KVRDBCSHDL handle{};
    KVRDBCS_SetEnvironment(&handle, codePage);
    return handle;
}

TEST(DbcsEnvironment, AliasesAreNormalisedToTheirCanonicalName) {
    struct Case {
        const char* given;
        DBCSENV env;
        const char* stored;
    };
    const Case cases[] = {
        {"ms-932", DBCSENV_MS932, "CP943"},   {"Shift_JIS", DBCSENV_MS932, "CP943"},
        {"zok943", DBCSENV_MS932, "CP943"},   {"ksc", DBCSENV_MS949, "CP1363"},
        {"MS949", DBCSENV_MS949, "CP1363"},   {"windows-936", DBCSENV_MS936, "CP1386"},
        {"cp_1386", DBCSENV_MS936, "CP1386"}, {"Zok-950", DBCSENV_MS950, "CP950"},
        {"CP1252", DBCSENV_FALSE, "CP1252"},  {"ms-1252", DBCSENV_FALSE, "ms-1252"},
        {"MS932 ", DBCSENV_FALSE, "MS932 "},  {"", DBCSENV_FALSE, ""},
    };
    for (const Case& c : cases) {
        KVRDBCSHDL handle = HandleFor(c.given);
        EXPECT_EQ(KVRDBCS_GetEnvironment(&handle), c.env) << c.given;
        EXPECT_STREQ(KVRDBCS_GetCodepage(&handle), c.stored) << c.given;
    }
    KVRDBCSHDL handle = HandleFor("SJIS");
    KVRDBCS_SetEnvironment(&handle, nullptr);
    EXPECT_EQ(handle.DBCSEnv, DBCSENV_FALSE);
    EXPECT_STREQ(handle.chcodepage, "");
    // A long name is kept to 63 characters and terminated.
    handle = HandleFor(std::string(70, 'X').c_str());
    EXPECT_EQ(std::string(handle.chcodepage), std::string(63, 'X'));
    EXPECT_TRUE(IsMS936Environment(&(handle = HandleFor("MS936"))));
    EXPECT_FALSE(IsMS950Environment(&handle));
    EXPECT_TRUE(IsMS949Environment(&(handle = HandleFor("MS949"))));
    EXPECT_FALSE(IsMS936Environment(&handle));

    // A null handle means the process handle.
    kvr::ResetLocaleForTests();
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_FALSE); // nothing chosen yet
    KVRDBCS_SetEnvironment(nullptr, "ms-950");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS950);
    EXPECT_STREQ(KVRDBCS_GetCodepage(nullptr), "CP950");
    EXPECT_TRUE(IsMS950Environment(nullptr));
    EXPECT_EQ(KVRDBCS_IsDBCS(nullptr, "\xA2\xCF", "A"), 'A');
    kvr::ResetLocaleForTests();
}

// The list of characters ends at a control or a byte above 0x7E; one byte is no character.
// House forms replace a code page's usual ones (SJIS 0x818F for the backslash, not 0x815F);
// apostrophe, quotation mark and circumflex have second forms.
TEST(DbcsIsDbcs, FullWidthFormsOfListedCharacters) {
    struct Case {
        const char* codePage;
        const char* text;
        const char* chars;
        int expected;
    };
    const Case cases[] = {
        {"SJIS", "\x82\x60rest", "xyzA", 'A'}, {"SJIS", "\x82\x60", "xyz", 0},
        {"SJIS", "\x82\x60", "\001A", 0},      {"SJIS", "\x82\x60", "A\001", 'A'},
        {"SJIS", "\x82\x60", "\202A", 0},      {"SJIS", "\x82", "A", 0},
        {"SJIS", "\x81\x40", " ,", ' '},       {"SJIS", "\x81\x43", " ,", ','},
        {"SJIS", "\x82\x4F", "0", '0'},        {"SJIS", "\x81\x8F", "\\", '\\'},
        {"SJIS", "\x81\x5F", "\\", 0},         {"SJIS", "\x81\x50", "~", '~'},
        {"SJIS", "\xFA\x57", "\"", '"'},       {"SJIS", "\xFA\x56", "'", '\''},
        {"SJIS", "\x81\x66", "'", '\''},       {"SJIS", "\x81\x68", "\"", '"'},
        {"SJIS", "\xFA\x54", "^", '^'},        {"SJIS", "\x81\x4F", "^", '^'},
        {"SJIS", "\x81\x66", "A", 0},          {"KSC", "\xA3\xC1", "A", 'A'},
        {"KSC", "\xA1\x40", " ", ' '},         {"KSC", "\xA1\xA1", " ", 0},
        {"KSC", "\xA3\xDC", "\\", '\\'},       {"KSC", "\xA1\xFE", "^", '^'},
        {"KSC", "\xA3\xDE", "^", '^'},         {"KSC", "\xA1\xAF", "'", '\''},
        {"MS936", "\xA3\xC1", "A", 'A'},       {"MS936", "\xA3\xA4", "$", '$'},
        {"MS936", "\xA1\xA1", " ", ' '},       {"MS936", "\xA9\x56", "^", '^'},
        {"MS936", "\xA3\xFE", "~", '~'},       {"MS950", "\xA2\xCF", "A", 'A'},
        {"MS950", "\xA2\xAF", "0", '0'},       {"MS950", "\xA1\x40", " ", ' '},
        {"MS950", "\xC6\xE4", "[]", '['},      {"MS950", "\xC6\xE5", "[]", ']'},
        {"MS950", "\xA1\xFD", "|", '|'},       {"MS950", "\xC6\xD9", "^", '^'},
        {"MS950", "\xA1\xA8", "\"", '"'},
    };
    for (const Case& c : cases) {
        KVRDBCSHDL handle = HandleFor(c.codePage);
        EXPECT_EQ(KVRDBCS_IsDBCS(&handle, c.text, c.chars), c.expected)
            << c.codePage << " " << c.text << " " << c.chars;
    }
}

// Reporting (0) leaves the text as it is and answers the first invalid byte; 0x1E and 0x1F
// are shift bytes only in a double-byte environment. Repairing (1: blank, 2: remove shift
// bytes) answers the last invalid byte when the final byte examined was invalid; the byte
// after a lead byte belongs to the character, whatever it is.
TEST(DbcsValidate, ReportsOrRepairsControlBytes) {
    struct Case {
        const char* codePage;
        std::string text;
        int16_t repair;
        int invalidAt; // offset of the answer, -1 for none
        std::string after;
    };
    const Case cases[] = {
        {"CP1252", "ab\tc", 0, 2, "ab\tc"},
        {"CP1252", "plain \x82\xFF text", 0, -1, "plain \x82\xFF text"},
        {"CP1252", "a\036b", 0, 1, "a\036b"},
        {"CP943", "a\x1E\x82\x60\x1F", 0, -1, "a\x1E\x82\x60\x1F"},
        {"CP943", "ab\x82", 0, 2, "ab\x82"},
        {"CP943", "\x82\x09x\x07", 0, 3, "\x82\x09x\x07"},
        {"CP1252", "\ta\tb", 1, -1, " a b"},
        {"CP1252", "ab\r", 1, 2, "ab "},
        {"CP1252", "a\036b\x1F", 3, 3, "a b "},
        {"CP1252", "ab\x1E", 2, 2, "ab\x1E"},
        {"CP943", "\x1E\x1F\036a\x82\x60\037b\x1F", 2, -1, "a\202\140b"},
        {"CP943", "\x1E\x01x\x1F\x82", 3, 2, " x "},
        {"CP943", "a\x1E\tb", 1, -1, "a\x1E b"},
        {"CP943", "\202\012c", 3, -1, "\202\012c"},
    };
    for (const Case& c : cases) {
        KVRDBCSHDL handle = HandleFor(c.codePage);
        std::string text = c.text;
        const char* answer = KVRDBCS_Validate(&handle, text.data(), c.repair);
        EXPECT_EQ(answer ? answer - text.data() : -1, c.invalidAt) << c.codePage << " " << c.text;
        EXPECT_EQ(std::string(text.c_str()), c.after) << c.codePage << " " << c.text;
    }
    KVRDBCSHDL latin = HandleFor("CP1252");
    EXPECT_EQ(KVRDBCS_Validate(&latin, nullptr, 1), nullptr);
}

} // namespace
