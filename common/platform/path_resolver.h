// Case-insensitive path resolution for members and containers. The workstation's file
// system ignores case; here a name that does not exist as written is matched, component by
// component, against its folder's entries. Folder listings are cached for the run because
// the analyzer probes the same libraries for thousands of members.
#ifndef KVR_PLATFORM_PATH_RESOLVER_H
#define KVR_PLATFORM_PATH_RESOLVER_H

#include <cstddef>
#include <optional>
#include <string>

namespace kvr::platform {

// The path of an existing entry (file or folder) that `path` names, "/" and "\" both
// separating components. Each component is taken under its exact name when the folder
// holds it, else under the case-insensitive match (the byte-wise smallest name when
// several case variants exist). Nothing when some component has no match. The result
// keeps the caller's form (relative stays relative) with "/" as the only separator.
std::optional<std::string> ResolveExistingPath(const std::string& path);

// ResolveExistingPath, but only a non-folder entry counts (what a member can be).
std::optional<std::string> ResolveExistingFile(const std::string& path);

// Forgets every cached listing and folder resolution.
void ClearPathCache();

// How many folder listings have been read from the file system since the last
// ClearPathCache (lets tests see that a folder is not read again).
size_t DirectoryListingReads();

} // namespace kvr::platform

#endif
