#include "content_hash.h"

#include "file_io.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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
    UniqueFd file = open_file(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (!file) return std::nullopt;
    ContentHash hash;
    hash.add(salt);
    std::array<char, 65536> buffer;
    for (;;) {
        ssize_t got = ::read(file.get(), buffer.data(), buffer.size());
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        hash.add(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    return hash.hex();
}

} // namespace kvrscan
