// Where a source an analysis read lies on disk. kvr4000 names each source by member and
// container (a closing INCL record); the container is a library that the translation table
// (-t) maps to folders, tried in the order of the table, or else a folder relative to the
// scan's current folder. Within a folder the
// member is the file of that name, else of that name with one of the -ex extensions, else
// one whose name matches in another case, in that order, as kvr4000 searches.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvrscan {

class SourceLocator {
  public:
    // XLATLIBS: the translation table ("" none); EXTENSIONS: without their periods.
    SourceLocator(const std::string& xlatlibs, std::vector<std::string> extensions);

    // The regular file of MEMBER in CONTAINER; nothing when there is none.
    std::optional<std::filesystem::path> locate(const std::string& container,
                                                const std::string& member);

    // The file of MEMBER in any of FOLDERS or of the translation table's folders: where a
    // procedure or INCLUDE member that was not found may have appeared since.
    std::optional<std::filesystem::path> locate_anywhere(const std::vector<std::string>& folders,
                                                         const std::string& member);

  private:
    std::vector<std::string> folders_of(const std::string& container) const;
    std::optional<std::filesystem::path> locate_in(const std::filesystem::path& folder,
                                                   const std::vector<std::string>& candidates);
    const std::vector<std::string>& names_in(const std::string& folder);

    std::vector<std::pair<std::string, std::string>> translations_; // library, folder
    std::vector<std::string> extensions_;
    std::map<std::string, std::vector<std::string>> listings_; // folder -> its file names
};

// The extensions that kvr4000's -ex option (-exjcl,txt) in OPTIONS gives, the last one
// winning as in kvr4000.
std::vector<std::string> extension_option(const std::vector<std::string>& options);

} // namespace kvrscan
