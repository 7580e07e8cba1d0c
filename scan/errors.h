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

// A scan whose import file and log were written, but whose load into the database (--db)
// failed: exit code 20. The database stays as it was; the message says why and what was
// written.
struct LoadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The exit code of a LoadFailure: above every code of kvr4000, so that a check for "16 or
// less" cannot take a scan whose load failed for one that worked.
constexpr int load_failure_exit_code = 20;

// SIGINT, SIGTERM or SIGHUP asked the scan to stop: exit code 128 + the signal.
struct Interrupted {
    int signal;
    bool while_loading = false; // the import file and the log were already in place
};

// The text of an errno value.
std::string error_text(int error);

} // namespace kvrscan
