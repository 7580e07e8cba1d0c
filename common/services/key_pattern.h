// Key patterns: a list key read as a pattern ("*" any run of characters, "?" any one
// character) decides which search texts it stands for. Shared by the list search and by
// the modules that select names by pattern.
#ifndef KVR_SERVICES_KEY_PATTERN_H
#define KVR_SERVICES_KEY_PATTERN_H

namespace kvr {

// True when text matches pattern as a whole (case-sensitive). "*" matches any run of
// characters including none, "?" exactly one character, anything else itself. Either
// argument null gives false.
bool MatchKeyPattern(const char* pattern, const char* text);

} // namespace kvr

#endif
