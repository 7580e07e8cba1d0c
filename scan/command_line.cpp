#include "command_line.h"

#include "errors.h"
#include "member_listing.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <sys/stat.h>

namespace kvrscan {

const char* const help_text =
    R"(usage: kvr-scan [-x] [-r] [-j N] [-o IMPORT] [-l LOG] [--db DB [--incremental] [-v]] JOB_FOLDER...
                [-p PROC_FOLDER...] [-t XLATLIBS] [-s SYSSYMS] [-- KVR4000_OPTION...]

Analyses every member (regular file) of the job folders with kvr4000, in the current
folder, and writes one import file and one log.

  JOB_FOLDER   a folder of members; its files are listed in byte order (LC_ALL=C),
               the folders in the order given; names starting with "." are left out
  -r           also list the members of subfolders (the container is the subfolder)
  -p FOLDER... the default search list for cataloged procedures and INCLUDE members,
               in the order given; every word after -p up to the next option is one
  -t FILE      the translation table (LIBRARY.NAME folder a line)
  -s FILE      the system symbols (NAME=VALUE a line), kvr4000's DD:SYSSYMS
  -x           XML import file
  -j N         run N analyzers in parallel, each on a contiguous part of the file list
  -o IMPORT    the import file (default kvr-scan.import; "-" standard output)
  -l LOG       the log (default kvr-scan.log)
  --db DB      once the import file and the log are written, load the import file into
               the kvr-xref database DB (as kvr-xref load DB IMPORT does)
  --incremental  with --db: analyse only the members that are new or whose text, or
               any procedure or INCLUDE member they used, changed since the scan that
               loaded them (DB keeps a hash of each); drop from DB the members gone
               from the job folders; the import file and the log hold the members
               analysed
  -v           with --incremental: name each member analysed again or dropped, and why
  -- ...       further options for kvr4000, e.g. -- -exjcl,txt
  -h           this help

kvr4000 is $KVR4000 when set, else the kvr4000 beside kvr-scan, else the one on PATH;
kvr-xref likewise ($KVR_XREF).
The import file and the log are written under temporary names beside them and put in
place only when every analyzer run ended by itself; after a failure or an interrupt the
files of an earlier run are left as they were.

Exit codes: the highest exit code of the analyzer runs (0, 4, 8, 12, 16); at least 4 when
a file was left out with a warning (a name holding a double quote, "=" or a line end, or
not a regular file); 2 for a usage error; 16 when an analyzer run died or could not be
started, or the import file or the log could not be written; 20 when the scan was written
but its load into the database failed (the database was left as it was); 130, 143 or 129
when stopped by SIGINT, SIGTERM or SIGHUP.
)";

const char* const usage_lines =
    "usage: kvr-scan [-x] [-r] [-j N] [-o IMPORT] [-l LOG] [--db DB [--incremental] [-v]] "
    "JOB_FOLDER... "
    "[-p PROC_FOLDER...] [-t XLATLIBS] [-s SYSSYMS] [-- OPTION...]\n"
    "       kvr-scan -h for help\n";

namespace {

// An option and what it does to the request. A new option is one more line of the table.
struct OptionRule {
    std::string_view name;
    bool takes_value;
    void (*apply)(ScanRequest& request, const std::string& value);
};

const OptionRule option_rules[] = {
    {"-x", false, [](ScanRequest& r, const std::string&) { r.xml = true; }},
    {"-r", false, [](ScanRequest& r, const std::string&) { r.recursive = true; }},
    {"-j", true, [](ScanRequest& r, const std::string& value) { r.shards_text = value; }},
    {"-o", true, [](ScanRequest& r, const std::string& value) { r.import_name = value; }},
    {"-l", true, [](ScanRequest& r, const std::string& value) { r.log_name = value; }},
    {"-t", true, [](ScanRequest& r, const std::string& value) { r.xlatlibs = value; }},
    {"-s", true, [](ScanRequest& r, const std::string& value) { r.syssyms = value; }},
    {"--db", true, [](ScanRequest& r, const std::string& value) { r.database = value; }},
    {"--incremental", false, [](ScanRequest& r, const std::string&) { r.incremental = true; }},
    {"-v", false, [](ScanRequest& r, const std::string&) { r.verbose = true; }},
};

const OptionRule* find_rule(std::string_view word) {
    for (const OptionRule& rule : option_rules)
        if (rule.name == word) return &rule;
    return nullptr;
}

// -j's value: digits without a leading zero. A number too big for size_t stands for "as
// many as there are members", which is all that it can mean.
std::size_t parse_shards(const std::string& text) {
    bool whole =
        !text.empty() && text[0] != '0' &&
        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
    if (!whole) throw UsageError("-j needs a whole number of 1 or more, not '" + text + "'");
    std::size_t shards = 0;
    for (char digit : text) {
        std::size_t value = static_cast<std::size_t>(digit - '0');
        if (shards > (std::numeric_limits<std::size_t>::max() - value) / 10)
            return std::numeric_limits<std::size_t>::max();
        shards = shards * 10 + value;
    }
    return shards;
}

bool is_folder(const std::string& name) {
    struct stat status;
    return stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool is_regular_file(const std::string& name) {
    struct stat status;
    return stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

std::string trim_slashes(std::string_view name) {
    while (name.size() > 1 && name.back() == '/')
        name.remove_suffix(1);
    return std::string(name);
}

ScanRequest parse_command_line(const std::vector<std::string>& arguments) {
    ScanRequest request;
    bool in_proc_list = false; // folder words after -p belong to the search list
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "-h" || word == "--help") {
            request.help = true;
            return request;
        }
        if (word == "--") {
            request.analyzer_options.assign(arguments.begin() + static_cast<long>(i) + 1,
                                            arguments.end());
            break;
        }
        if (word == "-p") {
            in_proc_list = true;
        } else if (const OptionRule* rule = find_rule(word)) {
            if (rule->takes_value && i + 1 == arguments.size())
                throw UsageError("option " + word + " needs a value");
            rule->apply(request, rule->takes_value ? arguments[++i] : std::string());
            in_proc_list = false;
        } else if (word.starts_with("-j")) {
            request.shards_text = word.substr(2);
            in_proc_list = false;
        } else if (word.size() > 1 && word[0] == '-') {
            throw UsageError("unknown option " + word);
        } else {
            (in_proc_list ? request.proc_folders : request.job_folders)
                .push_back(trim_slashes(word));
        }
    }
    return request;
}

void check_request(ScanRequest& request) {
    request.shards = parse_shards(request.shards_text);
    if (request.job_folders.empty()) throw UsageError("no job folder given");
    for (const auto* folders : {&request.job_folders, &request.proc_folders})
        for (const std::string& folder : *folders)
            if (!is_folder(folder)) throw UsageError("not a folder: " + folder);
    for (const std::string& folder : request.proc_folders)
        if (!listable(folder))
            throw UsageError("a procedure folder name cannot hold '\"', '=' or a line end: " +
                             folder);
    // Whether the database can be written is left to the load, which says why it cannot.
    if (request.database && request.database->empty())
        throw UsageError("--db needs a database name");
    if (request.incremental && !request.database)
        throw UsageError("--incremental needs --db: the database keeps what was scanned");
    if (!request.xlatlibs.empty() && !is_regular_file(request.xlatlibs))
        throw UsageError("no translation table: " + request.xlatlibs);
    if (!request.syssyms.empty() && !is_regular_file(request.syssyms))
        throw UsageError("no system symbol file: " + request.syssyms);
}

} // namespace kvrscan
