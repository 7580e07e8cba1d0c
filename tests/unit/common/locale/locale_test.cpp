// Locale selection: LANG and explicit locales through the locale table, the code page
// that follows, the double-byte environment it sets, and the error for a long locale.
#include <gtest/gtest.h>

#include <string>

#include "common/scoped_env.h"
#include "kvrbase.h"
#include "locale/locale.h"

namespace {

using kvr::test::ScopedEnv;

class LocaleTest : public ::testing::Test {
  protected:
    void SetUp() override { kvr::ResetLocaleForTests(); }
    void TearDown() override { kvr::ResetLocaleForTests(); }
    ScopedEnv lang_{"LANG"};
};

TEST_F(LocaleTest, UnsetLangMeansUsEnglishWithoutDoubleByteCharacters) {
    lang_.Unset();
    EXPECT_STREQ(KVR_GetLocale(), "en_US");
    EXPECT_STREQ(KVR_GetLanguage(), "en");
    EXPECT_STREQ(KVR_GetCountry(), "US");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP1252");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_FALSE);
    EXPECT_EQ(KVR_GetLastLocaleError(), 0);

    // An empty LANG is no locale either.
    kvr::ResetLocaleForTests();
    lang_.Set("");
    EXPECT_STREQ(KVR_GetLocale(), "en_US");
}

TEST_F(LocaleTest, LangCodePageSuffixSelectsTheDoubleByteEnvironment) {
    lang_.Set("ja_JP.SJIS");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP943");
    EXPECT_STREQ(KVR_GetLocale(), "ja_JP");
    EXPECT_STREQ(KVR_GetLanguage(), "ja");
    EXPECT_STREQ(KVR_GetCountry(), "JP");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS932);
    EXPECT_TRUE(IsMS932Environment(nullptr));
    EXPECT_EQ(KVR_GetLocaleCodepageHandler(), KVR_GetLocaleCodepageHandler());
    EXPECT_STREQ(KVR_GetLocaleCodepageHandler()->chcodepage, "CP943");

    // After closing, the locale comes back from the remembered default.
    KVR_CloseLocale();
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP943");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS932);
}

TEST_F(LocaleTest, Utf8LangKeepsItsCodePageAcrossRefills) {
    lang_.Set("C.UTF-8");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "UTF-8");
    EXPECT_STREQ(KVR_GetLocale(), "C");
    EXPECT_STREQ(KVR_GetLanguage(), "C");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_FALSE);
    // "C" has no country, so this getter sets the locale again from the default; the
    // code page LANG named must survive that.
    EXPECT_STREQ(KVR_GetCountry(), "");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "UTF-8");

    kvr::ResetLocaleForTests();
    lang_.Set("en_US.UTF-8");
    EXPECT_STREQ(KVR_GetLocale(), "en_US");
    EXPECT_STREQ(KVR_GetCountry(), "US");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "UTF-8");
}

TEST_F(LocaleTest, ExplicitLocalesFollowTheTable) {
    lang_.Unset();
    // A locale whose row has no code page falls back to US English.
    KVR_SetLocale("hi_IN", nullptr);
    EXPECT_STREQ(KVR_GetLocale(), "en_US");
    EXPECT_STREQ(KVR_GetLanguage(), "en");
    EXPECT_STREQ(KVR_GetCountry(), "US");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP1252");

    // No row at all: the catch-all row.
    KVR_SetLocale("xx_YY", nullptr);
    EXPECT_STREQ(KVR_GetLocale(), "xx_YY");
    EXPECT_STREQ(KVR_GetLanguage(), "xx");
    EXPECT_STREQ(KVR_GetCountry(), "YY");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP1252");

    // zh_TW comes before zh; keys compare without regard to case.
    KVR_SetLocale("zh_TW", nullptr);
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP950");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS950);
    KVR_SetLocale("ZH_cn", nullptr);
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP1386");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS936);
    KVR_SetLocale("ko_KR", nullptr);
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP1363");
    EXPECT_TRUE(IsMS949Environment(nullptr));
    KVR_SetLocale("th_TH", nullptr);
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP874");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_FALSE);

    // A code page given by the caller wins over the row's, in its canonical name.
    KVR_SetLocale("en_US", "shift-jis");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP943");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS932);

    // Language and country keep at most seven characters.
    KVR_SetLocale("abcdefghij_KLMNOPQRS", nullptr);
    EXPECT_STREQ(KVR_GetLanguage(), "abcdefg");
    EXPECT_STREQ(KVR_GetCountry(), "KLMNOPQ");
}

TEST_F(LocaleTest, LocaleOf64CharactersIsRefused) {
    lang_.Set("ko_KR");
    const std::string longest(63, 'd');
    KVR_SetLocale(longest.c_str(), nullptr);
    EXPECT_EQ(KVR_GetLastLocaleError(), 0);
    EXPECT_STREQ(KVR_GetLocale(), longest.c_str());

    const std::string tooLong(64, 'd');
    KVR_SetLocale(tooLong.c_str(), nullptr);
    EXPECT_EQ(KVR_GetLastLocaleError(), -13);
    EXPECT_EQ(KVR_GetLastLocaleError(), -13); // reading it does not clear it
    // Nothing was set: the getter takes the default locale and clears the error.
    EXPECT_STREQ(KVR_GetLocale(), "ko_KR");
    EXPECT_EQ(KVR_GetLastLocaleError(), 0);
}

TEST_F(LocaleTest, OwnGetterResultsCanBeHandedBack) {
    lang_.Unset();
    KVR_SetLocale("ko_KR", "ms-949");
    KVR_SetLocale(KVR_GetLocale(), KVR_GetLocaleCodepage());
    EXPECT_STREQ(KVR_GetLocale(), "ko_KR");
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP1363");

    KVRDBCS_SetEnvironment(nullptr, KVRDBCS_GetCodepage(nullptr));
    EXPECT_STREQ(KVRDBCS_GetCodepage(nullptr), "CP1363");
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS949);
}

} // namespace
