// Running the shards' analyzers side by side, and stopping them.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kvrscan {

// One analyzer run: argv[0] is the program's path.
struct ShardCommand {
    std::vector<std::string> argv;
    std::vector<std::string> environment; // NAME=VALUE
    std::filesystem::path stdout_file;
    std::filesystem::path stderr_file;
};

// How an analyzer run ended.
struct ShardOutcome {
    enum class Ending {
        Running,
        Exited,         // code: its exit code
        KilledBySignal, // code: the signal
        NotStarted,     // code: the errno of the failed start
        Stopped,        // stopped by kvr-scan after another run failed or on a stop signal
    };
    Ending ending = Ending::Running;
    int code = 0;

    // Ended by itself with one of kvr4000's exit codes (0-16).
    bool succeeded() const { return ending == Ending::Exited && code >= 0 && code <= 16; }
    bool failed() const { return ending != Ending::Running && !succeeded(); }
};

// The analyzers of one scan, in one process group of their own: a Ctrl-C at the terminal
// reaches only kvr-scan, which then stops the whole group, including anything an analyzer
// started itself. Whatever still runs is stopped and reaped when the group goes out of scope.
class AnalyzerGroup {
  public:
    AnalyzerGroup() = default;
    ~AnalyzerGroup() { stop(); }
    AnalyzerGroup(const AnalyzerGroup&) = delete;
    AnalyzerGroup& operator=(const AnalyzerGroup&) = delete;

    // Starts one run; its outcome is the next in outcomes(). A run that cannot be started
    // is recorded as such, not thrown.
    void start(const ShardCommand& command);
    // Records the runs that have ended, without waiting.
    void reap_ended();
    // SIGTERM to the group; SIGKILL to what is left after a short grace; all reaped.
    void stop() noexcept;

    std::size_t running() const { return running_; }
    bool any_failed() const;
    const std::vector<ShardOutcome>& outcomes() const { return outcomes_; }

    static constexpr std::chrono::milliseconds grace{500};

  private:
    void record(pid_t pid, int status);
    void signal_running(int signal) noexcept;

    pid_t group_ = 0;
    std::vector<pid_t> pids_;       // 0 once reaped, or when never started
    std::vector<int> start_errors_; // errno of a failed exec, reported by the child
    std::vector<ShardOutcome> outcomes_;
    std::size_t running_ = 0;
    bool stopping_ = false;
};

// Runs all COMMANDS side by side until each has ended, calling TICK (when given) at once and
// then every second. When one run fails the others are stopped: the scan has failed, and
// waiting for them would only delay saying so. Throws Interrupted on a stop signal, once
// every run has been stopped.
std::vector<ShardOutcome> run_shards(const std::vector<ShardCommand>& commands,
                                     const std::function<void()>& tick);

} // namespace kvrscan
