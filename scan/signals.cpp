#include "signals.h"

#include "errors.h"

#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <unistd.h>

namespace kvrscan::signals {
namespace {

volatile std::sig_atomic_t stop_requested = 0;
int wake_pipe[2] = {-1, -1};

constexpr int stop_signals[] = {SIGINT, SIGTERM, SIGHUP};
// Every signal whose disposition install() changes; a child gets the initial ones back.
constexpr int changed_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGPIPE};
struct sigaction initial_actions[std::size(changed_signals)];
sigset_t initial_mask;

void wake() {
    int saved_errno = errno;
    char byte = 0;
    // A full pipe already holds a wake-up; nothing is lost when this write fails.
    [[maybe_unused]] ssize_t ignored = write(wake_pipe[1], &byte, 1);
    errno = saved_errno;
}

void on_stop_signal(int signal) {
    if (stop_requested == 0) stop_requested = signal;
    wake();
}

void on_child_ended(int) {
    wake();
}

void drain_wake_pipe() {
    char bytes[64];
    while (read(wake_pipe[0], bytes, sizeof bytes) > 0) {
    }
}

bool ignored_at_start(int signal) {
    for (std::size_t i = 0; i < std::size(changed_signals); ++i)
        if (changed_signals[i] == signal) return initial_actions[i].sa_handler == SIG_IGN;
    return false;
}

void set_action(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigfillset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

} // namespace

void install() {
    if (pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw ScanFailure("cannot make a pipe: " + error_text(errno));
    sigprocmask(SIG_SETMASK, nullptr, &initial_mask);
    for (std::size_t i = 0; i < std::size(changed_signals); ++i)
        sigaction(changed_signals[i], nullptr, &initial_actions[i]);

    for (int signal : stop_signals)
        if (!ignored_at_start(signal)) set_action(signal, on_stop_signal, 0);
    // An ending analyzer only wakes the loop; whatever it interrupts may simply go on.
    set_action(SIGCHLD, on_child_ended, SA_RESTART | SA_NOCLDSTOP);
    set_action(SIGPIPE, SIG_IGN, 0);
}

int stop_signal() {
    return stop_requested;
}

void throw_if_stopping() {
    if (int signal = stop_requested) throw Interrupted{signal};
}

void wait_for_signal(std::chrono::milliseconds timeout) noexcept {
    pollfd wake_end{wake_pipe[0], POLLIN, 0};
    int milliseconds = timeout.count() < 0 ? -1 : static_cast<int>(timeout.count());
    poll(&wake_end, 1, milliseconds);
    drain_wake_pipe();
}

void wait_until_writable(int fd) noexcept {
    pollfd ends[] = {{fd, POLLOUT, 0}, {wake_pipe[0], POLLIN, 0}};
    poll(ends, 2, -1);
    drain_wake_pipe();
}

const char* stop_signal_name(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "a signal";
    }
}

void restore_for_child() noexcept {
    for (std::size_t i = 0; i < std::size(changed_signals); ++i)
        sigaction(changed_signals[i], &initial_actions[i], nullptr);
    sigprocmask(SIG_SETMASK, &initial_mask, nullptr);
}

AllBlocked::AllBlocked() noexcept {
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &saved_);
}

AllBlocked::~AllBlocked() {
    sigprocmask(SIG_SETMASK, &saved_, nullptr);
}

} // namespace kvrscan::signals
