// Substitutes arbitrary text with arbitrary symbols: the input's first lines are NAME=VALUE
// pairs put into a scope, the rest is the text. Whatever the input, the result must end
// within the 32768-byte area, text without an ampersand must come out unchanged, and
// resetting the scopes must return every block they took.
#include <algorithm>
#include <cstring>

#include "expansion/symbols.h"
#include "fuzz_support.h"

namespace {

using kvr::fuzz::CText;
using kvr::fuzz::Outstanding;
using kvr::fuzz::Require;

constexpr size_t kMaxPairs = 4;
constexpr size_t kGuard = 64;

void DefinePair(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    kvr::SetScopedSymbolValue(CText(line.substr(0, equals)).c_str(),
                              CText(line.substr(equals + 1)).c_str(), TRUE, 0);
}

void CheckSubstitution(std::string_view text, int32_t inApost) {
    std::vector<char> area(kvr::kOperandAreaSize + kGuard, '\x5a');
    area[0] = '\0';
    int32_t symbols = 0;
    int32_t replaced = 0;
    ResetMaximumSeverity();
    kvr::SubstituteSymbolics(text.data(), static_cast<int32_t>(text.size()), area.data(), &symbols,
                             &replaced, -1, 1, inApost, 0, 0);
    Require(std::memchr(area.data(), '\0', kvr::kOperandAreaSize) != nullptr);
    for (size_t i = kvr::kOperandAreaSize; i < area.size(); ++i)
        Require(area[i] == '\x5a');
    Require(replaced >= 0 && replaced <= symbols);
    if (text.find('&') == std::string_view::npos) {
        const size_t kept = std::min(text.size(), static_cast<size_t>(kvr::kOperandAreaSize - 1));
        Require(std::memcmp(area.data(), text.data(), kept) == 0);
        Require(area[kept] == '\0');
        Require(symbols == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvr::fuzz::QuietLog(); // messages about long names
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    kvr::InitializeScopedSymbolData(0);
    const int32_t before = Outstanding();
    Require(kvr::BeginSymbolScope(0, 0) == TRUE);

    // Lines before the last (at most kMaxPairs of them) define symbols; the rest is text.
    for (size_t pairs = 0; pairs < kMaxPairs; ++pairs) {
        const size_t newline = input.find('\n');
        if (newline == std::string_view::npos) break;
        DefinePair(input.substr(0, newline));
        input.remove_prefix(newline + 1);
    }
    CheckSubstitution(input, 0);
    CheckSubstitution(input, 1);

    kvr::InitializeScopedSymbolData(0);
    Require(Outstanding() == before);
    ResetMaximumSeverity();
    return 0;
}
