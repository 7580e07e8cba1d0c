#include "import_xml_reader.h"

#include "dataset_access.h"
#include "import_error.h"
#include "text_records.h"

namespace xref {

namespace {

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool Starts(std::string_view line, std::string_view prefix, std::string_view& rest) {
    if (line.substr(0, prefix.size()) != prefix) return false;
    rest = line.substr(prefix.size());
    return true;
}

bool IsNameChar(char c) {
    return c != ' ' && c != '>' && c != '/' && c != '=' && c != '\t';
}

} // namespace

std::string DecodeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const size_t semicolon = text.find(';', i);
        if (semicolon == std::string_view::npos) throw RecordError("an & without its ;");
        const std::string_view entity = text.substr(i + 1, semicolon - i - 1);
        if (entity == "amp")
            out += '&';
        else if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x' || entity[1] == 'X';
            const std::string digits(entity.substr(hex ? 2 : 1));
            char* end = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (digits.empty() || *end != '\0' || code > 0x10FFFF)
                throw RecordError("bad character reference &" + std::string(entity) + ";");
            AppendUtf8(out, code);
        } else {
            throw RecordError("unknown entity &" + std::string(entity) + ";");
        }
        i = semicolon;
    }
    return out;
}

void XmlImportReader::Line(std::string_view line, int lineNumber) {
    lineNumber_ = lineNumber;
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return;
    line.remove_prefix(first);
    if (line.front() == '<')
        Tags(line);
    else
        TextRecord(line);
}

void XmlImportReader::End() {
    if (!open_.empty()) throw RecordError("the file ends inside <" + open_.back() + ">");
}

// The records written as text whatever the format.
void XmlImportReader::TextRecord(std::string_view line) {
    if (!assembler_.Open()) throw RecordError("text outside a container element");
    std::string_view rest;
    if (Starts(line, "DD LINES ", rest)) return assembler_.ElementLines(ParseLines(rest));
    if (Starts(line, "PROC PARM ", rest)) return assembler_.ProcedureParameter(std::string(rest));
    if (Starts(line, "INCL ", rest)) {
        SourceRecord record = ParseInclude(rest);
        return assembler_.AddSource(std::move(record));
    }
    // Dravix and Velkor write the DD parameters as text, in one record.
    if (Starts(line, "DD PARM ", rest)) {
        NoteParameters(rest, assembler_.CurrentElement().kind);
        return;
    }
    if (Starts(line, "DD SERVER ", rest)) {
        assembler_.CurrentElement().server.assign(rest);
        return;
    }
    for (const char* ignored : {"PROC LINES ", "PROCEND", "DD PRM1 ", "DD PRMn ", "DD DSP3",
                                "DD SPC4", "DD DATA", "DD DATALINES "})
        if (Starts(line, ignored, rest)) return;
    throw RecordError("unknown text record '" + std::string(line.substr(0, 40)) + "'");
}

void XmlImportReader::Tags(std::string_view line) {
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] != '<') {
            const size_t next = line.find('<', at);
            if (open_.empty()) throw RecordError("text outside any element");
            text_ += DecodeXmlText(line.substr(at, next - at));
            at = next == std::string_view::npos ? line.size() : next;
            continue;
        }
        if (line.substr(at, 2) == "<?") {
            const size_t end = line.find("?>", at);
            if (end == std::string_view::npos) throw RecordError("unclosed <?");
            at = end + 2;
            continue;
        }
        if (line.substr(at, 2) == "</") {
            const size_t end = line.find('>', at);
            if (end == std::string_view::npos) throw RecordError("unclosed end tag");
            std::string name(line.substr(at + 2, end - at - 2));
            while (!name.empty() && name.back() == ' ')
                name.pop_back();
            Close(name);
            at = end + 1;
            continue;
        }
        at = OpenTag(line, at);
    }
}

// Reads <name attr="value" ...> or <name/> starting at `at`; returns where it ends.
size_t XmlImportReader::OpenTag(std::string_view line, size_t at) {
    size_t i = at + 1;
    const size_t nameStart = i;
    while (i < line.size() && IsNameChar(line[i]))
        ++i;
    const std::string name(line.substr(nameStart, i - nameStart));
    if (name.empty()) throw RecordError("a tag without a name");
    std::vector<Attribute> attributes;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size()) throw RecordError("unclosed tag <" + name + ">");
        if (line[i] == '>') {
            Open(name, attributes);
            return i + 1;
        }
        if (line.substr(i, 2) == "/>") {
            Open(name, attributes);
            Close(name);
            return i + 2;
        }
        const size_t keyStart = i;
        while (i < line.size() && IsNameChar(line[i]))
            ++i;
        Attribute attribute{std::string(line.substr(keyStart, i - keyStart)), {}};
        if (attribute.name.empty() || i + 1 >= line.size() || line[i] != '=' ||
            (line[i + 1] != '"' && line[i + 1] != '\''))
            throw RecordError("bad attribute in <" + name + ">");
        const size_t close = line.find(line[i + 1], i + 2);
        if (close == std::string_view::npos) throw RecordError("unclosed attribute value");
        attribute.value = DecodeXmlText(line.substr(i + 2, close - i - 2));
        attributes.push_back(std::move(attribute));
        i = close + 1;
    }
}

std::string XmlImportReader::Parent(size_t up) const {
    return open_.size() > up ? open_[open_.size() - 1 - up] : std::string();
}

void XmlImportReader::Open(const std::string& name, const std::vector<Attribute>& attributes) {
    auto attribute = [&attributes](const char* key) {
        for (const Attribute& a : attributes)
            if (a.name == key) return a.value;
        return std::string();
    };
    if (name == "concat" && Parent(0) == "concat") Close("concat");
    const std::string parent = Parent(0);
    if (name == "container" && open_.empty()) {
        assembler_.Begin(lineNumber_);
        severity_ = 0;
        completion_ = 'C';
    } else if (open_.empty()) {
        throw RecordError("<" + name + "> outside a container element");
    } else if (name == "job" && parent == "jcl") {
        assembler_.BeginJob(attribute("name"));
    } else if (name == "step" && parent == "job") {
        assembler_.BeginStep(Step());
    } else if (name == "runUnit") {
        assembler_.AddRunUnit(RunUnit());
    } else if (name == "dd") {
        assembler_.BeginDd(std::string());
    } else if (name == "joblibDDcard") {
        assembler_.BeginDd(attribute("name"));
    } else if (name == "concat") {
        assembler_.BeginXmlElement(ParseNumber(attribute("sequence"), "concat sequence"));
    } else if (name == "message") {
        message_ = Message();
    }
    open_.push_back(name);
    text_.clear();
}

void XmlImportReader::Close(const std::string& name) {
    // Dravix mode leaves a concat element open until its DD ends.
    if (name != "concat" && !open_.empty() && open_.back() == "concat") Close("concat");
    if (open_.empty() || open_.back() != name)
        throw RecordError("</" + name + "> does not close " +
                          (open_.empty() ? std::string("any element") : "<" + open_.back() + ">"));
    open_.pop_back();
    const std::string parent = Parent(0);
    if (name == "container" && open_.empty()) {
        sink_(assembler_.Finish(severity_, completion_));
    } else if (name == "job" && parent == "jcl") {
        assembler_.EndJob();
    } else if (name == "step" && parent == "job") {
        assembler_.EndStep();
    } else if (name == "sourceRef") {
        assembler_.CurrentStep().source.given = true;
    } else if (name == "dd" || name == "joblibDDcard") {
        assembler_.EndDd();
    } else if (name == "concat") {
        assembler_.EndElement();
    } else if (name == "message") {
        assembler_.AddMessage(std::move(message_));
    } else {
        Leaf(parent, name, std::move(text_));
    }
    text_.clear();
}

// An element holding only text, by its parent.
void XmlImportReader::Leaf(const std::string& parent, const std::string& name, std::string text) {
    if (parent == "container" && name == "name") return assembler_.SetContainer(std::move(text));
    if (parent == "file" && name == "name" && Parent(1) == "container")
        return assembler_.SetMember(std::move(text));
    if (parent == "step") {
        Step& step = assembler_.CurrentStep();
        if (name == "sequence")
            step.number = ParseNumber(text, "step sequence");
        else if (name == "name")
            step.name = std::move(text);
        else if (name == "parm")
            step.parm = std::move(text);
        else if (name == "proc")
            step.procStep = std::move(text);
        return;
    }
    if (parent == "exec" && name == "name") {
        assembler_.CurrentStep().program = std::move(text);
    } else if (parent == "sourceRef") {
        MemberName& source = assembler_.CurrentStep().source.name;
        (name == "container" ? source.container : source.member) = std::move(text);
    } else if (parent == "runUnit") {
        RunUnit& unit = *assembler_.CurrentStep().runUnit;
        if (name == "name") unit.program = std::move(text);
        if (name == "plan") unit.plan = std::move(text);
        if (name == "psb") unit.psb = std::move(text);
        if (name == "imsRegion") unit.imsRegion = std::move(text);
        if (name == "db2Subsystem") unit.db2Subsystem = std::move(text);
    } else if (parent == "dd" && name == "name") {
        assembler_.NameDd(std::move(text));
    } else if (parent == "concat") {
        DataSetElement& element = assembler_.CurrentElement();
        if (name == "dsn") element.dsn = std::move(text);
        if (name == "stat") element.status = std::move(text);
        if (name == "dispnor") element.disposition = std::move(text);
        if (name == "parm") NoteParameters(text, element.kind);
    } else if (parent == "message") {
        if (name == "step") message_.program = std::move(text);
        if (name == "returnCode") message_.severity = ParseNumber(text, "message return code");
        if (name == "number") message_.number = ParseNumber(text, "message number");
        if (name == "text") message_.text = std::move(text);
    } else if (parent == "jcl" && name == "returnCode") {
        severity_ = ParseNumber(text, "return code");
    } else if (parent == "jcl" && name == "completionCode") {
        if (text.size() != 1) throw RecordError("completion code is not C or E");
        completion_ = text[0];
    }
}

} // namespace xref
