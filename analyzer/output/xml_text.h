// XML text of import records: values are written as they come, except that "&" and "<"
// (and '"' inside attribute values) are escaped so that the import file stays well-formed.
#ifndef KVR_OUTPUT_XML_TEXT_H
#define KVR_OUTPUT_XML_TEXT_H

#include <string>
#include <string_view>

namespace kvr {

// The text for element content: "&" as "&amp;", "<" as "&lt;".
std::string XmlText(std::string_view text);
// The text for an attribute value in double quotes: as XmlText, and '"' as "&quot;".
std::string XmlAttribute(std::string_view text);

} // namespace kvr

#endif
