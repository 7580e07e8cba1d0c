// The content hash an incremental scan keeps of every member and source it analysed: 64-bit
// FNV-1a, written as 16 hexadecimal digits. It only has to tell a changed file from the one
// analysed before (no one is trying to forge a collision), and it needs no library.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvrscan {

class ContentHash {
  public:
    void add(std::string_view bytes);
    std::string hex() const;

  private:
    std::uint64_t value_ = 0xcbf29ce484222325ULL; // the FNV-1a 64 offset basis
};

// The hash of SALT followed by the bytes of the file at PATH; nothing when the file cannot be
// read. The salt ties every hash to the scan's settings, so that other settings make every
// member look changed.
std::optional<std::string> hash_file(const std::filesystem::path& path, std::string_view salt);

// hash_file for each of PATHS, on THREADS threads: reading many small files costs mostly
// the system's time per file, which a second core halves.
std::vector<std::optional<std::string>> hash_files(const std::vector<std::filesystem::path>& paths,
                                                   std::string_view salt, unsigned threads);

} // namespace kvrscan
