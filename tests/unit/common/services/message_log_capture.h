// Test support: collects the lines that kvrbase writes to its log while a CapturedLog
// lives, by pointing DD:RDPRINT at a temporary file, and formats expected message lines
// from the catalogs so tests compare message numbers and inserts, not catalog wording.
#ifndef KVR_TESTS_MESSAGE_LOG_CAPTURE_H
#define KVR_TESTS_MESSAGE_LOG_CAPTURE_H

#include "kvrbase.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace kvr::test {

// A file name in the temporary folder that no other test of this process uses.
inline std::string TemporaryPath(const std::string& stem) {
    static int serial = 0;
    const std::string name =
        "kvr_" + stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(++serial);
    return (std::filesystem::temp_directory_path() / name).string();
}

// Sets an environment variable for the lifetime of the object, then restores it.
struct ScopedEnv {
    std::string name;
    std::optional<std::string> saved;
    ScopedEnv(const char* variable, const std::optional<std::string>& value) : name(variable) {
        if (const char* old = std::getenv(variable)) saved = old;
        if (value)
            ::setenv(variable, value->c_str(), 1);
        else
            ::unsetenv(variable);
    }
    ~ScopedEnv() {
        if (saved)
            ::setenv(name.c_str(), saved->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
};

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
        std::vector<std::string> lines;
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
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
