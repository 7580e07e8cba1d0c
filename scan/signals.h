// Signal handling. SIGINT, SIGTERM and SIGHUP only note that the scan is to stop and wake
// the waiting loop through a pipe; the work then ends itself at the next look at the note.
// A call that could block for long (waiting for analyzers, for a pipe's reader) waits on that
// pipe too, so that a signal that came just before the call still ends the wait.
#pragma once

#include <chrono>
#include <csignal>

namespace kvrscan::signals {

// Installs the handlers. A stop signal ignored when the program started (nohup, a
// background job of a script) stays ignored. SIGPIPE is ignored, so that a closed output
// shows as a write error instead of ending the program with its temporary files left behind.
void install();

// The signal that asked the scan to stop, or 0.
int stop_signal();

// Throws Interrupted when a stop signal has arrived.
void throw_if_stopping();

// Waits until a signal arrives (a stop signal, or an analyzer ending) or the time is up.
// A negative time waits without limit.
void wait_for_signal(std::chrono::milliseconds timeout) noexcept;

// Waits until FD can be written to, or a signal arrives.
void wait_until_writable(int fd) noexcept;

// SIGINT, SIGTERM, SIGHUP.
const char* stop_signal_name(int signal);

// For a new analyzer between fork and exec (async-signal-safe): the signal dispositions and
// mask that kvr-scan itself was started with.
void restore_for_child() noexcept;

// Every signal held back while it lives: around fork, and while the finished files are
// renamed into place, which must happen together or not at all.
class AllBlocked {
  public:
    AllBlocked() noexcept;
    ~AllBlocked();
    AllBlocked(const AllBlocked&) = delete;
    AllBlocked& operator=(const AllBlocked&) = delete;

  private:
    sigset_t saved_;
};

} // namespace kvrscan::signals
