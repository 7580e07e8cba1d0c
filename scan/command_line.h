// The command line of kvr-scan: what it asks for, and the checks made before any work.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvrscan {

struct ScanRequest {
    bool help = false;
    bool xml = false;
    bool recursive = false;
    std::string shards_text = "1"; // -j as given, checked by check_request
    std::size_t shards = 1;
    std::string import_name = "kvr-scan.import"; // "-": standard output
    std::string log_name = "kvr-scan.log";
    std::string xlatlibs;                // empty: no translation table
    std::string syssyms;                 // empty: no system symbol file
    std::optional<std::string> database; // --db: the kvr-xref database loaded after the scan
    bool incremental = false; // --incremental: analyse only what changed since the last scan
    bool verbose = false;     // -v: name the members an incremental scan analyses again
    std::vector<std::string> job_folders;
    std::vector<std::string> proc_folders;     // the default search list, in search order
    std::vector<std::string> analyzer_options; // the words after --
};

// Reads the arguments (without the program name). Throws UsageError for an unknown option
// or a missing value; -h stops the reading with help set.
ScanRequest parse_command_line(const std::vector<std::string>& arguments);

// The checks that need the file system, in the order the messages are given: the number of
// shards, the folders, the translation table. Throws UsageError; fills in shards.
void check_request(ScanRequest& request);

// A folder name without its trailing slashes ("/" stays "/").
std::string trim_slashes(std::string_view name);

// The -h text and the two lines that follow a usage error.
extern const char* const help_text;
extern const char* const usage_lines;

} // namespace kvrscan
