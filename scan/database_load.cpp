#include "database_load.h"

#include "errors.h"
#include "joining.h"
#include "shard_run.h"

#include <cstring>
#include <unistd.h>

extern char** environ;

namespace kvrscan {
namespace {

std::string safe_argument(const std::string& name) {
    return name.starts_with('-') ? "./" + name : name;
}

std::string how_it_ended(const ShardOutcome& outcome, const std::string& xref) {
    switch (outcome.ending) {
    case ShardOutcome::Ending::Exited:
        return "kvr-xref ended with exit code " + std::to_string(outcome.code);
    case ShardOutcome::Ending::KilledBySignal:
        return "kvr-xref was killed by signal " + std::to_string(outcome.code) + " (" +
               strsignal(outcome.code) + ")";
    case ShardOutcome::Ending::NotStarted:
        return "cannot start " + xref + ": " + error_text(outcome.code);
    case ShardOutcome::Ending::Stopped:
    case ShardOutcome::Ending::Running:
        break;
    }
    return "kvr-xref did not end";
}

} // namespace

std::vector<std::string> load_arguments(const DatabaseLoad& load) {
    std::vector<std::string> argv{load.xref, "load"};
    argv.insert(argv.end(), load.options.begin(), load.options.end());
    argv.push_back(safe_argument(load.database));
    for (const std::string& import : load.imports)
        argv.push_back(safe_argument(import));
    return argv;
}

void load_into_database(const DatabaseLoad& load, const WorkFolder& work) {
    std::vector<std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        environment.emplace_back(*entry);
    ShardCommand command{load_arguments(load), std::move(environment), work.path() / "load.out",
                         work.path() / "load.err"};
    std::vector<ShardOutcome> outcomes;
    try {
        outcomes = run_shards({command}, {});
    } catch (const Interrupted& stop) {
        throw Interrupted{stop.signal, true};
    }
    try {
        append_file(command.stdout_file, STDERR_FILENO, "standard error");
        append_file(command.stderr_file, STDERR_FILENO, "standard error");
    } catch (const ScanFailure&) {
        // Standard error cannot be written: there is nowhere left to say so, and the scan
        // itself is done.
    }
    const ShardOutcome& outcome = outcomes.front();
    if (outcome.ending == ShardOutcome::Ending::Exited && outcome.code == 0) return;
    throw LoadFailure("cannot load " + load.what + " into the database " + load.database + ": " +
                      how_it_ended(outcome, load.xref) + "; " + load.written_note +
                      ", the database was left as it was");
}

} // namespace kvrscan
