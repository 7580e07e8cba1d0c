// Fuzz target for the whole program: the input is split at lines "~~~" into a job member
// JOBS/MEM, a cataloged procedure LIB/FPROC and an INCLUDE member LIB/FINC, and the
// analyzer runs end to end on it (command line, search list, import file, member loop,
// tear-down), once for the text import file and once for the XML one, in the run mode the
// input's size picks. Each import file must frame the member exactly once and hold no
// record over 2047 characters, the XML one must be well-formed UTF-8 of XML characters,
// the exit code must be a severity, and no block may stay taken.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "driver/entry.h"
#include "fuzz_support.h"

namespace {

using namespace kvr;

// Aborts, naming the rule broken, so that libFuzzer keeps the input.
void Check(bool condition, const char* rule) {
    if (condition) return;
    std::fprintf(stderr, "pipeline_fuzz: %s\n", rule);
    std::abort();
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t CountLinesStartingWith(const std::string& text, std::string_view start) {
    size_t count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, start.size(), start) == 0) ++count;
    return count;
}

// True when `text` holds no raw "<" and every "&" starts one of the five entities.
bool CleanCharacterData(std::string_view text) {
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '<') return false;
        if (text[at] != '&') continue;
        const size_t end = text.find(';', at);
        if (end == std::string_view::npos) return false;
        const std::string_view entity = text.substr(at + 1, end - at - 1);
        if (entity != "amp" && entity != "lt" && entity != "gt" && entity != "quot" &&
            entity != "apos")
            return false;
    }
    return true;
}

// A tag's name followed by attributes name="value" whose values are clean character data.
bool WellFormedTag(std::string_view tag, std::string& name) {
    const size_t nameEnd = tag.find(' ');
    name = std::string(tag.substr(0, nameEnd));
    if (name.empty()) return false;
    std::string_view rest = nameEnd == std::string_view::npos ? "" : tag.substr(nameEnd);
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
        const size_t open = rest.find("=\"");
        if (open == std::string_view::npos || open == 0) return false;
        const size_t close = rest.find('"', open + 2);
        if (close == std::string_view::npos) return false;
        if (!CleanCharacterData(rest.substr(open + 2, close - open - 2))) return false;
        rest.remove_prefix(close + 1);
    }
    return rest.empty();
}

// The ">" that ends the tag opened at `start`; one inside an attribute value does not.
size_t TagEnd(std::string_view text, size_t start) {
    bool quoted = false;
    for (size_t at = start; at < text.size(); ++at) {
        if (text[at] == '"') quoted = !quoted;
        if (text[at] == '>' && !quoted) return at;
    }
    return std::string_view::npos;
}

// The XML import file after its prologue: elements nested properly, character data clean.
bool WellFormedXml(const std::string& document) {
    const size_t prologueEnd = document.find("?>");
    if (document.rfind("<?xml", 0) != 0 || prologueEnd == std::string::npos) return false;
    std::vector<std::string> open;
    std::string_view rest(document);
    rest.remove_prefix(prologueEnd + 2);
    while (!rest.empty()) {
        const size_t tagStart = rest.find('<');
        if (!CleanCharacterData(rest.substr(0, tagStart))) return false;
        if (tagStart == std::string_view::npos) break;
        const size_t tagEnd = TagEnd(rest, tagStart);
        if (tagEnd == std::string_view::npos) return false;
        std::string_view tag = rest.substr(tagStart + 1, tagEnd - tagStart - 1);
        rest.remove_prefix(tagEnd + 1);
        const bool closing = !tag.empty() && tag.front() == '/';
        const bool empty = !tag.empty() && tag.back() == '/';
        if (closing) tag.remove_prefix(1);
        if (empty) tag.remove_suffix(1);
        std::string name;
        if (!WellFormedTag(tag, name) || (closing && empty)) return false;
        if (closing) {
            if (open.empty() || open.back() != name) return false;
            open.pop_back();
        } else if (!empty) {
            open.push_back(name);
        }
    }
    return open.empty();
}

// Every byte sequence well-formed UTF-8 (what a document without an encoding declaration
// is read as), every character one XML allows: no C0 control but tab, line feed and
// carriage return, no surrogate, no U+FFFE or U+FFFF.
bool XmlCharacters(std::string_view document) {
    for (size_t at = 0; at < document.size();) {
        const auto lead = static_cast<unsigned char>(document[at]);
        if (lead < 0x80) {
            if (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r') return false;
            ++at;
            continue;
        }
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || lead > 0xF4 || at + length > document.size()) return false;
        uint32_t code = lead & (0x7Fu >> length);
        for (size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(document[at + i]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ||
            code == 0xFFFE || code == 0xFFFF)
            return false;
        at += length;
    }
    return true;
}

// No record longer than 2047 characters (bytes in a text import file, characters of the
// UTF-8 of an XML one).
bool RecordsWithinLimit(const std::string& written, bool xml) {
    size_t characters = 0;
    for (char c : written) {
        if (c == '\n') {
            characters = 0;
            continue;
        }
        if (!xml || (static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
        if (characters > 2047) return false;
    }
    return true;
}

// Runs the analyzer as the command line `kvr4000 [-f|-t] [-x] JOBS MEM` would, checks
// what it wrote and returns nothing: a broken rule aborts.
void AnalyzeEndToEnd(const char* modeOption, bool xml) {
    const std::filesystem::path import = fuzz::MemberContainer() / "import";
    ::setenv("DD:ATTRBOUT", import.c_str(), 1);
    std::vector<std::string> arguments{"kvr4000"};
    if (*modeOption) arguments.emplace_back(modeOption);
    if (xml) arguments.emplace_back("-x");
    arguments.emplace_back("JOBS");
    arguments.emplace_back("MEM");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const int32_t before = fuzz::Outstanding();
    const int rc = RunAnalyzer(static_cast<int>(arguments.size()), argv.data());
    Check(before == fuzz::Outstanding(), "a block stayed taken");
    Check(rc == 0 || rc == 4 || rc == 8 || rc == 12 || rc == 16, "exit code not a severity");

    const std::string written = ReadAll(import);
    Check(RecordsWithinLimit(written, xml), "a record longer than 2047 characters");
    if (xml) {
        Check(XmlCharacters(written), "XML import file not UTF-8 of XML characters");
        Check(WellFormedXml(written), "XML import file not well-formed");
        Check(CountLinesStartingWith(written, "      <jcl>") == 1 &&
                  CountLinesStartingWith(written, "      </jcl>") == 1,
              "member not framed once in XML");
    } else {
        Check(CountLinesStartingWith(written, "START JCL") == 1 &&
                  CountLinesStartingWith(written, "END JCL ") == 1,
              "member not framed once in text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteMemberParts(data, size);

    static const char* const kModes[] = {"", "-f", "-t"};
    const char* mode = kModes[size % 3];
    AnalyzeEndToEnd(mode, false);
    AnalyzeEndToEnd(mode, true);
    return 0;
}
