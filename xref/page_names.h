// The file names of the report's pages. A name from the JCL may hold anything (blanks,
// slashes, quotes, markup, lower case, bytes that are not UTF-8), so a page is named by the
// name itself only when it is made of upper-case letters, digits and . @ $ - and does not
// start with a dot; any other name is written with those characters kept, lower-case letters
// in upper case, the others as _, and a hash of the whole name after a _. Names kept as they are
// hold no _, so the two kinds never meet, and no two names differing only in case share a file on a
// case-blind disk.
#pragma once

#include <string>
#include <string_view>

namespace xref {

enum class PageKind { Job, Dataset, Program, Plan, Psb };

// "jobs", "datasets", "programs", "plans", "psbs": the folder of the pages of a kind.
const char* PageFolder(PageKind kind);

// The page's file name, ending in .html; safe in a file system and in a URL as it is.
std::string PageFileName(std::string_view name);

// The link to a page from a page whose folder is `root` away from the report's root
// ("" for the index, "../" for the pages of a kind).
std::string PageHref(PageKind kind, std::string_view name, const std::string& root);

} // namespace xref
