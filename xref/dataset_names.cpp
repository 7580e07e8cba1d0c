#include "dataset_names.h"

#include <cctype>

namespace xref {

namespace {

std::vector<std::string_view> Qualifiers(std::string_view name) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = name.find('.', start);
        parts.push_back(name.substr(start, dot - start));
        if (dot == std::string_view::npos) return parts;
        start = dot + 1;
    }
}

// * and % within one qualifier.
bool QualifierMatches(std::string_view pattern, std::string_view text) {
    if (pattern.empty()) return text.empty();
    if (pattern.front() == '*') {
        for (size_t skip = 0; skip <= text.size(); ++skip)
            if (QualifierMatches(pattern.substr(1), text.substr(skip))) return true;
        return false;
    }
    if (text.empty()) return false;
    if (pattern.front() != '%' && pattern.front() != text.front()) return false;
    return QualifierMatches(pattern.substr(1), text.substr(1));
}

bool QualifiersMatch(const std::vector<std::string>& pattern, size_t p,
                     const std::vector<std::string_view>& name, size_t n) {
    if (p == pattern.size()) return n == name.size();
    if (pattern[p] == "**") {
        for (size_t skip = n; skip <= name.size(); ++skip)
            if (QualifiersMatch(pattern, p + 1, name, skip)) return true;
        return false;
    }
    return n < name.size() && QualifierMatches(pattern[p], name[n]) &&
           QualifiersMatch(pattern, p + 1, name, n + 1);
}

} // namespace

FoldedName FoldGeneration(std::string_view name) {
    FoldedName folded{std::string(name), {}};
    if (name.size() < 3 || name.back() != ')') return folded;
    const size_t open = name.rfind('(');
    if (open == std::string_view::npos || open == 0) return folded;
    const std::string_view inside = name.substr(open + 1, name.size() - open - 2);
    const size_t digitsFrom = (!inside.empty() && (inside[0] == '+' || inside[0] == '-')) ? 1 : 0;
    if (inside.size() == digitsFrom) return folded;
    for (size_t i = digitsFrom; i < inside.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(inside[i]))) return folded;
    folded.base.assign(name.substr(0, open));
    folded.generation.assign(inside);
    return folded;
}

std::string WithGeneration(std::string_view base, std::string_view generation) {
    std::string name(base);
    if (!generation.empty()) name.append("(").append(generation).append(")");
    return name;
}

bool IsTemporary(std::string_view name) {
    return !name.empty() && name.front() == '&';
}

DatasetPattern::DatasetPattern(std::string_view pattern) {
    for (std::string_view qualifier : Qualifiers(pattern))
        qualifiers_.emplace_back(qualifier);
    const size_t wildcard = pattern.find_first_of("*%");
    wildcards_ = wildcard != std::string_view::npos;
    prefix_.assign(pattern.substr(0, wildcard));
    // PROD.** also stands for PROD itself.
    if (pattern.substr(wildcard == std::string_view::npos ? pattern.size() : wildcard, 2) == "**" &&
        !prefix_.empty() && prefix_.back() == '.')
        prefix_.pop_back();
}

bool DatasetPattern::Matches(std::string_view name) const {
    return QualifiersMatch(qualifiers_, 0, Qualifiers(name), 0);
}

std::string PrefixUpperBound(std::string prefix) {
    while (!prefix.empty()) {
        unsigned char last = static_cast<unsigned char>(prefix.back());
        if (last < 0xFF) {
            prefix.back() = static_cast<char>(last + 1);
            return prefix;
        }
        prefix.pop_back();
    }
    return prefix;
}

} // namespace xref
