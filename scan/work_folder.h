// The temporary folder of one scan: the file list of each shard and what each analyzer run
// writes. Removed with everything in it when the scan ends, however it ends.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace kvrscan {

class WorkFolder {
  public:
    // A new folder in $TMPDIR, else /tmp. Throws UsageError (exit code 2).
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A shard's file, shards counted from 1: shard_file(2, "import") is "2.import".
    std::filesystem::path shard_file(std::size_t shard, std::string_view kind) const;

  private:
    std::filesystem::path path_;
};

} // namespace kvrscan
