// The process log: one line per message, appended to the file named by DD:RDPRINT, or
// written to standard error when that file cannot be opened (or the caller asks for it).
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "kvrbase.h"
#include "platform/dd_names.h"
#include "services/messages.h"

namespace kvr {

namespace {

constexpr uint32_t kDefaultLogFailureMessage = 1638;

FILE* sLog = nullptr;
bool sLogOpen = false;
bool sLogFailed = false;
uint32_t sLogFailureMessage = kDefaultLogFailureMessage;

// A log that cannot be written (a full disk) is said once on standard error; the program
// learns of it through KVRLogFileFailed and must not end with success.
void NoteLogFailure() {
    if (sLogFailed) return;
    sLogFailed = true;
    std::fprintf(stderr, "The log file DD:RDPRINT cannot be written (%s); its messages are lost.\n",
                 std::strerror(errno));
}

void CheckLogWritten() {
    if (sLog != nullptr && sLog != stderr && std::ferror(sLog)) NoteLogFailure();
}

} // namespace

void WriteLogLine(const char* text) {
    if (sLog == nullptr) return;
    std::fputs(text ? text : "", sLog);
    std::fputc('\n', sLog);
    CheckLogWritten();
    // No flush per line: the member loop flushes at the end of every member, and closing
    // the log (or leaving the program) writes out the rest.
}

void ResetLogForTests() {
    KVRCloseLogFile();
    sLogFailed = false;
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
    if (sLog != nullptr && sLog != stderr) {
        const bool written = !std::ferror(sLog);
        if (std::fclose(sLog) != 0 || !written) NoteLogFailure();
    }
    sLog = nullptr;
    sLogOpen = false;
}

KVR_API void KVRFlushLogFile(void) {
    std::fflush(nullptr);
    CheckLogWritten();
}

KVR_API BOOLEAN KVRLogFileFailed(void) {
    return sLogFailed ? TRUE : FALSE;
}

KVR_API void setLogFileErrorMsg(uint32_t iSetting) {
    sLogFailureMessage = iSetting;
}

} // extern "C"
