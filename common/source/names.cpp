// Name handling shared by every analyzer: workstation paths given with or without double
// quotes, tokens of configuration lines, acceptable container and member names, the file
// spec of a member, and generation data group references such as A.B.C(+1).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "kvrbase.h"

namespace {

constexpr size_t kMaxNormalizedName = 1024; // outName holds 1025 characters
constexpr size_t kMaxFileSpecName = 254;
constexpr int32_t kFileSpecContainerLength = 230;
constexpr size_t kFileSpecSize = 512;
constexpr size_t kMaxGDGName = 512;
constexpr int16_t kVelkorMode = 2;

constexpr char kContainerChars[] =
    "AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz$#@1234567890.-/\\_: ~,()";
constexpr char kContainerFirstChars[] =
    "AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz$#@1234567890/\\.-_ ~,()";
constexpr char kMemberChars[] =
    "AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz$#@1234567890-._ ~";
constexpr char kMemberFirstChars[] =
    "AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz$#@1234567890-._~";

constexpr size_t kMaxMemberName = 8;
constexpr size_t kMaxQualifier = 8;
constexpr size_t kMaxDataSetName = 44;

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '@' || c == '#' || c == '$';
}

bool IsNameCharacter(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

// One qualifier of a data set name, or a member name when hyphens are not allowed.
bool IsQualifier(std::string_view name, bool hyphens) {
    if (name.empty() || name.size() > kMaxQualifier || !IsNameStart(name.front())) return false;
    for (char c : name.substr(1))
        if (!IsNameCharacter(c) && !(hyphens && c == '-')) return false;
    return true;
}

bool InSet(const char* set, char c) {
    return c != '\0' && std::strchr(set, c) != nullptr;
}

bool AllInSet(std::string_view name, const char* set) {
    for (char c : name)
        if (!InSet(set, c)) return false;
    return true;
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Path parts of a container: the first separator does not start a new part; every later
// one must follow at least one character, and no part may exceed 255 characters.
bool PathPartsAcceptable(std::string_view name) {
    bool firstSeparatorMet = false;
    int count = 0;
    for (char c : name) {
        if (IsSeparator(c)) {
            if (!firstSeparatorMet) {
                firstSeparatorMet = true;
            } else {
                if (count == 0) return false;
                count = 0;
            }
        } else if (++count > 255) {
            return false;
        }
    }
    return true;
}

std::string QuotedWhenBlank(const char* name) {
    if (name == nullptr) return std::string();
    if (std::strchr(name, ' ') == nullptr || name[0] == '"') return name;
    return std::string("\"") + name + "\"";
}

} // namespace

extern "C" {

KVR_API int16_t NormalizeName(const char* iName, char* outName, int32_t iMaxNameLength,
                              int16_t stripLeadingBlanks, int16_t stripTrailingBlanks,
                              int32_t /*debug*/) {
    if (outName == nullptr) return 0;
    if (iName == nullptr) {
        outName[0] = '\0';
        return 0;
    }
    if (iMaxNameLength > static_cast<int32_t>(kMaxNormalizedName))
        KVRWriteMessageWithStrings(1703, iName, nullptr, nullptr, nullptr);
    // Whatever the caller's limit, no more than fits the 1025-character output is used.
    std::string_view name(iName, strnlen(iName, kMaxNormalizedName));
    const bool quoted = !name.empty() && name.front() == '"';
    if (quoted) {
        name.remove_prefix(1);
        if (!name.empty() && name.back() == '"') name.remove_suffix(1);
    }
    if (stripLeadingBlanks)
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
    int16_t result = 0;
    if (quoted) {
        if (stripTrailingBlanks)
            while (!name.empty() && name.back() == ' ')
                name.remove_suffix(1);
        result = name.find(' ') != std::string_view::npos ? 1 : 0;
    }
    std::memmove(outName, name.data(), name.size()); // the caller may pass one buffer twice
    outName[name.size()] = '\0';
    return result;
}

KVR_API const char* GetAToken(const char* iRec, int32_t tokenSize, char* token, int16_t toUpper,
                              int16_t iUseApost, int16_t iUseQuote) {
    const bool canStore = token != nullptr && tokenSize > 0;
    if (canStore) std::memset(token, 0, static_cast<size_t>(tokenSize));
    if (iRec == nullptr) return iRec;
    const size_t capacity = canStore ? static_cast<size_t>(tokenSize) - 1 : 0;
    size_t stored = 0;
    auto keep = [&](char c) {
        if (stored >= capacity) return; // beyond the capacity: consumed and dropped
        token[stored++] =
            toUpper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    };
    const char* p = iRec;
    char closer = '\0';
    if ((*p == '\'' && iUseApost) || (*p == '"' && iUseQuote)) {
        closer = *p;
        keep(*p++);
    }
    while (*p != '\0' && *p != '\n') {
        if (closer != '\0' && *p == closer) {
            keep(*p++);
            if (*p == ' ') ++p; // the blank separating it from the next token
            break;
        }
        if (closer == '\0' && *p == ' ') {
            ++p;
            break;
        }
        keep(*p++);
    }
    return p;
}

KVR_API void CheckForSpaceInName(const char* iName, char* outName) {
    if (outName == nullptr) return;
    if (iName == nullptr) {
        outName[0] = '\0';
        return;
    }
    std::string result =
        std::strchr(iName, ' ') != nullptr ? std::string("\"") + iName + "\"" : std::string(iName);
    std::memcpy(outName, result.c_str(), result.size() + 1);
}

KVR_API void DisplayContainerFileName(const char* iContainerName, const char* iFileName,
                                      int32_t /*debug*/) {
    const std::string container = QuotedWhenBlank(iContainerName);
    const std::string member = QuotedWhenBlank(iFileName);
    KVRWriteMessage(1000);
    KVRWriteMessageWithStrings(1201, container.c_str(), member.c_str(), nullptr, nullptr);
}

KVR_API int32_t FileSpec(const char* iContainerName, const char* iFileName, char* OutBuf,
                         int16_t iProcessingMode) {
    const bool velkor = iProcessingMode == kVelkorMode;
    if (OutBuf != nullptr) OutBuf[0] = '\0';
    const char* container = iContainerName != nullptr ? iContainerName : "";
    const char* member = iFileName != nullptr ? iFileName : "";
    if (strnlen(container, kMaxFileSpecName + 1) > kMaxFileSpecName) {
        KVRWriteMessage(velkor ? 3019 : 1300);
        return 0;
    }
    if (strnlen(member, kMaxFileSpecName + 1) > kMaxFileSpecName) {
        KVRWriteMessage(velkor ? 3020 : 1301);
        return 0;
    }
    if (OutBuf == nullptr) return 0;
    char normalized[kMaxNormalizedName + 1];
    NormalizeName(container, normalized, kFileSpecContainerLength, FALSE, TRUE, 0);
    // Both names are at most 254 characters, so the spec always fits the 512 bytes.
    const std::string spec = std::string(normalized) + "/" + member;
    const size_t length = std::min(spec.size(), kFileSpecSize - 1);
    std::memcpy(OutBuf, spec.data(), length);
    OutBuf[length] = '\0';
    return 1;
}

KVR_API int16_t KVRU996(const char* iContainerName) {
    if (iContainerName == nullptr) return 0;
    const std::string_view name(iContainerName, strnlen(iContainerName, kMaxFileSpecName + 1));
    if (name.empty() || name.size() > kMaxFileSpecName) return 0;
    if (!InSet(kContainerFirstChars, name.front()) || !AllInSet(name, kContainerChars)) return 0;
    return PathPartsAcceptable(name) ? 1 : 0;
}

KVR_API BOOLEAN KVRU997(const char* iFileName) {
    if (iFileName == nullptr) return FALSE;
    const std::string_view name(iFileName, strnlen(iFileName, kMaxFileSpecName + 1));
    if (name.empty() || name.size() > kMaxFileSpecName) return FALSE;
    return InSet(kMemberFirstChars, name.front()) && AllInSet(name, kMemberChars) ? TRUE : FALSE;
}

KVR_API BOOLEAN IsGDG(const char* DSN, int16_t iProcessingMode) {
    if (DSN == nullptr) return FALSE;
    if (strnlen(DSN, kMaxGDGName + 1) > kMaxGDGName) {
        // Reported as severe, but the run goes on: ending the process here would lose the
        // records of every later member and leave the import file unfinished.
        KVRWriteMessageWithStrings(iProcessingMode == kVelkorMode ? 3119 : 1417, DSN, nullptr,
                                   nullptr, nullptr);
        return FALSE;
    }
    const char* open = std::strchr(DSN, '(');
    if (open == nullptr) return FALSE;
    for (const char* p = open + 1; *p != '\0'; ++p) {
        if (*p == ')') return TRUE;
        if (!(*p >= '0' && *p <= '9') && *p != '+' && *p != '-') return FALSE;
    }
    return FALSE;
}

KVR_API BOOLEAN IsMemberName(const char* iName) {
    if (iName == nullptr) return FALSE;
    const std::string_view name(iName, strnlen(iName, kMaxMemberName + 1));
    return name.size() <= kMaxMemberName && IsQualifier(name, false) ? TRUE : FALSE;
}

KVR_API BOOLEAN IsDataSetName(const char* iName) {
    if (iName == nullptr) return FALSE;
    std::string_view name(iName, strnlen(iName, kMaxDataSetName + 1));
    if (name.empty() || name.size() > kMaxDataSetName) return FALSE;
    for (;;) {
        const size_t period = name.find('.');
        if (!IsQualifier(name.substr(0, period), true)) return FALSE;
        if (period == std::string_view::npos) return TRUE;
        name.remove_prefix(period + 1);
    }
}

KVR_API void RootNameOfGDG(char* DSN) {
    if (DSN == nullptr) return;
    if (char* open = std::strchr(DSN, '('); open != nullptr) *open = '\0';
}

} // extern "C"
