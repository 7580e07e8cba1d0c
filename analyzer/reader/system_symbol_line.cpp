// The NAME=VALUE lines of the system symbol file.
#include "reader/system_symbol_line.h"

#include <optional>

#include "reader/symbol_names.h"
#include "reader/symbols.h"

namespace kvr {
namespace {

constexpr size_t kValueMax = kSymbolValueSize - 1;

SystemSymbolLine Malformed() { return {SystemSymbolLineKind::kMalformed, {}, {}}; }

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The name at the start of text, and text moved past it and its equals sign; nothing when
// the text does not begin with [&]NAME[.]=.
std::optional<std::string> TakeName(std::string_view& text) {
    size_t position = text.starts_with('&') ? 1 : 0;
    const size_t start = position;
    while (position < text.size() && IsSymbolNameChar(text[position]))
        ++position;
    const size_t length = position - start;
    if (length == 0 || length > kSymbolNameMax) return std::nullopt;
    if (position < text.size() && text[position] == '.') ++position;
    if (position >= text.size() || text[position] != '=') return std::nullopt;
    std::string name(text.substr(start, length));
    text.remove_prefix(position + 1);
    return name;
}

// 'TEXT' with its apostrophes in pairs inside: TEXT as written; nothing otherwise.
std::optional<std::string> QuotedValue(std::string_view text) {
    if (text.size() < 2 || !text.ends_with('\'')) return std::nullopt;
    const std::string_view inside = text.substr(1, text.size() - 2);
    for (size_t i = 0; i < inside.size(); ++i) {
        if (inside[i] != '\'') continue;
        if (i + 1 >= inside.size() || inside[i + 1] != '\'') return std::nullopt;
        ++i;
    }
    return std::string(inside);
}

std::optional<std::string> TakeValue(std::string_view text) {
    if (text.starts_with('\'')) return QuotedValue(text);
    if (text.find_first_of(" '") != std::string_view::npos) return std::nullopt;
    return std::string(text);
}

} // namespace

SystemSymbolLine ParseSystemSymbolLine(std::string_view line) {
    std::string_view text = TrimBlanks(line);
    if (text.empty() || text.starts_with('*')) return {};
    std::optional<std::string> name = TakeName(text);
    if (!name) return Malformed();
    std::optional<std::string> value = TakeValue(text);
    if (!value || value->size() > kValueMax) return Malformed();
    return {SystemSymbolLineKind::kDefinition, std::move(*name), std::move(*value)};
}

} // namespace kvr
