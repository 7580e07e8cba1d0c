// Text written into DOT, HTML and script data: names come from the JCL and may hold
// markup characters or bytes that are not UTF-8, and must show as the text they are.
#pragma once

#include <string>
#include <string_view>

namespace xref {

// The text with every byte sequence that is not UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// Text for HTML content and quoted attribute values (& < > " ' escaped), as valid UTF-8.
std::string HtmlText(std::string_view text);

// JSON text made safe inside an HTML <script> element: < > & as \u escapes, which only
// occur inside JSON strings, so "</script>" or "<!--" in a name cannot end the element.
std::string JsonForScript(std::string_view json);

} // namespace xref
