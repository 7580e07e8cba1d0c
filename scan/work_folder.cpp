#include "work_folder.h"

#include "errors.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace kvrscan {

WorkFolder::WorkFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    std::string parent = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
    std::string pattern = parent + "/kvr-scan.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw UsageError("cannot make a work folder in " + parent + ": " + error_text(errno),
                         false);
    path_ = pattern;
}

WorkFolder::~WorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path WorkFolder::shard_file(std::size_t shard, std::string_view kind) const {
    return path_ / (std::to_string(shard) + "." + std::string(kind));
}

} // namespace kvrscan
