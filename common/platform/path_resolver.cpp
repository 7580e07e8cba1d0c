// Case-insensitive resolution of member and container paths with a per-run cache of folder
// listings: each folder is read once, and again only when a name is missing from it and
// the folder has changed since (so files created during the run are still found).
#include "platform/path_resolver.h"

#include <filesystem>
#include <system_error>
#include <unordered_map>

namespace kvr::platform {

namespace {

namespace fs = std::filesystem;

struct Listing {
    std::unordered_map<std::string, bool> isFolderByName;
    std::unordered_map<std::string, std::string> nameByLowerName; // smallest case variant
    fs::file_time_type stamp;
};

struct Entry {
    std::string name;
    bool isFolder;
};

std::unordered_map<std::string, Listing> sListings;    // by resolved folder path
std::unordered_map<std::string, std::string> sFolders; // requested folder -> resolved
size_t sListingReads = 0;

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// "" stands for the current folder, so relative names stay relative.
fs::path OsFolder(const std::string& folder) {
    return folder.empty() ? fs::path(".") : fs::path(folder);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

void StripTrailingSeparators(std::string& path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
}

// Splits "a/b/c" into "a/b" and "c"; "/c" into "/" and "c"; "c" into "" and "c".
std::pair<std::string, std::string> SplitLast(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {std::string(), path};
    if (slash == 0) return {"/", path.substr(1)};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

bool ReadListing(const std::string& folder, Listing& listing) {
    std::error_code ec;
    fs::directory_iterator it(OsFolder(folder), ec);
    if (ec) return false;
    ++sListingReads;
    listing = Listing();
    listing.stamp = fs::last_write_time(OsFolder(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code kindError;
        listing.isFolderByName[name] = it->is_directory(kindError);
        auto [slot, inserted] = listing.nameByLowerName.emplace(Lower(name), name);
        if (!inserted && name < slot->second) slot->second = name;
    }
    return !ec;
}

std::optional<Entry> FindInListing(const Listing& listing, const std::string& name) {
    if (auto exact = listing.isFolderByName.find(name); exact != listing.isFolderByName.end())
        return Entry{exact->first, exact->second};
    auto variant = listing.nameByLowerName.find(Lower(name));
    if (variant == listing.nameByLowerName.end()) return std::nullopt;
    return Entry{variant->second, listing.isFolderByName.at(variant->second)};
}

// The entry of `name` in an existing folder, from the cached listing; a miss reads the
// folder again only when its modification time moved.
std::optional<Entry> FindEntry(const std::string& folder, const std::string& name) {
    auto cached = sListings.find(folder);
    if (cached == sListings.end()) {
        Listing listing;
        if (!ReadListing(folder, listing)) return std::nullopt;
        cached = sListings.emplace(folder, std::move(listing)).first;
        return FindInListing(cached->second, name);
    }
    if (auto found = FindInListing(cached->second, name)) return found;
    std::error_code ec;
    const fs::file_time_type stamp = fs::last_write_time(OsFolder(folder), ec);
    if (ec || stamp == cached->second.stamp) return std::nullopt;
    if (!ReadListing(folder, cached->second)) {
        sListings.erase(cached);
        return std::nullopt;
    }
    return FindInListing(cached->second, name);
}

bool IsDotName(const std::string& name) {
    return name == "." || name == "..";
}

// The existing folder a requested folder names; found folders are remembered.
std::optional<std::string> ResolveFolder(std::string folder) {
    StripTrailingSeparators(folder);
    if (folder.empty() || folder == "/") return folder;
    if (auto known = sFolders.find(folder); known != sFolders.end()) return known->second;
    std::error_code ec;
    std::optional<std::string> resolved;
    if (fs::is_directory(folder, ec)) {
        resolved = folder;
    } else {
        auto [parent, name] = SplitLast(folder);
        std::optional<std::string> parentResolved = ResolveFolder(parent);
        if (!parentResolved) return std::nullopt;
        if (IsDotName(name)) {
            std::string joined = Join(*parentResolved, name);
            if (fs::is_directory(joined, ec)) resolved = joined;
        } else if (auto entry = FindEntry(*parentResolved, name); entry && entry->isFolder) {
            resolved = Join(*parentResolved, entry->name);
        }
    }
    if (resolved) sFolders.emplace(folder, *resolved);
    return resolved;
}

std::optional<Entry> ResolveEntry(const std::string& path, std::string& outPath) {
    std::string normalized = path;
    for (char& c : normalized)
        if (c == '\\') c = '/';
    StripTrailingSeparators(normalized);
    if (normalized.empty()) return std::nullopt;
    if (normalized == "/") {
        outPath = normalized;
        return Entry{normalized, true};
    }
    auto [folder, name] = SplitLast(normalized);
    std::optional<std::string> resolvedFolder = ResolveFolder(folder);
    if (!resolvedFolder) return std::nullopt;
    if (IsDotName(name)) {
        std::error_code ec;
        outPath = Join(*resolvedFolder, name);
        if (!fs::is_directory(outPath, ec)) return std::nullopt;
        return Entry{name, true};
    }
    std::optional<Entry> entry = FindEntry(*resolvedFolder, name);
    if (entry) outPath = Join(*resolvedFolder, entry->name);
    return entry;
}

} // namespace

std::optional<std::string> ResolveExistingPath(const std::string& path) {
    try {
        std::string resolved;
        if (!ResolveEntry(path, resolved)) return std::nullopt;
        return resolved;
    } catch (const std::exception&) { // out of memory: the name is simply not found
        return std::nullopt;
    }
}

std::optional<std::string> ResolveExistingFile(const std::string& path) {
    try {
        std::string resolved;
        std::optional<Entry> entry = ResolveEntry(path, resolved);
        if (!entry || entry->isFolder) return std::nullopt;
        return resolved;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void ClearPathCache() {
    sListings.clear();
    sFolders.clear();
    sListingReads = 0;
}

size_t DirectoryListingReads() {
    return sListingReads;
}

} // namespace kvr::platform
