#include "page_names.h"

#include <cstdint>
#include <cstdio>

namespace xref {

namespace {

constexpr size_t kLongestKeptName = 100;

bool KeptAsItIs(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '@' || c == '$' ||
           c == '-';
}

// FNV-1a, 64 bits: the same name always gives the same page.
uint64_t NameHash(std::string_view name) {
    uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    return hash;
}

} // namespace

const char* PageFolder(PageKind kind) {
    switch (kind) {
    case PageKind::Job:
        return "jobs";
    case PageKind::Dataset:
        return "datasets";
    case PageKind::Program:
        return "programs";
    case PageKind::Plan:
        return "plans";
    case PageKind::Psb:
        return "psbs";
    }
    return "";
}

std::string PageFileName(std::string_view name) {
    std::string file;
    bool altered = name.empty() || name.front() == '.' || name.size() > kLongestKeptName;
    for (char c : name.substr(0, kLongestKeptName)) {
        const bool kept = KeptAsItIs(c) && !(file.empty() && c == '.');
        altered = altered || !kept;
        // Lower case is written in upper case (the hash tells the names apart).
        file += kept ? c : (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : '_';
    }
    if (altered) {
        char hash[24];
        std::snprintf(hash, sizeof hash, "_%016llx",
                      static_cast<unsigned long long>(NameHash(name)));
        file += hash;
    }
    return file + ".html";
}

std::string PageHref(PageKind kind, std::string_view name, const std::string& root) {
    return root + PageFolder(kind) + "/" + PageFileName(name);
}

} // namespace xref
