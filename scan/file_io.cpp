#include "file_io.h"

#include "errors.h"
#include "signals.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kvrscan {

std::string error_text(int error) {
    return std::strerror(error);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    close();
}

int UniqueFd::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

int UniqueFd::close() {
    if (fd_ < 0) return 0;
    // After a failed close the descriptor is gone all the same (Linux); never retry it.
    int result = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return result == EINTR ? 0 : result;
}

UniqueFd open_file(const std::filesystem::path& path, int flags, mode_t mode) {
    for (;;) {
        signals::throw_if_stopping();
        int fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
        if (fd >= 0) return UniqueFd(fd);
        if (errno != EINTR) return UniqueFd();
    }
}

void write_all(int fd, std::string_view data, const std::string& what) {
    while (!data.empty()) {
        signals::throw_if_stopping();
        ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            // A full pipe opened without blocking: wait until it drains, or a stop signal.
            if (errno == EAGAIN) {
                signals::wait_until_writable(fd);
                continue;
            }
            throw ScanFailure("cannot write " + what + ": " + error_text(errno));
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::size_t read_some(int fd, std::span<char> buffer, const std::string& what) {
    for (;;) {
        signals::throw_if_stopping();
        ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw ScanFailure("cannot read " + what + ": " + error_text(errno));
    }
}

void write_file(const std::filesystem::path& path, std::string_view content) {
    UniqueFd file = open_file(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (!file) throw ScanFailure("cannot write " + path.string() + ": " + error_text(errno));
    write_all(file.get(), content, path.string());
    if (int error = file.close())
        throw ScanFailure("cannot write " + path.string() + ": " + error_text(error));
}

void say(std::string_view message) {
    std::string line = "kvr-scan: ";
    line.append(message);
    line += '\n';
    std::string_view rest = line;
    while (!rest.empty()) {
        ssize_t written = ::write(STDERR_FILENO, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace kvrscan
