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

// * and % within one qualifier. On a mismatch only the last * takes one more character,
// which keeps the time linear in the text for each *, however many stars there are.
bool QualifierMatches(std::string_view pattern, std::string_view text) {
    size_t p = 0, t = 0;
    size_t star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '%' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// Qualifier by qualifier; ** stands for any number of them. matched[n] tells whether the
// pattern's qualifiers so far match the name's first n.
bool QualifiersMatch(const std::vector<std::string>& pattern,
                     const std::vector<std::string_view>& name) {
    std::vector<bool> matched(name.size() + 1, false);
    matched[0] = true;
    for (const std::string& qualifier : pattern) {
        std::vector<bool> next(name.size() + 1, false);
        for (size_t n = 0; n <= name.size(); ++n) {
            if (qualifier == "**") {
                next[n] = matched[n] || (n > 0 && next[n - 1]);
            } else {
                next[n] = n > 0 && matched[n - 1] && QualifierMatches(qualifier, name[n - 1]);
            }
        }
        matched = std::move(next);
    }
    return matched[name.size()];
}

} // namespace

FoldedName FoldGeneration(std::string_view name) {
    FoldedName folded{name, {}};
    if (name.size() < 3 || name.back() != ')') return folded;
    const size_t open = name.rfind('(');
    if (open == std::string_view::npos || open == 0) return folded;
    const std::string_view inside = name.substr(open + 1, name.size() - open - 2);
    const size_t digitsFrom = (!inside.empty() && (inside[0] == '+' || inside[0] == '-')) ? 1 : 0;
    if (inside.size() == digitsFrom) return folded;
    for (size_t i = digitsFrom; i < inside.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(inside[i]))) return folded;
    folded.base = name.substr(0, open);
    folded.generation = inside;
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
    return QualifiersMatch(qualifiers_, Qualifiers(name));
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
