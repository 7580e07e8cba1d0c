// Numbered messages: a number and up to four inserts become a line of catalog text,
// written to the log and raising the process's maximum severity by the text's letter.
// The catalog follows the current base name (Velkor mode has its own) and the locale.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kvrbase.h"
#include "services/messages.h"

namespace kvr {

namespace {

constexpr size_t kBaseNameSize = 16;
constexpr uint32_t kNoMemoryMessage = 1450;
constexpr char kDefaultBaseName[] = "kvrmsg.dll";
// The identifier (8 characters) and its two separator characters.
constexpr size_t kIdentifierWidth = 10;

char sBaseName[kBaseNameSize] = "kvrmsg.dll";
KVROutOfMemoryHandler sOutOfMemoryHandler = nullptr;

int32_t FormatWithCurrentCatalog(char* buffer, uint32_t iMsg, const char* r1, const char* r2,
                                 const char* r3, const char* r4) {
    const char* table[4] = {r1, r2, r3, r4};
    return KVRGetMessage(table, buffer, kMessageBufferSize, iMsg, sBaseName);
}

} // namespace

void EndProcessOutOfMemory() {
    if (sOutOfMemoryHandler != nullptr) sOutOfMemoryHandler();
    KVRWriteMessageAndExit(kNoMemoryMessage);
    std::abort(); // not reached: the message ends the process
}

void ResetMessageServicesForTests() {
    std::memcpy(sBaseName, kDefaultBaseName, sizeof kDefaultBaseName);
    ForgetCachedCatalogPair();
    ResetLogForTests();
    ResetSeverityForTests();
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API int32_t KVRGetMessage(const char* const* ppszTable, char* pszDataArea,
                              uint32_t ulDataLength, uint32_t ulMsgNumbr, const char* pszDLLName) {
    const char* locale = KVR_GetLocale();
    if (pszDataArea == nullptr || ulDataLength == 0) return 0;
    std::memset(pszDataArea, 0, ulDataLength);
    const std::string* text = LookupCatalogText(pszDLLName, locale, ulMsgNumbr);
    if (text == nullptr) return 0;
    const size_t length = FormatMessageInserts(text->c_str(), ppszTable, InsertCount(ppszTable, 4),
                                               pszDataArea, ulDataLength);
    return static_cast<int32_t>(length);
}

KVR_API void KVRWriteMessageWithStrings(uint32_t iMsg, const char* pReplace1, const char* pReplace2,
                                        const char* pReplace3, const char* pReplace4) {
    char line[kMessageBufferSize];
    FormatWithCurrentCatalog(line, iMsg, pReplace1, pReplace2, pReplace3, pReplace4);
    WriteLogLine(line); // an unknown message still gives its (empty) line
    SetSeverityFromMsg(line);
}

KVR_API void KVRWriteMessage(uint32_t iMsg) {
    KVRWriteMessageWithStrings(iMsg, nullptr, nullptr, nullptr, nullptr);
}

KVR_API void KVRWriteMessageWithStringAndExit(uint32_t iMsg, const char* ipReplace1) {
    KVRWriteMessageWithStrings(iMsg, ipReplace1, nullptr, nullptr, nullptr);
    std::fflush(nullptr);
    std::exit(8);
}

KVR_API void KVRWriteMessageAndExit(uint32_t iMsg) {
    KVRWriteMessageWithStringAndExit(iMsg, nullptr);
}

KVR_API void KVRSetOutOfMemoryHandler(KVROutOfMemoryHandler handler) {
    sOutOfMemoryHandler = handler;
}

KVR_API void KVRGetMessageText(char* pszMsgText, uint32_t iMsg, const char* pReplace1,
                               const char* pReplace2, const char* pReplace3,
                               const char* pReplace4) {
    if (pszMsgText == nullptr) return;
    FormatWithCurrentCatalog(pszMsgText, iMsg, pReplace1, pReplace2, pReplace3, pReplace4);
}

KVR_API void KVRGetMessageTextWithoutMsgNo(char* pszMsgText, uint32_t iMsg, const char* pReplace1,
                                           const char* pReplace2, const char* pReplace3,
                                           const char* pReplace4) {
    if (pszMsgText == nullptr) return;
    char full[kMessageBufferSize];
    const int32_t length =
        FormatWithCurrentCatalog(full, iMsg, pReplace1, pReplace2, pReplace3, pReplace4);
    // A text no longer than its identifier has no message part.
    const char* rest =
        length > static_cast<int32_t>(kIdentifierWidth) ? full + kIdentifierWidth : "";
    std::memmove(pszMsgText, rest, std::strlen(rest) + 1);
}

KVR_API int16_t KVRGetMessageType(const char* pszMessageText) {
    if (pszMessageText == nullptr) return 0;
    for (size_t i = 0; i < 7; ++i) {
        if (pszMessageText[i] == '\0') return 0;
    }
    switch (pszMessageText[7]) {
    case 'W':
        return 4;
    case 'E':
        return 8;
    case 'S':
        return 16;
    default:
        return 0;
    }
}

KVR_API void KVRDescribeMessageCatalog(char* outText, uint32_t iSize) {
    if (outText == nullptr || iSize == 0) return;
    const std::string text = CatalogDescription(sBaseName, KVR_GetLocale());
    const size_t length = std::min<size_t>(text.size(), iSize - 1);
    std::memcpy(outText, text.data(), length);
    outText[length] = '\0';
}

KVR_API void setMessageDll(const char* iSetting) {
    if (iSetting != nullptr) {
        const size_t length = strnlen(iSetting, kBaseNameSize - 1);
        std::memcpy(sBaseName, iSetting, length);
        sBaseName[length] = '\0';
    }
    ForgetCachedCatalogPair();
}

} // extern "C"
