// The small string utilities kvrbase exports: owned copies taken as counted blocks,
// in-place trimming, blank skipping, index and region searches and quote stripping.
// They work on NUL-terminated texts and never read past a terminator.
#include "kvrbase.h"
#include "services/messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kTrimLimit = 512;         // trim refuses texts this long or longer
constexpr int32_t kSearchLimit = 512;      // searches and comparisons look this far
constexpr int32_t kSourceLineColumns = 72; // columns of a card that hold statement text

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int32_t Length(const char* text) {
    return static_cast<int32_t>(std::strlen(text));
}

} // namespace

extern "C" {

char* CloneString(const char* Old, int32_t debug) {
    if (Old == nullptr) return nullptr;
    const size_t length = std::strlen(Old);
    void* copy = nullptr;
    if (CreateBlockWithDebug(&copy, length + 1, "CloneString", debug) == 0)
        kvr::EndProcessOutOfMemory(); // a copy cannot fail: callers do not test for null
    std::memcpy(copy, Old, length + 1);
    return static_cast<char*>(copy);
}

void FreeString(char* Old, int32_t debug) {
    FreeBlockWithDebug(Old, "FreeString", debug);
}

char* trim(char* iString) {
    if (iString == nullptr || *iString == '\0') return iString;
    size_t length = std::strlen(iString);
    if (length >= kTrimLimit) {
        std::printf("trim() Fatal Error\n");
        std::exit(20);
    }
    size_t first = 0;
    while (first < length && IsWhite(iString[first]))
        ++first;
    while (length > first && IsWhite(iString[length - 1]))
        --length;
    std::memmove(iString, iString + first, length - first);
    iString[length - first] = '\0';
    return iString;
}

char* SkipBlanks(const char* ipChar) {
    if (ipChar == nullptr) return nullptr;
    while (IsWhite(*ipChar))
        ++ipChar;
    return const_cast<char*>(ipChar);
}

char* CutOffSpaces(char* iString) {
    if (iString == nullptr) return nullptr;
    if (char* blank = std::strchr(iString, ' ')) *blank = '\0';
    return iString;
}

BOOLEAN isBlankSourceLine(const char* iString) {
    if (iString == nullptr) return TRUE;
    for (int32_t i = 0; i < kSourceLineColumns && iString[i] != '\0'; ++i)
        if (!IsWhite(iString[i])) return FALSE;
    return TRUE;
}

int16_t startsWith(const char* iString, char iChar) {
    return iString != nullptr && iString[0] == iChar ? 1 : 0;
}

BOOLEAN regionMatches(const char* iString, int32_t thisStart, const char* iOther, int32_t start,
                      int32_t length) {
    if (iString == nullptr || iOther == nullptr) return FALSE;
    // Offsets are checked in 64 bits so that extreme arguments cannot overflow.
    const int64_t span = length;
    if (thisStart < 0 || start < 0 || thisStart > Length(iString) - span ||
        start > Length(iOther) - span)
        return FALSE;
    if (length <= 0) return TRUE;
    const int32_t compared = length < kSearchLimit ? length : kSearchLimit;
    return std::strncmp(iString + thisStart, iOther + start, static_cast<size_t>(compared)) == 0
               ? TRUE
               : FALSE;
}

BOOLEAN endsWith(const char* iString, const char* iSuffix) {
    if (iString == nullptr || iSuffix == nullptr) return FALSE;
    const int32_t suffixLength = Length(iSuffix);
    return regionMatches(iString, Length(iString) - suffixLength, iSuffix, 0, suffixLength);
}

int32_t indexOf(const char* iString, char iChar, int32_t iStart) {
    if (iString == nullptr) return -1;
    const int32_t length = Length(iString);
    const int32_t end = length < kSearchLimit ? length : kSearchLimit;
    for (int32_t i = iStart < 0 ? 0 : iStart; i < end; ++i)
        if (iString[i] == iChar) return i;
    return -1;
}

int32_t lastIndexOfWithStart(const char* iString, char c, int32_t iStart) {
    if (iString == nullptr) return -1;
    const int32_t last = Length(iString) - 1;
    for (int32_t i = iStart < last ? iStart : last; i >= 0; --i)
        if (iString[i] == c) return i;
    return -1;
}

int32_t lastIndexOf(const char* iString, char c) {
    if (iString == nullptr) return -1;
    return lastIndexOfWithStart(iString, c, Length(iString) - 1);
}

char* substring(char* outString, const char* inString, int32_t start, int32_t length) {
    if (outString == nullptr) return nullptr;
    int32_t copied = 0;
    if (inString != nullptr && start >= 0 && length > 0 && start <= Length(inString)) {
        const char* from = inString + start;
        while (copied < length && from[copied] != '\0') {
            outString[copied] = from[copied];
            ++copied;
        }
    }
    outString[copied] = '\0';
    return outString;
}

void StripQuotes(const char* inText, char* outText) {
    if (outText == nullptr) return;
    *outText = '\0';
    if (inText == nullptr) return;
    const char quote = inText[0];
    if (quote != '\'' && quote != '"') {
        const size_t length = std::strcspn(inText, " ");
        std::memcpy(outText, inText, length);
        outText[length] = '\0';
        return;
    }
    // An unterminated quote runs to the end of the text.
    const char* first = inText + 1;
    const char* close = std::strchr(first, quote);
    const char* last = close != nullptr ? close : first + std::strlen(first);
    while (first < last && *first == ' ')
        ++first;
    while (last > first && last[-1] == ' ')
        --last;
    const size_t length = static_cast<size_t>(last - first);
    std::memcpy(outText, first, length);
    outText[length] = '\0';
}

} // extern "C"
