#include "content_hash.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace kvrscan {

void ContentHash::add(std::string_view bytes) {
    constexpr std::uint64_t prime = 0x100000001b3ULL;
    std::uint64_t value = value_;
    for (unsigned char byte : bytes) {
        value ^= byte;
        value *= prime;
    }
    value_ = value;
}

std::string ContentHash::hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value_));
    return text;
}

std::optional<std::string> hash_file(const std::filesystem::path& path, std::string_view salt) {
    // Plain system calls, not the scan's stop-aware ones: this runs on worker threads too,
    // and a file is read in a moment.
    int file = -1;
    do
        file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (file < 0 && errno == EINTR);
    if (file < 0) return std::nullopt;
    ContentHash hash;
    hash.add(salt);
    std::array<char, 65536> buffer;
    bool whole = true;
    for (;;) {
        ssize_t got = ::read(file, buffer.data(), buffer.size());
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            whole = false;
            break;
        }
        hash.add(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    ::close(file);
    if (!whole) return std::nullopt;
    return hash.hex();
}

std::vector<std::optional<std::string>> hash_files(const std::vector<std::filesystem::path>& paths,
                                                   std::string_view salt, unsigned threads) {
    std::vector<std::optional<std::string>> hashes(paths.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < paths.size();)
            hashes[i] = hash_file(paths[i], salt);
    };
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 1; t < threads; ++t)
            workers.emplace_back(work);
        work();
    }
    return hashes;
}

} // namespace kvrscan
