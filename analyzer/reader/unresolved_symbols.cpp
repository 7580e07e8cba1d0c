// The search for &NAME left in a data set name after substitution, and its report.
#include "reader/unresolved_symbols.h"

#include <algorithm>

#include "reader/symbol_names.h"

namespace kvr {
namespace {

constexpr uint32_t kUnresolvedSymbol = 1482; // the same number in every mode

// The end of the run of name characters that starts at position.
size_t NameEnd(std::string_view text, size_t position) {
    while (position < text.size() && IsSymbolNameChar(text[position]))
        ++position;
    return position;
}

} // namespace

std::vector<std::string> UnresolvedSymbolNames(std::string_view text) {
    std::vector<std::string> names;
    size_t position = 0;
    while ((position = text.find('&', position)) != std::string_view::npos) {
        if (position + 1 < text.size() && text[position + 1] == '&') {
            position = NameEnd(text, position + 2); // a temporary data set name
            continue;
        }
        const size_t end = NameEnd(text, position + 1);
        // Substitution keeps at most 8 characters of a longer name.
        if (end > position + 1 && !AmpersandFollowsTcpip(text, position))
            names.emplace_back(text.substr(position + 1, std::min(end - position - 1, kSymbolNameMax)));
        position = end;
    }
    return names;
}

void ReportUnresolvedDataSetSymbols(MemberContext& ctx, const char* dataSetName,
                                    SOURCE_REF reference, int32_t line) {
    if (!ctx.run.systemSymbols || dataSetName == nullptr) return;
    for (const std::string& name : UnresolvedSymbolNames(dataSetName)) {
        if (!ctx.symbols.reportedUnresolved.insert(name).second) continue;
        KVRWriteMessageWithStringsAndFileLine(kUnresolvedSymbol, name.c_str(), dataSetName,
                                              nullptr, nullptr, TRUE, reference, line,
                                              ctx.run.mode);
    }
}

} // namespace kvr
