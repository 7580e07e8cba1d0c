// Small helpers for the NUL-terminated texts the records hold: absent texts read as empty.
#ifndef KVR_BASE_TEXT_H
#define KVR_BASE_TEXT_H

#include <cstring>

namespace kvr {

inline bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// The text itself, or the empty text for null: absent values are stored as empty strings.
inline const char* TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

inline bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

} // namespace kvr

#endif
