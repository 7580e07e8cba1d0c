// One line of the system symbol file (DD:SYSSYMS): NAME=VALUE, a comment or nothing.
//
//   SYSUID=PAYUSER     the name is 1 to 8 name characters (letters, digits, #, $, @),
//   &SYSNAME.=SYSA     optionally written as in JCL, with a leading & and a closing period;
//   SITE='A B'         a value in apostrophes is stored without them, as SET values are
//                      (doubled apostrophes inside stay as written); an unquoted value
//                      holds neither blank nor apostrophe; the value is at most 255
//                      characters and may be empty
//   * a comment        a line whose first non-blank is *; blank lines are ignored too
//
// Blanks before the name and at the end of the line are dropped; none may stand between the
// name and the equals sign. Names are matched as written (JCL symbols are upper case).
#ifndef KVR_READER_SYSTEM_SYMBOL_LINE_H
#define KVR_READER_SYSTEM_SYMBOL_LINE_H

#include <string>
#include <string_view>

namespace kvr {

enum class SystemSymbolLineKind { kIgnored, kDefinition, kMalformed };

struct SystemSymbolLine {
    SystemSymbolLineKind kind = SystemSymbolLineKind::kIgnored;
    std::string name;  // a definition's name, without & and period
    std::string value; // a definition's value, without its apostrophes
};

// The line without its line end.
SystemSymbolLine ParseSystemSymbolLine(std::string_view line);

} // namespace kvr

#endif
