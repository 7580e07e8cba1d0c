// The DD-name convention: a file named "DD:NAME" is the path held by the environment
// variable of exactly that name. Shells that cannot set a name holding ":" may set
// "DD_NAME" instead; it is consulted only when "DD:NAME" is not set at all.
#ifndef KVR_PLATFORM_DD_NAMES_H
#define KVR_PLATFORM_DD_NAMES_H

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace kvr::platform {

// The raw value of the variable standing for ddName ("DD:NAME", else "DD_NAME"), or
// nothing when neither is set. A name without the "DD:" prefix is looked up as it is.
std::optional<std::string> LookupDDVariable(const char* ddName);

// The path a DD name stands for: nothing when the variable is unset or "DUMMY"; a value
// in double quotes loses its quotes and the blanks before the closing one.
std::optional<std::string> ResolveDDPath(const char* ddName, int32_t debug);

// Opens the file a DD name stands for with the C library mode; null when there is none.
FILE* OpenDDFile(const char* ddName, const char* mode, int32_t debug);

// The folder holding the running executable, without a trailing "/"; empty if unknown.
std::string ExecutableDirectory();

} // namespace kvr::platform

#endif
