// The double-byte environment: code-page aliases, lead-byte detection, recognising the
// full-width forms of ASCII characters, and the repair of control bytes in a text.
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
    const std::string longName(70, 'X');
    handle = HandleFor(longName.c_str());
    EXPECT_EQ(std::string(handle.chcodepage), std::string(63, 'X'));

    EXPECT_TRUE(IsMS936Environment(&(handle = HandleFor("MS936"))));
    EXPECT_FALSE(IsMS950Environment(&handle));
    EXPECT_TRUE(IsMS950Environment(&(handle = HandleFor("CP950"))));
}

TEST(DbcsEnvironment, NullHandleMeansTheProcessHandle) {
    kvr::ResetLocaleForTests();
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_FALSE); // nothing chosen yet
    KVRDBCS_SetEnvironment(nullptr, "ms-950");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS950);
    EXPECT_STREQ(KVRDBCS_GetCodepage(nullptr), "CP950");
    EXPECT_TRUE(IsMS950Environment(nullptr));
    EXPECT_EQ(KVRDBCS_IsDBCS(nullptr, "\xA2\xCF", "A"), 'A');
    kvr::ResetLocaleForTests();
}

TEST(DbcsIsDbcs, LeadBytesWithoutCharacterList) {
    KVRDBCSHDL sjis = HandleFor("MS932");
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x60", nullptr), 1);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x60", ""), 1);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82", nullptr), 1); // a lone lead byte still leads
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\xA0\x41", nullptr), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x9F\x40", nullptr), 1);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\xE0\x40", nullptr), 1);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\xFC\x40", nullptr), 1);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\xFD\x40", nullptr), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x80\x40", nullptr), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "A", nullptr), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "", nullptr), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, nullptr, nullptr), 0);

    KVRDBCSHDL uhc = HandleFor("MS949");
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA0\x41", nullptr), 1);
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xFE\x41", nullptr), 1);
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xFF\x41", nullptr), 0);

    KVRDBCSHDL latin = HandleFor("CP1252");
    EXPECT_EQ(KVRDBCS_IsDBCS(&latin, "\x82\x60", nullptr), 0);
    KVRDBCSHDL ebcdic{DBCSENV_EBCDIC, "CP930"};
    EXPECT_EQ(KVRDBCS_IsDBCS(&ebcdic, "\x82\x60", nullptr), 0);
}

TEST(DbcsIsDbcs, FullWidthFormsOfListedCharacters) {
    KVRDBCSHDL sjis = HandleFor("SJIS");
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x60rest", "xyzA"), 'A');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x60", "xyz"), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x60",
                             "\x01"
                             "A"),
              0); // list ends at a control
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x60", "A\x01"), 'A');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x60",
                             "\x82"
                             "A"),
              0);                                            // and at a byte above 0x7E
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82", "A"), 0);        // one byte is no character
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x40", " ,"), ' '); // ideographic space
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x43", " ,"), ',');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x4F", "0"), '0');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x82\x9A", "z"), 'z');
    // House forms replace the code page's usual ones.
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x8F", "\\"), '\\');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x5F", "\\"), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x50", "~"), '~');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\xFA\x57", "\""), '"');
    // Second forms of apostrophe, quotation mark and circumflex.
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\xFA\x56", "'"), '\'');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x66", "'"), '\'');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x68", "\""), '"');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\xFA\x54", "^"), '^');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x4F", "^"), '^');
    EXPECT_EQ(KVRDBCS_IsDBCS(&sjis, "\x81\x66", "A"), 0);

    KVRDBCSHDL uhc = HandleFor("KSC");
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA3\xC1", "A"), 'A');
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA1\x40", " "), ' ');
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA1\xA1", " "), 0);
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA3\xDC", "\\"), '\\');
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA1\xFE", "^"), '^');
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA3\xDE", "^"), '^');
    EXPECT_EQ(KVRDBCS_IsDBCS(&uhc, "\xA1\xAF", "'"), '\'');

    KVRDBCSHDL gbk = HandleFor("MS936");
    EXPECT_EQ(KVRDBCS_IsDBCS(&gbk, "\xA3\xC1", "A"), 'A');
    EXPECT_EQ(KVRDBCS_IsDBCS(&gbk, "\xA3\xA4", "$"), '$');
    EXPECT_EQ(KVRDBCS_IsDBCS(&gbk, "\xA1\xA1", " "), ' ');
    EXPECT_EQ(KVRDBCS_IsDBCS(&gbk, "\xA9\x56", "^"), '^');
    EXPECT_EQ(KVRDBCS_IsDBCS(&gbk, "\xA3\xFE", "~"), '~');

    KVRDBCSHDL big5 = HandleFor("MS950");
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xA2\xCF", "A"), 'A');
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xA2\xAF", "0"), '0');
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xA1\x40", " "), ' ');
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xC6\xE4", "[]"), '[');
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xC6\xE5", "[]"), ']');
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xA1\xFD", "|"), '|');
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xC6\xD9", "^"), '^');
    EXPECT_EQ(KVRDBCS_IsDBCS(&big5, "\xA1\xA8", "\""), '"');
}

TEST(DbcsValidate, ReportsTheFirstInvalidByteWithoutModifying) {
    KVRDBCSHDL latin = HandleFor("CP1252");
    char text[] = "ab\tc";
    EXPECT_EQ(KVRDBCS_Validate(&latin, text, 0), text + 2);
    EXPECT_STREQ(text, "ab\tc");
    char clean[] = "plain \x82\xFF text";
    EXPECT_EQ(KVRDBCS_Validate(&latin, clean, 0), nullptr);
    char shift[] = "a\x1E"
                   "b";
    EXPECT_EQ(KVRDBCS_Validate(&latin, shift, 0), shift + 1); // shift bytes only in DBCS
    EXPECT_EQ(KVRDBCS_Validate(&latin, nullptr, 1), nullptr);

    KVRDBCSHDL sjis = HandleFor("CP943");
    char passed[] = "a\x1E\x82\x60\x1F"
                    "b";
    EXPECT_EQ(KVRDBCS_Validate(&sjis, passed, 0), nullptr);
    char lone[] = "ab\x82";
    EXPECT_EQ(KVRDBCS_Validate(&sjis, lone, 0), lone + 2);
    char pairThenTab[] = "\x82\x09x\x07";
    EXPECT_EQ(KVRDBCS_Validate(&sjis, pairThenTab, 0), pairThenTab + 3);
}

TEST(DbcsValidate, RepairsInPlace) {
    KVRDBCSHDL latin = HandleFor("CP1252");
    char tabs[] = "\ta\tb";
    EXPECT_EQ(KVRDBCS_Validate(&latin, tabs, 1), nullptr); // last byte examined was valid
    EXPECT_STREQ(tabs, " a b");
    char trailing[] = "ab\r";
    EXPECT_EQ(KVRDBCS_Validate(&latin, trailing, 1), trailing + 2);
    EXPECT_STREQ(trailing, "ab ");
    // Without a DBCS environment 0x1E and 0x1F are ordinary control bytes.
    char shifts[] = "a\x1E"
                    "b\x1F";
    KVRDBCS_Validate(&latin, shifts, 3);
    EXPECT_STREQ(shifts, "a b ");
    char kept[] = "ab\x1E";
    EXPECT_EQ(KVRDBCS_Validate(&latin, kept, 2), kept + 2); // reported, not replaced
    EXPECT_STREQ(kept, "ab\x1E");

    KVRDBCSHDL sjis = HandleFor("CP943");
    char removed[] = "\x1E\x1F\x1E"
                     "a\x82\x60\x1F"
                     "b\x1F";
    EXPECT_EQ(KVRDBCS_Validate(&sjis, removed, 2), nullptr);
    EXPECT_STREQ(removed, "a\x82\x60"
                          "b");
    char both[] = "\x1E\x01x\x1F\x82";
    EXPECT_EQ(KVRDBCS_Validate(&sjis, both, 3), both + 2);
    EXPECT_STREQ(both, " x ");
    char onlyBlanks[] = "a\x1E\tb";
    KVRDBCS_Validate(&sjis, onlyBlanks, 1);
    EXPECT_STREQ(onlyBlanks, "a\x1E b");
    // The byte after a lead byte belongs to the character, whatever it is.
    char pair[] = "\x82\x0A"
                  "c";
    KVRDBCS_Validate(&sjis, pair, 3);
    EXPECT_STREQ(pair, "\x82\x0A"
                       "c");
}

} // namespace
