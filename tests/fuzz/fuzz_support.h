// Set-up shared by the fuzz targets: a private temporary folder removed when the process
// ends, the log sent to /dev/null with no import file, the block balance, and a check
// that aborts so libFuzzer keeps the input that broke it.
#ifndef KVR_TESTS_FUZZ_FUZZ_SUPPORT_H
#define KVR_TESTS_FUZZ_FUZZ_SUPPORT_H

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "kvrbase.h"

namespace kvr::fuzz {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

// Blocks taken and not yet returned.
inline int32_t Outstanding() {
    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    return created - freed;
}

// A C string's view of the bytes: up to the first NUL.
inline std::string CText(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find('\0')));
}

// The input as text, cut at each separator into at most `count` parts (missing parts empty).
inline std::vector<std::string_view> SplitInput(const uint8_t* data, size_t size,
                                                std::string_view separator, size_t count) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = i + 1 == count ? std::string_view::npos : input.find(separator);
        parts[i] = input.substr(0, at);
        input =
            at == std::string_view::npos ? std::string_view() : input.substr(at + separator.size());
    }
    return parts;
}

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Messages go to a log nobody reads, and no import file is written.
inline void QuietLog() {
    ::setenv("DD:RDPRINT", "/dev/null", 1);
    ::unsetenv("DD:ATTRBOUT");
    KVROpenLogFile(FALSE, 0);
}

inline void RemoveFolder();

// This process's own temporary folder (with a subfolder LIB), made once and removed at exit.
inline const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("kvr-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path / "LIB");
        std::atexit(RemoveFolder);
        return path;
    }();
    return folder;
}

inline void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

// The container the whole-program target analyses: JOBS for the member, LIB for procedures
// and INCLUDE members (the default search list), the current folder inside it so that
// library names relative to it stay in the temporary area. Made once.
inline const std::filesystem::path& MemberContainer() {
    static const bool ready = [] {
        std::filesystem::create_directories(Folder() / "JOBS");
        WriteBytes(Folder() / "jcllib.txt", (Folder() / "LIB").string() + "\n");
        ::setenv("DD:JCLLIB", (Folder() / "jcllib.txt").c_str(), 1);
        ::unsetenv("DD:XLATLIBS");
        QuietLog();
        LoadDefaultSearchList(0, 0);
        std::filesystem::current_path(Folder());
        return true;
    }();
    (void)ready;
    return Folder();
}

// Writes JOBS/MEM, LIB/FPROC and LIB/FINC from the input split at lines "~~~". A "/" beyond
// the first two columns of a line becomes "*": names in the input can then never be paths,
// so the analysis only ever opens members of the temporary container.
inline void WriteMemberParts(const uint8_t* data, size_t size) {
    const std::filesystem::path& root = MemberContainer();
    const auto parts = SplitInput(data, size, "\n~~~\n", 3);
    const std::filesystem::path files[] = {root / "JOBS" / "MEM", root / "LIB" / "FPROC",
                                           root / "LIB" / "FINC"};
    for (size_t i = 0; i < 3; ++i) {
        std::string text(parts[i]);
        size_t column = 0;
        for (char& c : text) {
            if (c == '/' && column >= 2) c = '*';
            column = c == '\n' ? 0 : column + 1;
        }
        WriteBytes(files[i], text);
    }
}

} // namespace kvr::fuzz

#endif
