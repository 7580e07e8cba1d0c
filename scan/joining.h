// Joining the shards' files back into one, in shard order, so that the result is the same
// whatever the number of shards.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kvrscan {

// Appends the file FROM to OUT (named OUT_NAME in messages). With DROP_XML_PROLOGUE a first
// line starting "<?xml " is left out. A missing FROM adds nothing. Throws ScanFailure.
void append_file(const std::filesystem::path& from, int out, const std::string& out_name,
                 bool drop_xml_prologue = false);

// The shards' import files one after the other; in XML every shard but the first opens
// with the prologue, which the joined file must hold only once.
void join_imports(const std::vector<std::filesystem::path>& shard_imports, bool xml, int out,
                  const std::string& out_name);

// The shards' logs (or any files) one after the other.
void join_files(const std::vector<std::filesystem::path>& files, int out,
                const std::string& out_name);

} // namespace kvrscan
