// Checks the key pattern matcher against a plain dynamic-programming glob matcher on
// arbitrary pattern/text pairs, and drives MatchItemWithKey over a list of patterns
// taken from the same input. Input: pattern, a NUL or newline, then the text.
#include "fuzz_support.h"
#include "services/key_pattern.h"

namespace {

// matches[i][j]: the first i pattern characters match the first j text characters.
bool ReferenceMatch(const std::string& pattern, const std::string& text) {
    const size_t m = pattern.size();
    const size_t n = text.size();
    std::vector<std::vector<char>> matches(m + 1, std::vector<char>(n + 1, 0));
    matches[0][0] = 1;
    for (size_t i = 1; i <= m; ++i) {
        const char p = pattern[i - 1];
        for (size_t j = 0; j <= n; ++j) {
            if (p == '*') {
                matches[i][j] = matches[i - 1][j] || (j > 0 && matches[i][j - 1]);
            } else if (j > 0) {
                matches[i][j] = matches[i - 1][j - 1] && (p == '?' || p == text[j - 1]);
            }
        }
    }
    return matches[m][n] != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kvr::fuzz::Require;
    if (size > 512) return 0; // the reference table grows with the product of the lengths
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find_first_of(std::string("\0\n", 2));
    std::string pattern = input.substr(0, split);
    std::string text = split == std::string::npos ? std::string() : input.substr(split + 1);
    text = text.substr(0, text.find('\0')); // texts end at their first NUL

    const bool expected = ReferenceMatch(pattern, text);
    Require(kvr::MatchKeyPattern(pattern.c_str(), text.c_str()) == expected);

    // The same pair through a list: a few fixed patterns that rarely match, then the
    // fuzzed one. The first match must be the fuzzed item exactly when the reference
    // says so and no fixed pattern matched first.
    static const char* const fixed[] = {"\x01?", "\x02*\x03", "ZZ*?ZZ"};
    void* list = nullptr;
    if (CreateList(&list, 0) == 0) return 0;
    bool fixedMatches = false;
    for (const char* key : fixed) {
        AddItemToList(list, const_cast<char*>(key), key, 0);
        fixedMatches = fixedMatches || ReferenceMatch(key, text);
    }
    int fuzzedMarker = 0;
    AddItemToList(list, &fuzzedMarker, pattern.c_str(), 0);

    const int32_t found = MatchItemWithKey(list, text.c_str());
    void* current = nullptr;
    const int32_t hasCurrent = GetCurrentItem(list, &current);
    Require(found == ((expected || fixedMatches) ? 1 : 0) && found == hasCurrent);
    Require(fixedMatches || !expected || current == &fuzzedMarker);
    Require(found != 0 || GetNextItem(list, &current) == 0);

    void* ignored = nullptr;
    while (FindFirstItem(list, &ignored) != 0)
        UnlinkCurrentItem(list, &ignored, 0);
    FreeList(list, 0);
    return 0;
}
