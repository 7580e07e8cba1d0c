// Internal pieces of the MSG records, reachable from the tests.
#ifndef KVR_SERVICES_MSG_RECORDS_H
#define KVR_SERVICES_MSG_RECORDS_H

#include <string>
#include <string_view>

namespace kvr {

// The text with every newline that is followed by nine blanks (the catalog's way of
// continuing a long text) removed together with the blanks, joining the lines.
std::string JoinContinuationLines(std::string_view text);

// Element text for the XML form: "&" becomes "&amp;" and "<" becomes "&lt;".
std::string EscapeXmlText(std::string_view text);

// Whether records follow the XML form of the import file (KVR_SetMSG_Format).
bool ImportRecordsAreXml();

} // namespace kvr

#endif
