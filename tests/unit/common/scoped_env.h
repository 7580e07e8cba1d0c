// Helpers shared by the unit tests: environment variables put back as they were when the
// helper goes out of scope, temporary folders and files, and the count of blocks held.
#ifndef KVR_TESTS_UNIT_COMMON_SCOPED_ENV_H
#define KVR_TESTS_UNIT_COMMON_SCOPED_ENV_H

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "kvrbase.h"

namespace kvr::test {

class ScopedEnv {
  public:
    explicit ScopedEnv(std::string name) : name_(std::move(name)) {
        if (const char* value = std::getenv(name_.c_str())) saved_ = value;
    }
    // Sets the variable (or removes it, for no value) for the helper's lifetime.
    ScopedEnv(std::string name, const std::optional<std::string>& value)
        : ScopedEnv(std::move(name)) {
        value ? Set(*value) : Unset();
    }
    ~ScopedEnv() {
        if (saved_) {
            ::setenv(name_.c_str(), saved_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const std::string& value) { ::setenv(name_.c_str(), value.c_str(), 1); }
    void Unset() { ::unsetenv(name_.c_str()); }

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvrtest-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// A file name in the temporary folder that no other test of this process uses.
inline std::string TemporaryPath(const std::string& stem) {
    static int serial = 0;
    const std::string name =
        "kvr_" + stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(++serial);
    return (std::filesystem::temp_directory_path() / name).string();
}

// Counted blocks created and not yet freed.
inline int32_t Outstanding() {
    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    return created - freed;
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace kvr::test

#endif
