// Test support: collects the lines that kvrbase writes to its log while a CapturedLog
// lives, by pointing DD:RDPRINT at a temporary file, and formats expected message lines
// from the catalogs so tests compare message numbers and inserts, not catalog wording.
#ifndef KVR_TESTS_MESSAGE_LOG_CAPTURE_H
#define KVR_TESTS_MESSAGE_LOG_CAPTURE_H

#include "common/scoped_env.h"
#include "kvrbase.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kvr::test {

struct CapturedLog {
    std::string path = TemporaryPath("log");
    ScopedEnv env{"DD:RDPRINT", path};
    CapturedLog() {
        KVRCloseLogFile();
        KVROpenLogFile(FALSE, 0);
    }
    ~CapturedLog() {
        KVRCloseLogFile();
        std::filesystem::remove(path);
    }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    // Every line written so far (the log is closed to flush it, then reopened).
    std::vector<std::string> Lines() {
        KVRCloseLogFile();
        std::vector<std::string> lines = SplitLines(ReadFile(path));
        KVROpenLogFile(FALSE, 0);
        return lines;
    }
};

// The log line a message with these inserts produces, without its line feed.
inline std::string MessageLine(uint32_t number, const char* insert1 = nullptr) {
    char text[512] = {};
    KVRGetMessageText(text, number, insert1, nullptr, nullptr, nullptr);
    return text;
}

// Switches to the Velkor-mode catalog while it lives.
struct VelkorCatalog {
    VelkorCatalog() { setMessageDll("pjwenus.dll"); }
    ~VelkorCatalog() { setMessageDll("kvrmsg.dll"); }
    VelkorCatalog(const VelkorCatalog&) = delete;
    VelkorCatalog& operator=(const VelkorCatalog&) = delete;
};

} // namespace kvr::test

#endif
