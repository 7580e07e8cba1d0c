// Symbols left unresolved in a data set name. With system symbols given, a data set name
// that still holds &NAME after substitution would show the data set under a name no system
// knows: each such name is reported once per member (1482), the data set name kept as
// written. Temporary names (&&TEMP) are no symbols.
#ifndef KVR_READER_UNRESOLVED_SYMBOLS_H
#define KVR_READER_UNRESOLVED_SYMBOLS_H

#include <string>
#include <string_view>
#include <vector>

#include "base/contexts.h"

namespace kvr {

// The names of the &NAME symbols in the substituted text, in order of appearance, each as
// often as it appears; &&NAME and the ampersand of TCPIP& are left out.
std::vector<std::string> UnresolvedSymbolNames(std::string_view text);

// Reports 1482 at the statement's position for every unresolved name of the data set name
// not yet reported in the member. Does nothing without system symbols.
void ReportUnresolvedDataSetSymbols(MemberContext& ctx, const char* dataSetName,
                                    SOURCE_REF reference, int32_t line);

} // namespace kvr

#endif
