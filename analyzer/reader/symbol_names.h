// What a symbol name is made of, shared by the substitution of &NAME, the search for names
// left unresolved and the system symbol file.
#ifndef KVR_READER_SYMBOL_NAMES_H
#define KVR_READER_SYMBOL_NAMES_H

#include <cctype>
#include <cstddef>
#include <string_view>

namespace kvr {

// A symbol name has 1 to 8 of these characters.
inline constexpr size_t kSymbolNameMax = 8;

inline bool IsSymbolNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '#' || c == '$' || c == '@';
}

// The ampersand at position i follows TCPIP in any case: a TCP/IP data set qualifier such
// as TCPIP&... keeps its ampersand as text.
inline bool AmpersandFollowsTcpip(std::string_view text, size_t i) {
    constexpr std::string_view kWord = "TCPIP";
    if (i < kWord.size()) return false;
    for (size_t k = 0; k < kWord.size(); ++k) {
        const char c = text[i - kWord.size() + k];
        if (std::toupper(static_cast<unsigned char>(c)) != kWord[k]) return false;
    }
    return true;
}

} // namespace kvr

#endif
