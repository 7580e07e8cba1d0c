#include "scan.h"

#include "analyzer_command.h"
#include "atomic_output.h"
#include "database_load.h"
#include "errors.h"
#include "file_io.h"
#include "incremental.h"
#include "joining.h"
#include "member_listing.h"
#include "progress.h"
#include "shard_run.h"
#include "shard_split.h"
#include "signals.h"
#include "work_folder.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <optional>
#include <unistd.h>

extern char** environ;

namespace kvrscan {
namespace {

std::vector<std::filesystem::path> shard_files(const WorkFolder& work, std::size_t shards,
                                               std::string_view kind) {
    std::vector<std::filesystem::path> files;
    for (std::size_t shard = 1; shard <= shards; ++shard)
        files.push_back(work.shard_file(shard, kind));
    return files;
}

// The default search list as kvr4000 reads it, one folder a line; DUMMY when there is none.
std::string write_search_list(const WorkFolder& work, const std::vector<std::string>& folders) {
    if (folders.empty()) return "DUMMY";
    std::string content;
    for (const std::string& folder : folders)
        content += list_word(folder) + '\n';
    std::filesystem::path search_list = work.path() / "jcllib.txt";
    write_file(search_list, content);
    return search_list.string();
}

void write_shard_lists(const WorkFolder& work, const std::vector<std::string>& lines,
                       const std::vector<LineRange>& shards) {
    for (std::size_t shard = 0; shard < shards.size(); ++shard) {
        std::string content;
        for (std::size_t line = shards[shard].first; line < shards[shard].end; ++line)
            content += lines[line] + '\n';
        write_file(work.shard_file(shard + 1, "list"), content);
    }
}

std::vector<ShardCommand> shard_commands(const ScanRequest& request, const std::string& analyzer,
                                         const WorkFolder& work, std::size_t shards,
                                         const std::string& search_list) {
    std::vector<std::string> argv{analyzer};
    if (request.xml) argv.push_back("-x");
    argv.insert(argv.end(), request.analyzer_options.begin(), request.analyzer_options.end());
    std::vector<std::string> shared =
        shared_environment(environ, std::to_string(std::time(nullptr)));
    std::vector<ShardCommand> commands;
    for (std::size_t shard = 1; shard <= shards; ++shard) {
        ShardDataSets data_sets{work.shard_file(shard, "list"), work.shard_file(shard, "import"),
                                work.shard_file(shard, "log"), search_list,
                                request.xlatlibs.empty() ? "DUMMY" : request.xlatlibs,
                                request.syssyms.empty() ? "DUMMY" : request.syssyms};
        commands.push_back({argv, shard_environment(shared, data_sets),
                            work.shard_file(shard, "out"), work.shard_file(shard, "err")});
    }
    return commands;
}

std::vector<ShardOutcome> run_with_progress(const std::vector<ShardCommand>& commands,
                                            const WorkFolder& work, const ScanRequest& request,
                                            std::size_t members) {
    if (isatty(STDERR_FILENO) == 0) return run_shards(commands, {});
    ProgressLine progress(shard_files(work, commands.size(), "import"), request.xml, members);
    std::vector<ShardOutcome> outcomes = run_shards(commands, [&] { progress.show(); });
    progress.finish();
    return outcomes;
}

std::string failure_text(const ShardOutcome& outcome, std::size_t part,
                         const std::string& analyzer) {
    std::string of_part = "part " + std::to_string(part) + " of the file list";
    switch (outcome.ending) {
    case ShardOutcome::Ending::Exited:
        return "kvr4000 ended with exit code " + std::to_string(outcome.code) + " on " + of_part;
    case ShardOutcome::Ending::KilledBySignal:
        return of_part + " failed: kvr4000 was killed by signal " + std::to_string(outcome.code) +
               " (" + strsignal(outcome.code) + ")";
    case ShardOutcome::Ending::NotStarted:
        return of_part + " was not analysed: cannot start " + analyzer + ": " +
               error_text(outcome.code);
    case ShardOutcome::Ending::Stopped:
        return of_part + " was stopped, as another part failed";
    case ShardOutcome::Ending::Running:
        break;
    }
    return of_part + " was not analysed";
}

// Says how each failed run ended and passes on what each analyzer wrote to its standard
// output and standard error, in shard order. True when every run succeeded.
bool report_shards(const std::vector<ShardOutcome>& outcomes, const WorkFolder& work,
                   const std::string& analyzer) {
    bool all_succeeded = true;
    for (std::size_t shard = 0; shard < outcomes.size(); ++shard) {
        if (!outcomes[shard].succeeded()) {
            say(failure_text(outcomes[shard], shard + 1, analyzer));
            all_succeeded = false;
        }
        append_file(work.shard_file(shard + 1, "out"), STDOUT_FILENO, "standard output");
        append_file(work.shard_file(shard + 1, "err"), STDERR_FILENO, "standard error");
    }
    return all_succeeded;
}

// The joined files written, then put in place together.
void write_outputs(FinalOutput& import, FinalOutput& log, const WorkFolder& work,
                   std::size_t shards, bool xml) {
    join_imports(shard_files(work, shards, "import"), xml, import.open(), import.description());
    import.close();
    join_files(shard_files(work, shards, "log"), log.open(), log.description());
    log.close();
    // A stop signal that came before this point stops the scan; one that comes later waits
    // until both files are in place, and the scan then ends as done.
    signals::AllBlocked blocked;
    signals::throw_if_stopping();
    import.commit();
    log.commit();
}

// The finished import file when it can be read again; else (a device, a pipe, standard
// output) the shards' files, which hold the same members and are loaded the same way.
DatabaseLoad database_load(const ScanRequest& request, const std::string& xref,
                           const FinalOutput& import, const WorkFolder& work, std::size_t shards) {
    DatabaseLoad load{xref, *request.database, {}, {}, written_note(request), {}};
    if (import.is_replaced_file()) {
        load.imports.push_back(request.import_name);
        load.what = import.description();
    } else {
        for (const std::filesystem::path& file : shard_files(work, shards, "import"))
            load.imports.push_back(file.string());
        load.what = "what was scanned (written to " + import.description() + ")";
    }
    return load;
}

int exit_code(const std::vector<ShardOutcome>& outcomes, bool left_out) {
    int highest = left_out ? 4 : 0;
    for (const ShardOutcome& outcome : outcomes)
        highest = std::max(highest, outcome.code);
    return highest;
}

} // namespace

int run_scan(const ScanRequest& request, const std::string& analyzer, const std::string& xref) {
    std::optional<FinalOutput> import;
    if (request.import_name == "-")
        import.emplace(FinalOutput::StandardOutput{});
    else
        import.emplace(request.import_name, "import file");
    FinalOutput log(request.log_name, "log");
    WorkFolder work;

    MemberList members = list_members(request.job_folders, request.recursive, say);
    if (members.lines.empty()) say("no members in the job folders");
    std::optional<IncrementalScan> incremental;
    if (request.incremental) incremental.emplace(request, xref, work);
    const std::vector<std::string> analysed =
        incremental ? incremental->choose(members) : members.lines;
    std::string search_list = write_search_list(work, request.proc_folders);
    std::vector<LineRange> shards = split_into_shards(analysed.size(), request.shards);
    write_shard_lists(work, analysed, shards);

    auto commands = shard_commands(request, analyzer, work, shards.size(), search_list);
    std::vector<ShardOutcome> outcomes =
        run_with_progress(commands, work, request, analysed.size());
    if (!report_shards(outcomes, work, analyzer)) throw ScanFailure("");
    write_outputs(*import, log, work, shards.size(), request.xml);
    if (request.database) {
        DatabaseLoad load = database_load(request, xref, *import, work, shards.size());
        if (!incremental || incremental->prepare_load(load)) load_into_database(load, work);
    }
    return exit_code(outcomes, members.left_out);
}

std::string untouched_note(const ScanRequest& request) {
    std::string log = "the log " + request.log_name;
    if (request.import_name == "-") return log + " was left as it was";
    return "the import file " + request.import_name + " and " + log + " were left as they were";
}

std::string written_note(const ScanRequest& request) {
    std::string log = "the log " + request.log_name;
    if (request.import_name == "-") return log + " was written";
    return "the import file " + request.import_name + " and " + log + " were written";
}

} // namespace kvrscan
