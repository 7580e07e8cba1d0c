// The ways a scan ends early; main turns each into its message and exit code.
#pragma once

#include <stdexcept>
#include <string>

namespace kvrscan {

// A command line the scan cannot run with, or a place it cannot work in: exit code 2.
struct UsageError : std::runtime_error {
    explicit UsageError(const std::string& message, bool show_usage = true)
        : std::runtime_error(message), show_usage(show_usage) {}
    bool show_usage; // the usage lines follow the message
};

// A scan that could not be completed: an analyzer that died or could not be started, a
// joined file that could not be written. Exit code 16; the final files stay as they were.
// An empty message means the cause has already been reported.
struct ScanFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// SIGINT, SIGTERM or SIGHUP asked the scan to stop: exit code 128 + the signal.
struct Interrupted {
    int signal;
};

// The text of an errno value.
std::string error_text(int error);

} // namespace kvrscan
