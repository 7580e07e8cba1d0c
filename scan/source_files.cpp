#include "source_files.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <utility>

namespace kvrscan {
namespace {

bool is_file(const std::filesystem::path& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string upper_cased(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string unquoted(const std::string& name) {
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        return name.substr(1, name.size() - 2);
    return name;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        if (!part.empty()) parts.push_back(part);
    return parts;
}

} // namespace

SourceLocator::SourceLocator(const std::string& xlatlibs, std::vector<std::string> extensions)
    : extensions_(std::move(extensions)) {
    if (xlatlibs.empty()) return;
    std::ifstream table(xlatlibs);
    for (std::string line; std::getline(table, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string library, folder;
        if (words >> library >> folder) translations_.emplace_back(library, unquoted(folder));
    }
}

std::vector<std::string> SourceLocator::folders_of(const std::string& container) const {
    std::vector<std::string> folders;
    for (const auto& [library, folder] : translations_)
        if (library == container) folders.push_back(folder);
    folders.push_back(container);
    return folders;
}

const std::vector<std::string>& SourceLocator::names_in(const std::string& folder) {
    auto [entry, added] = listings_.try_emplace(folder);
    if (!added) return entry->second;
    std::error_code error;
    for (const auto& file : std::filesystem::directory_iterator(folder, error))
        entry->second.push_back(file.path().filename().string());
    std::sort(entry->second.begin(), entry->second.end());
    return entry->second;
}

std::optional<std::filesystem::path> SourceLocator::locate(const std::string& container,
                                                           const std::string& member) {
    std::vector<std::string> candidates{member};
    for (const std::string& extension : extensions_)
        candidates.push_back(member + '.' + extension);
    for (const std::string& folder : folders_of(container))
        if (auto found = locate_in(folder, candidates)) return found;
    return std::nullopt;
}

std::optional<std::filesystem::path>
SourceLocator::locate_anywhere(const std::vector<std::string>& folders, const std::string& member) {
    std::vector<std::string> all = folders;
    for (const auto& translation : translations_)
        all.push_back(translation.second);
    for (const std::string& folder : all)
        if (auto found = locate(folder, member)) return found;
    return std::nullopt;
}

std::optional<std::filesystem::path>
SourceLocator::locate_in(const std::filesystem::path& folder,
                         const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates)
        if (is_file(folder / candidate)) return folder / candidate;
    for (const std::string& candidate : candidates) {
        const std::string wanted = upper_cased(candidate);
        for (const std::string& name : names_in(folder.string()))
            if (upper_cased(name) == wanted && is_file(folder / name)) return folder / name;
    }
    return std::nullopt;
}

std::vector<std::string> extension_option(const std::vector<std::string>& options) {
    std::vector<std::string> extensions;
    for (const std::string& option : options) {
        bool is_ex = option.size() > 3 && (option[0] == '-' || option[0] == '/') &&
                     upper_cased(option.substr(1, 2)) == "EX";
        if (is_ex) extensions = split(option.substr(3), ',');
    }
    return extensions;
}

} // namespace kvrscan
