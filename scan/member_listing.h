// The file list: every member of the job folders as a "CONTAINER MEMBER" line for kvr4000.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kvrscan {

struct ListedMember {
    std::string container; // the folder, as the file list names it
    std::string member;
};

struct MemberList {
    std::vector<std::string> lines;    // "CONTAINER MEMBER", in file-list order
    std::vector<ListedMember> members; // the same members, their names unquoted
    bool left_out = false;             // a file was left out with a warning
};

using Warn = std::function<void(const std::string& message)>;

// Lists the members: the regular files of each folder (symbolic links followed), in byte
// order of their paths within the folder, the folders in the order given. Names starting
// with "." are left out silently, subfolders too unless RECURSIVE (then each is a container
// of its own). Anything else that is not a regular file (a pipe, a device, a socket, a link
// to nothing) and any name that cannot stand in the list is left out with a warning. Only
// names and file types are looked at, no file is opened, so nothing here can block on a
// pipe. Throws Interrupted when the scan is asked to stop.
MemberList list_members(const std::vector<std::string>& folders, bool recursive, const Warn& warn);

// A name as a list word: in double quotes when kvr4000 would otherwise split it (a blank),
// take it for an option ("-", "/" first) or the line for a comment ("*" first).
std::string list_word(std::string_view name);

// Whether a name can stand in a list at all: a double quote would end the quoted word, "="
// makes kvr4000 take the word for a keyword, and a line end splits the line.
bool listable(std::string_view name);

// A name as the shell would read it back (as bash's printf %q writes it), for messages
// about odd names.
std::string shell_quoted(std::string_view name);

} // namespace kvrscan
