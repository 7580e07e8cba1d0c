// Key pattern matching by a single left-to-right pass with one backtracking point: the
// last "*" seen. Retrying only from that "*" is enough, because an earlier "*" could
// only absorb characters that the later one can absorb as well.
#include "services/key_pattern.h"

#include <cstring>

namespace kvr {

bool MatchKeyPattern(const char* pattern, const char* text) {
    if (pattern == nullptr || text == nullptr) return false;
    if (std::strcmp(pattern, text) == 0) return true;

    const char* p = pattern;
    const char* t = text;
    const char* afterStar = nullptr; // pattern position just after the last "*"
    const char* retryFrom = nullptr; // text position where that rest was last tried
    while (*t != '\0') {
        if (*p == '*') {
            while (*p == '*')
                ++p;
            if (*p == '\0') return true; // a trailing "*" takes the rest at once
            afterStar = p;
            retryFrom = t;
        } else if (*p != '\0' && (*p == '?' || *p == *t)) {
            ++p;
            ++t;
        } else if (afterStar != nullptr) {
            // Mismatch, or pattern used up with text left: let the "*" take one more.
            p = afterStar;
            t = ++retryFrom;
        } else {
            return false;
        }
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}

} // namespace kvr
