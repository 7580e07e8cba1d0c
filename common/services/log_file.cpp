// The process log: one line per message, appended to the file named by DD:RDPRINT, or
// written to standard error when that file cannot be opened (or the caller asks for it).
#include <cstdio>

#include "kvrbase.h"
#include "platform/dd_names.h"
#include "services/messages.h"

namespace kvr {

namespace {

constexpr uint32_t kDefaultLogFailureMessage = 1638;

FILE* sLog = nullptr;
bool sLogOpen = false;
uint32_t sLogFailureMessage = kDefaultLogFailureMessage;

} // namespace

void WriteLogLine(const char* text) {
    if (sLog == nullptr) return;
    std::fputs(text ? text : "", sLog);
    std::fputc('\n', sLog);
    // No flush per line: the member loop flushes at the end of every member, and closing
    // the log (or leaving the program) writes out the rest.
}

void ResetLogForTests() {
    KVRCloseLogFile();
    sLogFailureMessage = kDefaultLogFailureMessage;
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void KVROpenLogFile(BOOLEAN useStderr, int32_t debug) {
    if (sLogOpen) return;
    if (useStderr) {
        sLog = stderr;
    } else {
        sLog = platform::OpenDDFile("DD:RDPRINT", "a", debug);
        if (sLog == nullptr) {
            sLog = stderr;
            if (debug) KVRWriteMessage(sLogFailureMessage);
        }
    }
    sLogOpen = true;
}

KVR_API void KVRCloseLogFile(void) {
    if (!sLogOpen) return;
    if (sLog != nullptr && sLog != stderr) std::fclose(sLog);
    sLog = nullptr;
    sLogOpen = false;
}

KVR_API void KVRFlushLogFile(void) {
    std::fflush(nullptr);
}

KVR_API void setLogFileErrorMsg(uint32_t iSetting) {
    sLogFailureMessage = iSetting;
}

} // extern "C"
