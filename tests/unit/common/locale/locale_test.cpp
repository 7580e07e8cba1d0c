// Locale selection: LANG and explicit locales through the locale table, the code page
// that follows, the double-byte environment it sets, and the error for a long locale.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Locale, language, country, code page and double-byte environment as the getters see them.
// The country comes last: for a locale without one it sets the locale again from the default.
std::vector<std::string> State() {
    std::vector<std::string> state{KVR_GetLocale(), KVR_GetLanguage(), KVR_GetLocaleCodepage(),
                                   std::to_string(KVRDBCS_GetEnvironment(nullptr))};
    state.push_back(KVR_GetCountry());
    state.push_back(KVR_GetLocaleCodepage()); // must survive that refill
    return state;
}

std::vector<std::string> Expected(const char* locale, const char* language, const char* country,
                                  const char* codePage, DBCSENV env) {
    return {locale, language, codePage, std::to_string(env), country, codePage};
}

TEST_F(LocaleTest, LangSelectsLocaleCodePageAndDoubleByteEnvironment) {
    struct Case {
        const char* lang; // null: unset
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {nullptr, Expected("en_US", "en", "US", "CP1252", DBCSENV_FALSE)},
        {"", Expected("en_US", "en", "US", "CP1252", DBCSENV_FALSE)},
        {"ja_JP.SJIS", Expected("ja_JP", "ja", "JP", "CP943", DBCSENV_MS932)},
        {"C.UTF-8", Expected("C", "C", "", "UTF-8", DBCSENV_FALSE)},
        {"en_US.UTF-8", Expected("en_US", "en", "US", "UTF-8", DBCSENV_FALSE)},
    };
    for (const Case& c : cases) {
        kvr::ResetLocaleForTests();
        c.lang ? lang_.Set(c.lang) : lang_.Unset();
        EXPECT_EQ(State(), c.expected) << (c.lang ? c.lang : "(unset)");
        EXPECT_EQ(KVR_GetLastLocaleError(), 0);
    }
    // After closing, the locale comes back from the remembered default.
    kvr::ResetLocaleForTests();
    lang_.Set("ja_JP.SJIS");
    KVR_GetLocale();
    KVR_CloseLocale();
    EXPECT_STREQ(KVR_GetLocaleCodepage(), "CP943");
    EXPECT_TRUE(IsMS932Environment(nullptr));
    EXPECT_STREQ(KVR_GetLocaleCodepageHandler()->chcodepage, "CP943");
}

TEST_F(LocaleTest, ExplicitLocalesFollowTheTable) {
    lang_.Unset();
    struct Case {
        const char* locale;
        const char* codePage;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        // A row without a code page falls back to US English.
        {"hi_IN", nullptr, Expected("en_US", "en", "US", "CP1252", DBCSENV_FALSE)},
        {"xx_YY", nullptr, Expected("xx_YY", "xx", "YY", "CP1252", DBCSENV_FALSE)}, // catch-all
        // zh_TW comes before zh; keys compare without regard to case.
        {"zh_TW", nullptr, Expected("zh_TW", "zh", "TW", "CP950", DBCSENV_MS950)},
        {"ZH_cn", nullptr, Expected("ZH_cn", "ZH", "cn", "CP1386", DBCSENV_MS936)},
        {"ko_KR", nullptr, Expected("ko_KR", "ko", "KR", "CP1363", DBCSENV_MS949)},
        {"th_TH", nullptr, Expected("th_TH", "th", "TH", "CP874", DBCSENV_FALSE)},
        // A code page given by the caller wins over the row's, in its canonical name.
        {"en_US", "shift-jis", Expected("en_US", "en", "US", "CP943", DBCSENV_MS932)},
        // Language and country keep at most seven characters.
        {"abcdefghij_KLMNOPQRS", nullptr,
         Expected("abcdefghij_KLMNOPQRS", "abcdefg", "KLMNOPQ", "CP1252", DBCSENV_FALSE)},
    };
    for (const Case& c : cases) {
        KVR_SetLocale(c.locale, c.codePage);
        EXPECT_EQ(State(), c.expected) << c.locale;
    }
    // The getters' own results can be handed back.
    KVR_SetLocale("ko_KR", "ms-949");
    KVR_SetLocale(KVR_GetLocale(), KVR_GetLocaleCodepage());
    EXPECT_EQ(State(), Expected("ko_KR", "ko", "KR", "CP1363", DBCSENV_MS949));
    KVRDBCS_SetEnvironment(nullptr, KVRDBCS_GetCodepage(nullptr));
    EXPECT_STREQ(KVRDBCS_GetCodepage(nullptr), "CP1363");
}

TEST_F(LocaleTest, LocaleOf64CharactersIsRefused) {
    lang_.Set("ko_KR");
    const std::string longest(63, 'd');
    KVR_SetLocale(longest.c_str(), nullptr);
    EXPECT_EQ(KVR_GetLastLocaleError(), 0);
    EXPECT_STREQ(KVR_GetLocale(), longest.c_str());

    KVR_SetLocale(std::string(64, 'd').c_str(), nullptr);
    EXPECT_EQ(KVR_GetLastLocaleError(), -13);
    EXPECT_EQ(KVR_GetLastLocaleError(), -13); // reading it does not clear it
    // Nothing was set: the getter takes the default locale and clears the error.
    EXPECT_STREQ(KVR_GetLocale(), "ko_KR");
    EXPECT_EQ(KVR_GetLastLocaleError(), 0);
}

} // namespace
