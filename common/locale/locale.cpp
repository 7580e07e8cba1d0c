// The process locale: language, country and workstation code page, chosen from an
// explicit locale or the LANG variable through a fixed table of locale keys, and the
// process-wide double-byte environment that follows from the code page.
#include "locale/locale.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "locale/dbcs.h"

namespace kvr {

namespace {

constexpr size_t kLocaleSize = 64;
constexpr size_t kPartSize = 8;
constexpr int32_t kLocaleTooLong = -13;

char sDefaultLocale[kLocaleSize];
char sDefaultCodePage[kLocaleSize]; // the code page LANG named, kept with the default locale
char sLocale[kLocaleSize];
char sLanguage[kPartSize];
char sCountry[kPartSize];
char sCodePage[kLocaleSize];
int32_t sLastLocaleError = 0;

struct LocaleRow {
    const char* key;
    const char* codePage; // "" when the locale has no workstation code page of its own
};

// Searched in order; a locale matches the first key it begins with. The empty key ends
// the table and is taken when nothing else matched.
constexpr LocaleRow sCodePageList[] = {
    {"en", "CP1252"}, {"zh_TW", "CP950"},  {"zh", "CP1386"}, {"ko", "CP1363"}, {"pt_BR", "CP1252"},
    {"ja", "CP943"},  {"de", "CP1252"},    {"fr", "CP1252"}, {"it", "CP1252"}, {"es", "CP1252"},
    {"th", "CP874"},  {"ar", "CP1256"},    {"tr", "CP1254"}, {"da", "CP1252"}, {"fi", "CP1252"},
    {"no", "CP1252"}, {"sv", "CP1252"},    {"ca", "CP1252"}, {"nl", "CP1252"}, {"el", "CP1253"},
    {"iw", "CP1255"}, {"pt_PT", "CP1252"}, {"bg", "CP1251"}, {"hr", "CP1250"}, {"cs", "CP1250"},
    {"hu", "CP1250"}, {"pl", "CP1250"},    {"ro", "CP1250"}, {"ru", "CP1251"}, {"sk", "CP1250"},
    {"sl", "CP1250"}, {"uk", "CP1251"},    {"is", "CP1252"}, {"as", ""},       {"bn", ""},
    {"gu", ""},       {"hi", ""},          {"id", ""},       {"kn", ""},       {"ms", ""},
    {"ml", ""},       {"mr", ""},          {"ne", ""},       {"or", ""},       {"pa", ""},
    {"si", ""},       {"ta", ""},          {"te", ""},       {"vi", "CP1258"}, {"ur", ""},
    {"af", "CP1252"}, {"sq", "CP1250"},    {"hy", ""},       {"az", ""},       {"et", "CP1257"},
    {"ka", ""},       {"kk", ""},          {"lv", "CP1257"}, {"lt", "CP1257"}, {"mk", ""},
    {"sw", ""},       {"cy", "CP1252"},    {"mt", "CP1252"}, {"", "CP1252"},
};
static_assert(sizeof sCodePageList / sizeof sCodePageList[0] == 64);

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text == '\0' || AsciiLower(*text) != AsciiLower(*prefix)) return false;
    }
    return true;
}

const LocaleRow& FindLocaleRow(const char* locale) {
    const LocaleRow* row = sCodePageList;
    for (; row->key[0] != '\0'; ++row) {
        if (StartsWithIgnoringCase(locale, row->key)) return *row;
    }
    return *row; // the catch-all row
}

// Copies at most size-1 characters and always terminates.
void CopyBounded(char* target, size_t size, const char* source) {
    const size_t length = strnlen(source, size - 1);
    std::memcpy(target, source, length);
    target[length] = '\0';
}

void ClearCurrent() {
    sLastLocaleError = 0;
    sLocale[0] = sLanguage[0] = sCountry[0] = sCodePage[0] = '\0';
}

// Fills the default locale from LANG once per process; "ll_CC.codepage" also names the
// code page, which then replaces the caller's. An empty LANG counts as unset.
void ReadDefaultLocale(std::string& codePage) {
    const char* lang = std::getenv("LANG");
    sDefaultCodePage[0] = '\0';
    if (lang == nullptr || *lang == '\0') {
        CopyBounded(sDefaultLocale, kLocaleSize, "en_US");
        return;
    }
    CopyBounded(sDefaultLocale, kLocaleSize, lang);
    if (char* dot = std::strchr(sDefaultLocale, '.')) {
        CopyBounded(sDefaultCodePage, kLocaleSize, dot + 1);
        codePage = dot + 1;
        *dot = '\0';
    }
}

void SplitLocale(const char* locale) {
    const char* underscore = std::strchr(locale, '_');
    if (underscore == nullptr) {
        CopyBounded(sLanguage, kPartSize, locale);
        return;
    }
    const size_t languageLength = static_cast<size_t>(underscore - locale);
    const std::string language(locale, languageLength < kPartSize ? languageLength : kPartSize - 1);
    CopyBounded(sLanguage, kPartSize, language.c_str());
    CopyBounded(sCountry, kPartSize, underscore + 1);
}

} // namespace

void ResetLocaleForTests() {
    ClearCurrent();
    sDefaultLocale[0] = sDefaultCodePage[0] = '\0';
    KVRDBCS_SetEnvironment(nullptr, nullptr);
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void KVR_SetLocale(const char* pLocale, const char* pCodePage) {
    // Callers may hand back our own getters' storage, which is cleared below: copy first.
    const bool localeGiven = pLocale != nullptr && *pLocale != '\0';
    const std::string requestedLocale = localeGiven ? pLocale : "";
    std::string codePage = pCodePage ? pCodePage : "";

    ClearCurrent();
    if (localeGiven && requestedLocale.size() + 1 > kLocaleSize) {
        sLastLocaleError = kLocaleTooLong;
        return;
    }
    if (sDefaultLocale[0] == '\0') {
        ReadDefaultLocale(codePage);
    } else if (!localeGiven && codePage.empty()) {
        // The default locale keeps the code page LANG gave it; otherwise a getter that
        // refills the locale later would quietly switch the double-byte environment.
        codePage = sDefaultCodePage;
    }

    CopyBounded(sLocale, kLocaleSize, localeGiven ? requestedLocale.c_str() : sDefaultLocale);
    const LocaleRow* row = &FindLocaleRow(sLocale);
    if (row->codePage[0] == '\0') {
        CopyBounded(sLocale, kLocaleSize, "en_US");
        row = &FindLocaleRow(sLocale);
    }
    SplitLocale(sLocale);

    KVRDBCSHDL& handle = ProcessDbcsHandle();
    KVRDBCS_SetEnvironment(&handle, codePage.empty() ? row->codePage : codePage.c_str());
    CopyBounded(sCodePage, kLocaleSize, handle.chcodepage);
}

KVR_API const char* KVR_GetLocale(void) {
    if (sLocale[0] == '\0') KVR_SetLocale(nullptr, nullptr);
    sLastLocaleError = 0;
    return sLocale;
}

KVR_API const char* KVR_GetLanguage(void) {
    if (sLanguage[0] == '\0') KVR_SetLocale(nullptr, nullptr);
    sLastLocaleError = 0;
    return sLanguage;
}

KVR_API const char* KVR_GetCountry(void) {
    if (sCountry[0] == '\0') KVR_SetLocale(nullptr, nullptr);
    sLastLocaleError = 0;
    return sCountry;
}

KVR_API const char* KVR_GetLocaleCodepage(void) {
    if (sCodePage[0] == '\0') KVR_SetLocale(nullptr, nullptr);
    sLastLocaleError = 0;
    return sCodePage;
}

KVR_API KVRDBCSHDL* KVR_GetLocaleCodepageHandler(void) {
    if (sCodePage[0] == '\0') KVR_SetLocale(nullptr, nullptr);
    return &ProcessDbcsHandle();
}

KVR_API void KVR_CloseLocale(void) {
    ClearCurrent();
}

KVR_API int32_t KVR_GetLastLocaleError(void) {
    return sLastLocaleError;
}

} // extern "C"
