#include "incremental.h"

#include "errors.h"
#include "file_io.h"
#include "joining.h"
#include "shard_run.h"

#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kvrscan {
namespace {

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::string read_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The hash of a file whose content is part of the settings; "-" when there is none.
std::string file_hash_or_dash(const std::string& path) {
    if (path.empty()) return "-";
    return hash_file(path, "").value_or("unreadable");
}

std::string key_of(const std::string& container, const std::string& member) {
    return container + '\t' + member;
}

std::string shown(const std::string& container, const std::string& member) {
    return container + '/' + member;
}

} // namespace

ScanState parse_scan_state(const std::string& text) {
    ScanState state;
    for (const std::string& line : lines_of(text)) {
        std::vector<std::string> fields = fields_of(line);
        if (fields.size() != 7) throw ScanFailure("kvr-xref scan-state wrote an odd line: " + line);
        state[key_of(fields[0], fields[1])].push_back({fields[3], fields[4], fields[5], fields[6]});
    }
    return state;
}

std::string settings_salt(const ScanRequest& request) {
    std::string salt = request.xml ? "xml\n" : "text\n";
    for (const std::string& folder : request.proc_folders)
        salt += "search " + folder + '\n';
    salt += "xlatlibs " + file_hash_or_dash(request.xlatlibs) + '\n';
    salt += "syssyms " + file_hash_or_dash(request.syssyms) + '\n';
    for (const std::string& option : request.analyzer_options)
        salt += "option " + option + '\n';
    return salt;
}

IncrementalScan::IncrementalScan(const ScanRequest& request, const std::string& xref,
                                 const WorkFolder& work)
    : request_(request), xref_(xref), work_(work), salt_(settings_salt(request)),
      locator_(request.xlatlibs, extension_option(request.analyzer_options)) {}

void IncrementalScan::read_state_and_hash(const MemberList& listed) {
    std::vector<std::filesystem::path> paths;
    for (const ListedMember& member : listed.members)
        paths.push_back(std::filesystem::path(member.container) / member.member);
    std::vector<std::optional<std::string>> member_hashes;
    {
        // The members are hashed while kvr-xref reads the database.
        std::jthread hashing([&] { member_hashes = hash_files(paths, salt_, 2); });
        state_ = parse_scan_state(run_xref({"scan-state", *request_.database}, "state"));
    }
    for (std::size_t i = 0; i < paths.size(); ++i)
        hashes_.emplace(paths[i].string(), std::move(member_hashes[i]));
}

std::vector<std::string> IncrementalScan::choose(const MemberList& listed) {
    read_state_and_hash(listed);
    std::vector<std::string> lines;
    std::map<std::string, bool> is_listed;
    for (std::size_t i = 0; i < listed.members.size(); ++i) {
        const ListedMember& member = listed.members[i];
        is_listed[key_of(member.container, member.member)] = true;
        std::string reason = reason_to_analyse(member);
        if (reason.empty()) continue;
        lines.push_back(listed.lines[i]);
        tell("analysing " + shown(member.container, member.member) + ": " + reason);
    }
    for (const auto& [key, sources] : state_) {
        std::vector<std::string> name = fields_of(key);
        if (is_listed.count(key) != 0 || !in_job_folders(name[0])) continue;
        gone_.push_back({name[0], name[1]});
        tell("dropping " + shown(name[0], name[1]) + ": gone from its folder");
    }
    analysed_ = lines.size();
    say("incremental scan: " + std::to_string(lines.size()) + " of " +
        std::to_string(listed.members.size()) + " members to analyse, " +
        std::to_string(gone_.size()) + " to drop");
    return lines;
}

std::string IncrementalScan::reason_to_analyse(const ListedMember& member) {
    auto found = state_.find(key_of(member.container, member.member));
    if (found == state_.end()) return "new";
    for (const ScannedSource& source : found->second) {
        if (source.kind == "missing") {
            if (locator_.locate_anywhere(request_.proc_folders, source.member))
                return source.member + " was not found before and is there now";
            continue;
        }
        if (source.kind == "none" || source.hash == "-") return "no hash of its sources";
        std::optional<std::string> hash = source.kind == "job"
                                              ? hash_of(member.container, member.member, "job")
                                              : hash_of(source.container, source.member, "");
        if (!hash) return shown(source.container, source.member) + " is gone";
        if (*hash != source.hash) return shown(source.container, source.member) + " changed";
    }
    return {};
}

std::optional<std::string> IncrementalScan::hash_of(const std::string& container,
                                                    const std::string& member,
                                                    const std::string& kind) {
    // The member itself is the file the list named; a source is searched for.
    std::optional<std::filesystem::path> path =
        kind == "job" ? std::optional(std::filesystem::path(container) / member)
                      : locator_.locate(container, member);
    if (!path) return std::nullopt;
    auto [entry, added] = hashes_.try_emplace(path->string());
    if (added) entry->second = hash_file(*path, salt_);
    return entry->second;
}

bool IncrementalScan::in_job_folders(const std::string& container) const {
    for (const std::string& folder : request_.job_folders) {
        if (container == folder) return true;
        std::string below = folder.ends_with('/') ? folder : folder + '/';
        if (request_.recursive && container.starts_with(below)) return true;
    }
    return false;
}

bool IncrementalScan::prepare_load(DatabaseLoad& load) {
    if (analysed_ == 0 && gone_.empty()) return false;
    std::vector<std::string> arguments{"sources"};
    arguments.insert(arguments.end(), load.imports.begin(), load.imports.end());
    std::string hashes;
    for (const std::string& line : lines_of(run_xref(arguments, "sources", load.written_note))) {
        std::vector<std::string> fields = fields_of(line);
        if (fields.size() != 6) throw ScanFailure("kvr-xref sources wrote an odd line: " + line);
        bool itself = fields[3] == "job" && fields[4] == fields[0] && fields[5] == fields[1];
        std::optional<std::string> hash = hash_of(fields[4], fields[5], itself ? "job" : fields[3]);
        // A source not found gets no hash: the member is analysed again next time.
        if (hash) hashes += fields[0] + '\t' + fields[1] + '\t' + fields[2] + '\t' + *hash + '\n';
    }
    std::string gone;
    for (const ListedMember& member : gone_)
        gone += member.container + '\t' + member.member + '\n';
    std::filesystem::path hash_file_path = work_.path() / "source-hashes";
    std::filesystem::path forget_path = work_.path() / "forget";
    write_file(hash_file_path, hashes);
    write_file(forget_path, gone);
    load.options = {"--forget", forget_path.string(), "--source-hashes", hash_file_path.string()};
    return true;
}

std::string IncrementalScan::run_xref(const std::vector<std::string>& arguments,
                                      const std::string& name, const std::string& after_scan) {
    std::vector<std::string> argv{xref_};
    for (const std::string& argument : arguments)
        argv.push_back(argument.starts_with('-') ? "./" + argument : argument);
    std::vector<std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        environment.emplace_back(*entry);
    ShardCommand command{argv, std::move(environment), work_.path() / (name + ".out"),
                         work_.path() / (name + ".err")};
    const ShardOutcome outcome = run_shards({command}, {}).front();
    if (outcome.ending == ShardOutcome::Ending::Exited && outcome.code == 0)
        return read_text(command.stdout_file);
    append_file(command.stderr_file, STDERR_FILENO, "standard error");
    std::string failed = "kvr-xref " + arguments.front() + " failed";
    if (after_scan.empty()) throw ScanFailure(failed + " on the database " + *request_.database);
    throw LoadFailure("cannot load into the database " + *request_.database + ": " + failed + "; " +
                      after_scan + ", the database was left as it was");
}

void IncrementalScan::tell(const std::string& message) const {
    if (request_.verbose) say(message);
}

} // namespace kvrscan
