// The double-byte character environment: which code page a handle stands for, whether a
// text begins with a double-byte character (and which full-width ASCII character it is),
// and the check that repairs control bytes without splitting double-byte characters.
#include "locale/dbcs.h"

#include <cstring>
#include <string>

namespace kvr {

namespace {

// Starts without double-byte characters until a code page is chosen.
KVRDBCSHDL sProcessHandle = {DBCSENV_FALSE, {}};

constexpr unsigned char kShiftOutWorkstation = 0x1E;
constexpr unsigned char kShiftInWorkstation = 0x1F;
constexpr unsigned char kBlank = 0x20;

struct AliasList {
    DBCSENV env;
    const char* names[6]; // canonical name first, null-terminated
};

// Searched in this order; the names are compared after NormaliseCodePage. The Latin-1
// names (CP1252, MS1252, ZOK1252, WINDOWS1252) select no double-byte environment and so
// need no list: an unmatched name keeps DBCSENV_FALSE.
constexpr AliasList kAliasLists[] = {
    {DBCSENV_MS932, {"CP943", "MS932", "ZOK943", "SHIFTJIS", "SJIS", nullptr}},
    {DBCSENV_MS949, {"CP1363", "MS949", "ZOK1363", "KSC", nullptr, nullptr}},
    {DBCSENV_MS936, {"CP1386", "MS936", "ZOK1386", "WINDOWS936", nullptr, nullptr}},
    {DBCSENV_MS950, {"CP950", "MS950", "ZOK950", nullptr, nullptr, nullptr}},
};

constexpr size_t kCodePageMax = sizeof(KVRDBCSHDL{}.chcodepage) - 1; // 63

// Drops "_" and "-" and upper-cases ASCII letters, so "ms-932" compares as "MS932".
std::string NormaliseCodePage(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '_' || c == '-') continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (out.size() < kCodePageMax) out.push_back(c);
    }
    return out;
}

void StoreCodePage(KVRDBCSHDL& handle, const char* name) {
    const size_t length = strnlen(name, kCodePageMax);
    std::memcpy(handle.chcodepage, name, length);
    handle.chcodepage[length] = '\0';
}

} // namespace

KVRDBCSHDL& ProcessDbcsHandle() {
    return sProcessHandle;
}

bool IsDbcsLeadByte(DBCSENV env, unsigned char byte) {
    switch (env) {
    case DBCSENV_MS932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case DBCSENV_MS936:
    case DBCSENV_MS949:
    case DBCSENV_MS950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

int FullWidthColumn(DBCSENV env) {
    switch (env) {
    case DBCSENV_MS932:
        return 0;
    case DBCSENV_MS949:
        return 1;
    case DBCSENV_MS936:
        return 2;
    case DBCSENV_MS950:
        return 3;
    default:
        return -1;
    }
}

const char* IconvNameOfDbcs(DBCSENV env) {
    switch (env) {
    case DBCSENV_MS932:
        return "CP932";
    case DBCSENV_MS936:
        return "CP936";
    case DBCSENV_MS949:
        return "CP949";
    case DBCSENV_MS950:
        return "CP950";
    default:
        return nullptr;
    }
}

} // namespace kvr

namespace {

// Validation without a double-byte environment: only bytes below a blank are invalid.
// Every import record passes here, so this common case is kept to one test a byte.
char* ValidateSingleByte(char* pString, uint16_t usModify) {
    char* lastInvalid = nullptr;
    for (char* p = pString; *p != '\0'; ++p) {
        if (static_cast<unsigned char>(*p) >= kvr::kBlank) {
            lastInvalid = nullptr;
            continue;
        }
        if (usModify == 0) return p;
        if (usModify & 1) *p = static_cast<char>(kvr::kBlank);
        lastInvalid = p;
    }
    return lastInvalid;
}

} // namespace

using kvr::DbcsHandle;

extern "C" {

KVR_API void KVRDBCS_SetEnvironment(KVRDBCSHDL* pHDL, const char* pCP) {
    // pCP may point into this very handle (KVR_GetLocaleCodepage), so copy it first.
    const std::string requested = pCP ? std::string(pCP) : std::string();
    KVRDBCSHDL& handle = DbcsHandle(pHDL);
    std::memset(handle.chcodepage, 0, sizeof handle.chcodepage);
    handle.DBCSEnv = DBCSENV_FALSE;
    if (requested.empty()) return;

    kvr::StoreCodePage(handle, requested.c_str());
    const std::string normalised = kvr::NormaliseCodePage(requested);
    for (const kvr::AliasList& list : kvr::kAliasLists) {
        for (const char* const* name = list.names; *name != nullptr; ++name) {
            if (normalised == *name) {
                handle.DBCSEnv = list.env;
                kvr::StoreCodePage(handle, list.names[0]);
                return;
            }
        }
    }
}

KVR_API DBCSENV KVRDBCS_GetEnvironment(KVRDBCSHDL* pHDL) {
    return DbcsHandle(pHDL).DBCSEnv;
}

KVR_API const char* KVRDBCS_GetCodepage(KVRDBCSHDL* pHDL) {
    return DbcsHandle(pHDL).chcodepage;
}

KVR_API BOOLEAN IsMS932Environment(KVRDBCSHDL* pHDL) {
    return DbcsHandle(pHDL).DBCSEnv == DBCSENV_MS932 ? TRUE : FALSE;
}

KVR_API BOOLEAN IsMS936Environment(KVRDBCSHDL* pHDL) {
    return DbcsHandle(pHDL).DBCSEnv == DBCSENV_MS936 ? TRUE : FALSE;
}

KVR_API BOOLEAN IsMS949Environment(KVRDBCSHDL* pHDL) {
    return DbcsHandle(pHDL).DBCSEnv == DBCSENV_MS949 ? TRUE : FALSE;
}

KVR_API BOOLEAN IsMS950Environment(KVRDBCSHDL* pHDL) {
    return DbcsHandle(pHDL).DBCSEnv == DBCSENV_MS950 ? TRUE : FALSE;
}

KVR_API int32_t KVRDBCS_IsDBCS(KVRDBCSHDL* pHDL, const char* pTarget, const char* pSBCS) {
    const DBCSENV env = DbcsHandle(pHDL).DBCSEnv;
    if (env == DBCSENV_FALSE || pTarget == nullptr || pTarget[0] == '\0') return 0;
    const auto* target = reinterpret_cast<const unsigned char*>(pTarget);
    if (!kvr::IsDbcsLeadByte(env, target[0])) return 0;
    if (pSBCS == nullptr || pSBCS[0] == '\0') return 1;
    if (target[1] == '\0') return 0;
    const int column = kvr::FullWidthColumn(env);
    if (column < 0) return 0;

    for (const auto* ch = reinterpret_cast<const unsigned char*>(pSBCS); *ch >= 0x20 && *ch <= 0x7E;
         ++ch) {
        const char* form = kvr::FullWidthForm(*ch, column);
        if (std::strlen(form) < 2) continue;
        if (std::memcmp(pTarget, form, 2) == 0) return *ch;
        const char* second = kvr::FullWidthSecondForm(*ch, column);
        if (second != nullptr && std::memcmp(pTarget, second, 2) == 0) return *ch;
    }
    return 0;
}

KVR_API char* KVRDBCS_Validate(KVRDBCSHDL* pHDL, char* pString, uint16_t usModify) {
    if (pString == nullptr) return nullptr;
    const DBCSENV env = DbcsHandle(pHDL).DBCSEnv;
    if (env == DBCSENV_FALSE) return ValidateSingleByte(pString, usModify);
    char* lastInvalid = nullptr;
    char* p = pString;
    while (*p != '\0') {
        const auto byte = static_cast<unsigned char>(*p);
        if (kvr::IsDbcsLeadByte(env, byte) && p[1] != '\0') {
            lastInvalid = nullptr;
            p += 2;
            continue;
        }
        const bool loneLead = kvr::IsDbcsLeadByte(env, byte);
        if (!loneLead && byte >= kvr::kBlank) {
            lastInvalid = nullptr;
            ++p;
            continue;
        }
        if (!loneLead && env != DBCSENV_FALSE &&
            (byte == kvr::kShiftOutWorkstation || byte == kvr::kShiftInWorkstation)) {
            lastInvalid = nullptr;
            if (usModify & 2) {
                // Close the gap and look at the byte that moved into this place.
                std::memmove(p, p + 1, std::strlen(p + 1) + 1);
            } else {
                ++p;
            }
            continue;
        }
        if (usModify == 0) return p;
        if (usModify & 1) *p = static_cast<char>(kvr::kBlank);
        lastInvalid = p;
        ++p;
    }
    return lastInvalid;
}

} // extern "C"
