// Which kvr4000 runs, and with what command line and environment for each shard.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvrscan {

// kvr4000 is KVR4000_VARIABLE when set and not empty, else the kvr4000 beside this program
// (SELF, the running executable) when it is an executable file, else the first executable
// kvr4000 on PATH_VARIABLE. Nothing when none is found.
std::optional<std::string> locate_analyzer(const char* kvr4000_variable,
                                           const std::filesystem::path& self,
                                           const char* path_variable);

// The analyzer as run: checked to be an executable file, and absolute, since it is started
// by its path. Throws UsageError.
std::string checked_analyzer(const std::optional<std::string>& located);

// The environment every shard shares: the caller's, less anything the shard sets itself,
// with SOURCE_DATE_EPOCH fixed to the caller's value, else EPOCH_NOW. One time of day for
// all shards keeps the names made up for temporary data sets the same for any -j.
std::vector<std::string> shared_environment(char** environment, const std::string& epoch_now);

// The files kvr4000 reads and writes, as its DD: variables.
struct ShardDataSets {
    std::string file_list;
    std::string import_file;
    std::string log;
    std::string search_list;       // DUMMY when there is none
    std::string translation_table; // DUMMY when there is none
};

// SHARED plus the shard's DD:FILELIST, DD:ATTRBOUT, DD:RDPRINT, DD:JCLLIB and DD:XLATLIBS.
std::vector<std::string> shard_environment(const std::vector<std::string>& shared,
                                           const ShardDataSets& data_sets);

} // namespace kvrscan
