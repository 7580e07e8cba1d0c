#include "member_listing.h"

#include "errors.h"
#include "signals.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <utility>

namespace kvrscan {
namespace {

std::string join_path(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

// The names in a folder, read in full before anything is done with them, so that a deep
// tree holds one folder open at a time. False when the folder cannot be read.
bool read_folder(const std::string& folder, std::vector<std::string>& names, int& error) {
    // Closed on every way out, also when a stop signal ends the listing half-way.
    const std::unique_ptr<DIR, int (*)(DIR*)> stream(opendir(folder.c_str()), closedir);
    if (stream == nullptr) {
        error = errno;
        return false;
    }
    errno = 0;
    while (const dirent* entry = readdir(stream.get())) {
        signals::throw_if_stopping();
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
        errno = 0;
    }
    error = errno;
    return error == 0;
}

const char* kind_of(mode_t mode) {
    if (S_ISFIFO(mode)) return "a pipe (FIFO)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Walks one job folder and collects the paths of its members, as find -L would.
class FolderWalk {
  public:
    FolderWalk(bool recursive, const Warn& warn) : recursive_(recursive), warn_(warn) {}

    void walk(const std::string& folder) {
        struct stat status;
        if (stat(folder.c_str(), &status) != 0) return leave_out(folder, errno);
        walk_folder(folder, status);
    }

    std::vector<std::string>& paths() { return paths_; }
    bool left_out() const { return left_out_; }

  private:
    void walk_folder(const std::string& folder, const struct stat& status) {
        std::vector<std::string> names;
        int error = 0;
        if (!read_folder(folder, names, error)) return leave_out(folder, error);
        ancestors_.emplace_back(status.st_dev, status.st_ino);
        for (const std::string& name : names) {
            signals::throw_if_stopping();
            take(join_path(folder, name));
        }
        ancestors_.pop_back();
    }

    void take(const std::string& path) {
        struct stat status;
        if (stat(path.c_str(), &status) != 0) return take_unreachable(path);
        if (S_ISREG(status.st_mode)) {
            paths_.push_back(path);
        } else if (S_ISDIR(status.st_mode)) {
            if (recursive_) take_subfolder(path, status);
        } else {
            warn_("left out, " + std::string(kind_of(status.st_mode)) + ": " + shell_quoted(path));
            left_out_ = true;
        }
    }

    // A link to a folder the walk is already in would make it go round for ever.
    void take_subfolder(const std::string& path, const struct stat& status) {
        auto same = std::make_pair(status.st_dev, status.st_ino);
        if (std::find(ancestors_.begin(), ancestors_.end(), same) != ancestors_.end())
            return warn_("not followed, a link back into a folder being listed: " +
                         shell_quoted(path));
        walk_folder(path, status);
    }

    void take_unreachable(const std::string& path) {
        int error = errno;
        struct stat link;
        if (lstat(path.c_str(), &link) != 0 && errno == ENOENT) return; // gone meanwhile
        if (S_ISLNK(link.st_mode) && (error == ENOENT || error == ELOOP)) {
            warn_("left out, a symbolic link to nothing: " + shell_quoted(path));
            left_out_ = true;
            return;
        }
        leave_out(path, error);
    }

    void leave_out(const std::string& path, int error) {
        warn_("left out, cannot read " + shell_quoted(path) + ": " + error_text(error));
        left_out_ = true;
    }

    bool recursive_;
    const Warn& warn_;
    std::vector<std::string> paths_;
    std::vector<std::pair<dev_t, ino_t>> ancestors_;
    bool left_out_ = false;
};

// Adds the members of one folder to the list, in byte order of their paths.
void add_folder(const std::string& folder, bool recursive, const Warn& warn, MemberList& list) {
    FolderWalk walk(recursive, warn);
    walk.walk(folder);
    std::vector<std::string>& paths = walk.paths();
    std::sort(paths.begin(), paths.end()); // std::string compares bytes as unsigned: LC_ALL=C
    list.left_out = list.left_out || walk.left_out();
    for (const std::string& path : paths) {
        std::size_t slash = path.rfind('/');
        std::string_view container = std::string_view(path).substr(0, slash);
        std::string_view member = std::string_view(path).substr(slash + 1);
        if (!listable(container) || !listable(member)) {
            warn("left out, its name cannot stand in a file list: " + shell_quoted(path));
            list.left_out = true;
            continue;
        }
        list.lines.push_back(list_word(container) + ' ' + list_word(member));
        list.members.push_back({std::string(container), std::string(member)});
    }
}

// $'...' with C escapes: the form the shell needs for control characters.
std::string ansi_c_quoted(std::string_view name) {
    std::string quoted = "$'";
    for (unsigned char c : name) {
        switch (c) {
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\\':
        case '\'':
            quoted += '\\';
            quoted += static_cast<char>(c);
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\%03o", c);
                quoted += escape;
            } else {
                quoted += static_cast<char>(c);
            }
        }
    }
    return quoted + "'";
}

} // namespace

MemberList list_members(const std::vector<std::string>& folders, bool recursive, const Warn& warn) {
    MemberList list;
    for (const std::string& folder : folders)
        add_folder(folder, recursive, warn, list);
    return list;
}

std::string list_word(std::string_view name) {
    bool quoted = name.find(' ') != std::string_view::npos || name.starts_with('-') ||
                  name.starts_with('/') || name.starts_with('*');
    return quoted ? '"' + std::string(name) + '"' : std::string(name);
}

bool listable(std::string_view name) {
    return name.find_first_of("\"=\n\r") == std::string_view::npos;
}

std::string shell_quoted(std::string_view name) {
    if (name.empty()) return "''";
    auto control = [](unsigned char c) { return c < 0x20 || c == 0x7f; };
    if (std::any_of(name.begin(), name.end(), control)) return ansi_c_quoted(name);
    std::string quoted;
    for (std::size_t i = 0; i < name.size(); ++i) {
        bool special =
            std::string_view(" !\"$&'()*,;<>?[\\]^`{|}").find(name[i]) != std::string_view::npos ||
            (i == 0 && (name[i] == '~' || name[i] == '#'));
        if (special) quoted += '\\';
        quoted += name[i];
    }
    return quoted;
}

} // namespace kvrscan
