// Internal pieces of the message service shared between its source files and reachable
// from the tests: the insert formatter, the catalog cache, the log line writer and the
// severity taken from a formatted text.
#ifndef KVR_SERVICES_MESSAGES_H
#define KVR_SERVICES_MESSAGES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvr {

// Size of the buffers the message operations format into.
inline constexpr size_t kMessageBufferSize = 512;

// Number of inserts in a table of `size` entries: up to and including its last non-null
// entry (a null table has none).
size_t InsertCount(const char* const* table, size_t size);

// Copies text into out (outSize bytes, always NUL-terminated when outSize > 0), replacing
// %1..%4 with the inserts (a null insert is the empty text) and %% with a percent sign.
// A marker beyond insertCount and every other % sequence stay as written. Returns the
// length of what was written, cut to outSize - 1.
size_t FormatMessageInserts(const char* text, const char* const* inserts, size_t insertCount,
                            char* out, size_t outSize);

// The folders searched for catalog files, in order: KVRMSGPATH alone when it is set,
// else messages/ beside the executable, then ../share/kvr4000/messages beside it.
std::vector<std::string> MessageCatalogFolders();

// The catalog text of a message for a base name and locale, or null when the base name
// binds to no library, the library cannot be loaded or it has no such number. The
// library is loaded again only when the base name or the locale changes.
const std::string* LookupCatalogText(const char* baseName, const char* locale, uint32_t number);

// The catalog file of a base name and locale and the folders it is looked for in.
std::string CatalogDescription(const char* baseName, const char* locale);

// Makes the next lookup load its library again (setMessageDll).
void ForgetCachedCatalogPair();

// Writes one line (text and newline) to the log, when there is one, and flushes it.
void WriteLogLine(const char* text);

// Raises the maximum severity from a formatted text's severity letter.
void SetSeverityFromMsg(const char* text);

// Memory ran out where the operation cannot report it: the program's handler, else
// message 1450 and the end of the process with exit code 8. Does not return.
[[noreturn]] void EndProcessOutOfMemory();

// Test support: back to the state at load (base name, catalog cache, log closed with the
// default failure message, severity and tool identifier 0).
void ResetMessageServicesForTests();
void ResetLogForTests();      // closes the log, failure message back to 1638
void ResetSeverityForTests(); // maximum severity and tool identifier back to 0

} // namespace kvr

#endif
