// Escaping for the XML form of the import file. Only the characters that would break
// well-formedness are replaced; everything else is written as it comes.
#include "output/xml_text.h"

namespace kvr {
namespace {

std::string Escaped(std::string_view text, bool attribute) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"' && attribute)
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

} // namespace

std::string XmlText(std::string_view text) {
    return Escaped(text, false);
}
std::string XmlAttribute(std::string_view text) {
    return Escaped(text, true);
}

} // namespace kvr
