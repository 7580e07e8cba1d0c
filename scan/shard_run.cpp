#include "shard_run.h"

#include "file_io.h"
#include "signals.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kvrscan {
namespace {

// NULL-terminated char* arrays for execve, made before fork: the child may only call
// async-signal-safe functions, so it must not allocate.
class CStringArray {
  public:
    explicit CStringArray(const std::vector<std::string>& strings) {
        for (const std::string& text : strings)
            pointers_.push_back(const_cast<char*>(text.c_str()));
        pointers_.push_back(nullptr);
    }
    char* const* get() const { return pointers_.data(); }

  private:
    std::vector<char*> pointers_;
};

// Everything the child needs between fork and exec.
struct ChildSetup {
    pid_t parent;
    pid_t group; // 0: the child leads a new group
    int stdin_fd;
    int stdout_fd;
    int stderr_fd;
    int start_error_fd; // receives errno when exec fails
    char* const* argv;
    char* const* envp;
};

[[noreturn]] void exec_child(const ChildSetup& setup) noexcept {
    setpgid(0, setup.group);
    // An analyzer must not outlive a kvr-scan that was killed outright.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != setup.parent) _exit(127);
    signals::restore_for_child();
    dup2(setup.stdin_fd, STDIN_FILENO);
    dup2(setup.stdout_fd, STDOUT_FILENO);
    dup2(setup.stderr_fd, STDERR_FILENO);
    execve(setup.argv[0], setup.argv, setup.envp);
    int error = errno;
    [[maybe_unused]] ssize_t ignored = write(setup.start_error_fd, &error, sizeof error);
    _exit(127);
}

// The errno a child sent before exiting, or 0 when its exec succeeded (the pipe closed).
int read_start_error(int fd) {
    int error = 0;
    for (;;) {
        ssize_t got = read(fd, &error, sizeof error);
        if (got == static_cast<ssize_t>(sizeof error)) return error;
        if (got < 0 && errno == EINTR) continue; // the exec is moments away; wait for it
        return 0;
    }
}

} // namespace

void AnalyzerGroup::start(const ShardCommand& command) {
    outcomes_.emplace_back();
    pids_.push_back(0);
    start_errors_.push_back(0);
    auto not_started = [this](int error) {
        outcomes_.back() = {ShardOutcome::Ending::NotStarted, error};
    };
    UniqueFd input = open_file("/dev/null", O_RDONLY);
    if (!input) return not_started(errno);
    UniqueFd output = open_file(command.stdout_file, O_WRONLY | O_CREAT | O_TRUNC);
    if (!output) return not_started(errno);
    UniqueFd errors = open_file(command.stderr_file, O_WRONLY | O_CREAT | O_TRUNC);
    if (!errors) return not_started(errno);
    int start_error_pipe[2];
    if (pipe2(start_error_pipe, O_CLOEXEC) != 0) return not_started(errno);
    UniqueFd start_error_read(start_error_pipe[0]);
    UniqueFd start_error_write(start_error_pipe[1]);

    CStringArray argv(command.argv);
    CStringArray envp(command.environment);
    ChildSetup setup{getpid(),     group_,       input.get(),
                     output.get(), errors.get(), start_error_write.get(),
                     argv.get(),   envp.get()};
    pid_t pid;
    {
        // No handler of ours may run in the child before it has put back the initial ones.
        signals::AllBlocked blocked;
        pid = fork();
        if (pid == 0) exec_child(setup);
    }
    if (pid < 0) return not_started(errno);
    // Also set here, so that the group exists before the next child is started; the child
    // may have done it already, or exec'd, and then this fails harmlessly.
    setpgid(pid, group_ == 0 ? pid : group_);
    if (group_ == 0) group_ = pid;
    pids_.back() = pid;
    ++running_;
    start_error_write.close();
    start_errors_.back() = read_start_error(start_error_read.get());
}

void AnalyzerGroup::reap_ended() {
    while (running_ > 0) {
        int status = 0;
        pid_t pid = waitpid(-1, &status, WNOHANG);
        if (pid < 0 && errno == EINTR) continue;
        if (pid <= 0) return;
        record(pid, status);
    }
}

void AnalyzerGroup::record(pid_t pid, int status) {
    auto found = std::find(pids_.begin(), pids_.end(), pid);
    if (found == pids_.end()) return;
    std::size_t shard = static_cast<std::size_t>(found - pids_.begin());
    *found = 0;
    --running_;
    using Ending = ShardOutcome::Ending;
    ShardOutcome& outcome = outcomes_[shard];
    bool exited = WIFEXITED(status);
    if (start_errors_[shard] != 0) {
        outcome = {Ending::NotStarted, start_errors_[shard]};
    } else if (exited && (!stopping_ || WEXITSTATUS(status) <= 16)) {
        outcome = {Ending::Exited, WEXITSTATUS(status)};
    } else if (stopping_) {
        outcome = {Ending::Stopped, 0};
    } else {
        outcome = {Ending::KilledBySignal, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
    }
}

bool AnalyzerGroup::any_failed() const {
    return std::any_of(outcomes_.begin(), outcomes_.end(),
                       [](const ShardOutcome& o) { return o.failed(); });
}

// The group as a whole catches what the analyzers started; each pid on its own catches an
// analyzer that left the group.
void AnalyzerGroup::signal_running(int signal) noexcept {
    if (group_ > 0) kill(-group_, signal);
    for (pid_t pid : pids_)
        if (pid > 0) kill(pid, signal);
}

void AnalyzerGroup::stop() noexcept {
    if (running_ == 0) return;
    stopping_ = true;
    signal_running(SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + grace;
    for (;;) {
        reap_ended();
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (running_ == 0 || left.count() <= 0) break;
        signals::wait_for_signal(left + std::chrono::milliseconds(1));
    }
    if (running_ > 0) signal_running(SIGKILL);
    while (running_ > 0) {
        int status = 0;
        pid_t pid = waitpid(-1, &status, 0);
        if (pid < 0 && errno != EINTR) break;
        if (pid > 0) record(pid, status);
    }
    // What an analyzer started and left behind, gone deaf to SIGTERM.
    if (group_ > 0) kill(-group_, SIGKILL);
}

std::vector<ShardOutcome> run_shards(const std::vector<ShardCommand>& commands,
                                     const std::function<void()>& tick) {
    AnalyzerGroup group;
    for (const ShardCommand& command : commands) {
        signals::throw_if_stopping();
        group.start(command);
    }
    auto next_tick = std::chrono::steady_clock::now();
    for (;;) {
        group.reap_ended();
        signals::throw_if_stopping();
        if (group.any_failed()) group.stop();
        if (group.running() == 0) break;
        auto now = std::chrono::steady_clock::now();
        if (tick && now >= next_tick) {
            tick();
            next_tick = now + std::chrono::seconds(1);
        }
        // A second at most even without progress to show: a look too many costs nothing.
        auto wait = tick ? std::chrono::duration_cast<std::chrono::milliseconds>(next_tick - now) +
                               std::chrono::milliseconds(1)
                         : std::chrono::milliseconds(1000);
        signals::wait_for_signal(wait);
    }
    return group.outcomes();
}

} // namespace kvrscan
