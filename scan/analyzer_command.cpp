#include "analyzer_command.h"

#include "errors.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kvrscan {
namespace {

bool is_executable_file(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> search_path(std::string_view name, std::string_view path_variable) {
    for (;;) {
        std::size_t colon = path_variable.find(':');
        std::string folder(path_variable.substr(0, colon));
        std::string candidate = (folder.empty() ? "." : folder) + "/" + std::string(name);
        if (is_executable_file(candidate)) return candidate;
        if (colon == std::string_view::npos) return std::nullopt;
        path_variable.remove_prefix(colon + 1);
    }
}

// The variables a shard sets, in both spellings: kvr4000 also reads DD_NAME, which a
// caller's leftover would otherwise slip in beside the shard's own.
constexpr std::array<std::string_view, 13> shard_variables = {
    "DD:FILELIST", "DD:ATTRBOUT", "DD:RDPRINT",  "DD:JCLLIB", "DD:XLATLIBS",
    "DD:SYSSYMS",  "DD_FILELIST", "DD_ATTRBOUT", "DD_RDPRINT", "DD_JCLLIB",
    "DD_XLATLIBS", "DD_SYSSYMS",  "SOURCE_DATE_EPOCH"};

std::string_view variable_name(std::string_view entry) {
    return entry.substr(0, entry.find('='));
}

} // namespace

std::optional<std::string> locate_program(std::string_view name, const char* variable,
                                          const std::filesystem::path& self,
                                          const char* path_variable) {
    if (variable != nullptr && *variable != '\0') return variable;
    if (!self.empty()) {
        std::string beside = (self.parent_path() / name).string();
        if (is_executable_file(beside)) return beside;
    }
    if (path_variable != nullptr) return search_path(name, path_variable);
    return std::nullopt;
}

std::string checked_program(const std::optional<std::string>& located, std::string_view name,
                            std::string_view variable_name) {
    if (!located)
        throw UsageError(std::string(name) + " not found (build it, or set " +
                         std::string(variable_name) + ")");
    if (!is_executable_file(*located)) throw UsageError("not an executable: " + *located);
    if (located->starts_with('/')) return *located;
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr) throw UsageError("cannot tell the current folder: " + error_text(errno));
    std::string absolute = std::string(cwd) + "/" + *located;
    free(cwd);
    return absolute;
}

std::optional<std::string> locate_analyzer(const char* kvr4000_variable,
                                           const std::filesystem::path& self,
                                           const char* path_variable) {
    return locate_program("kvr4000", kvr4000_variable, self, path_variable);
}

std::string checked_analyzer(const std::optional<std::string>& located) {
    return checked_program(located, "kvr4000", "KVR4000");
}

std::vector<std::string> shared_environment(char** environment, const std::string& epoch_now) {
    std::vector<std::string> shared;
    std::string epoch = epoch_now;
    for (char** entry = environment; entry != nullptr && *entry != nullptr; ++entry) {
        std::string_view text = *entry;
        std::string_view name = variable_name(text);
        if (name == "SOURCE_DATE_EPOCH" && text.size() > name.size() + 1)
            epoch = std::string(text.substr(name.size() + 1));
        if (std::find(shard_variables.begin(), shard_variables.end(), name) ==
            shard_variables.end())
            shared.emplace_back(text);
    }
    shared.push_back("SOURCE_DATE_EPOCH=" + epoch);
    return shared;
}

std::vector<std::string> shard_environment(const std::vector<std::string>& shared,
                                           const ShardDataSets& data_sets) {
    std::vector<std::string> environment = shared;
    environment.push_back("DD:FILELIST=" + data_sets.file_list);
    environment.push_back("DD:ATTRBOUT=" + data_sets.import_file);
    environment.push_back("DD:RDPRINT=" + data_sets.log);
    environment.push_back("DD:JCLLIB=" + data_sets.search_list);
    environment.push_back("DD:XLATLIBS=" + data_sets.translation_table);
    environment.push_back("DD:SYSSYMS=" + data_sets.system_symbols);
    return environment;
}

} // namespace kvrscan
