// The copyright block written at the start of a run (standard and Velkor numbers) and
// the site name the analyzers record with their results.
#include <cstdlib>
#include <cstring>

#include "kvrbase.h"

namespace {

constexpr size_t kSiteNameSize = 256;

} // namespace

extern "C" {

KVR_API void kvru900(const char* MainPgmProgramName, const char* iCopyrightYears,
                     const char* MainPgmDateCompiled, const char* MainPgmTimeCompiled) {
    KVRWriteMessageWithStrings(1001, MainPgmProgramName, MainPgmDateCompiled, MainPgmTimeCompiled,
                               nullptr);
    KVRWriteMessage(1002);
    KVRWriteMessage(1000);
    KVRWriteMessageWithStrings(1003, iCopyrightYears, nullptr, nullptr, nullptr);
    KVRWriteMessage(1000);
    KVRWriteMessage(1004);
    KVRWriteMessage(1005);
    KVRWriteMessage(1006);
    KVRWriteMessage(1000);
}

KVR_API void kvru900_Velkor(const char* MainPgmProgramName, const char* iCopyrightYears,
                            const char* MainPgmDateCompiled, const char* MainPgmTimeCompiled) {
    KVRWriteMessageWithStrings(3002, MainPgmProgramName, MainPgmDateCompiled, MainPgmTimeCompiled,
                               nullptr);
    KVRWriteMessage(3003);
    KVRWriteMessage(3001);
    KVRWriteMessage(3120);
    KVRWriteMessageWithStrings(3004, iCopyrightYears, nullptr, nullptr, nullptr);
    KVRWriteMessage(3001);
    KVRWriteMessage(3005);
    KVRWriteMessage(3006);
    KVRWriteMessage(3007);
    KVRWriteMessage(3001);
}

KVR_API void KVRU986_GetSiteName(char* outSiteName) {
    if (outSiteName == nullptr) return;
    const char* name = std::getenv("COMPUTERNAME");
    const char* site = name ? name : "*DEFAULT*";
    const size_t length = strnlen(site, kSiteNameSize - 1);
    std::memcpy(outSiteName, site, length);
    outSiteName[length] = '\0';
}

} // extern "C"
