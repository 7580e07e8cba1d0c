// File descriptors and the reads and writes of the scan: each one goes on after a signal
// that only woke it, and gives up at once when the scan has been asked to stop.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kvrscan {

// A file descriptor closed when it goes out of scope.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release();
    // Closes now; 0, or the errno of a failed close (a late write error on some file systems).
    int close();

  private:
    int fd_ = -1;
};

// open(2); on failure the descriptor is empty and errno tells why.
UniqueFd open_file(const std::filesystem::path& path, int flags, mode_t mode = 0666);

// Writes all of DATA to FD; throws ScanFailure "cannot write WHAT: cause".
void write_all(int fd, std::string_view data, const std::string& what);

// Reads what is there, up to the buffer's size; 0 at the end. Throws ScanFailure
// "cannot read WHAT: cause".
std::size_t read_some(int fd, std::span<char> buffer, const std::string& what);

// Creates or empties PATH and writes CONTENT to it; throws ScanFailure.
void write_file(const std::filesystem::path& path, std::string_view content);

// "kvr-scan: MESSAGE" as a line on standard error. A failure to write it is not reported:
// there is nowhere left to report it.
void say(std::string_view message);

} // namespace kvrscan
