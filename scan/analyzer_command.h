// Which kvr4000 (and kvr-xref) runs, and with what command line and environment for each
// shard.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvrscan {

// The program NAME (kvr4000, kvr-xref) is VARIABLE when set and not empty, else the NAME
// beside this program (SELF, the running executable) when it is an executable file, else the
// first executable NAME on PATH_VARIABLE. Nothing when none is found.
std::optional<std::string> locate_program(std::string_view name, const char* variable,
                                          const std::filesystem::path& self,
                                          const char* path_variable);

// The program as run: checked to be an executable file, and absolute, since it is started
// by its path. Throws UsageError, naming the program NAME and the variable VARIABLE_NAME
// that chooses another.
std::string checked_program(const std::optional<std::string>& located, std::string_view name,
                            std::string_view variable_name);

// locate_program and checked_program for kvr4000 and $KVR4000.
std::optional<std::string> locate_analyzer(const char* kvr4000_variable,
                                           const std::filesystem::path& self,
                                           const char* path_variable);
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
    std::string system_symbols;    // DUMMY when there is none
};

// SHARED plus the shard's DD:FILELIST, DD:ATTRBOUT, DD:RDPRINT, DD:JCLLIB, DD:XLATLIBS and
// DD:SYSSYMS.
std::vector<std::string> shard_environment(const std::vector<std::string>& shared,
                                           const ShardDataSets& data_sets);

} // namespace kvrscan
