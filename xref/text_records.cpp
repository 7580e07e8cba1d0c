#include "text_records.h"

#include <charconv>

#include "import_error.h"

namespace xref {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}


std::string NeedWord(Words& words, const char* what) {
    std::string word;
    if (!words.Next(word)) throw RecordError(std::string("missing ") + what);
    return word;
}

} // namespace

std::string_view CutField(std::string_view& text) {
    const size_t blank = text.find(' ');
    const std::string_view field = text.substr(0, blank);
    text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    return field;
}

bool Words::Next(std::string& word) {
    while (!rest_.empty() && rest_.front() == ' ')
        rest_.remove_prefix(1);
    if (rest_.empty()) return false;
    if (rest_.front() == '"') {
        const size_t close = rest_.find('"', 1);
        if (close == std::string_view::npos) throw RecordError("unbalanced double quote");
        word.assign(rest_.substr(1, close - 1));
        rest_.remove_prefix(close + 1);
        return true;
    }
    const size_t blank = rest_.find(' ');
    word.assign(rest_.substr(0, blank));
    rest_ = blank == std::string_view::npos ? std::string_view() : rest_.substr(blank);
    return true;
}

int ParseNumber(std::string_view text, const char* what) {
    text = TrimBlanks(text);
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && text.front() == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last)
        throw RecordError(std::string(what) + " is not a number: '" + std::string(text) + "'");
    return value;
}

LineRange ParseLines(std::string_view fields) {
    Words words(fields);
    LineRange lines;
    lines.source = ParseNumber(NeedWord(words, "source number"), "source number");
    lines.first = ParseNumber(NeedWord(words, "first line"), "first line");
    lines.last = ParseNumber(NeedWord(words, "last line"), "last line");
    if (!TrimBlanks(words.Rest()).empty()) throw RecordError("unexpected text after the lines");
    return lines;
}

Step ParseStep(std::string_view fields) {
    Step step;
    step.number = ParseNumber(CutField(fields), "step number");
    step.name.assign(CutField(fields));
    step.program.assign(CutField(fields));
    const size_t open = fields.find('"');
    const size_t close = fields.rfind('"');
    if (open != 0 || close == open) throw RecordError("the step's PARM is not in double quotes");
    step.parm.assign(fields.substr(open + 1, close - open - 1));
    step.procStep.assign(TrimBlanks(fields.substr(close + 1)));
    return step;
}

RunUnit ParseRunUnit(std::string_view fields) {
    RunUnit unit;
    unit.program.assign(CutField(fields));
    Words words(fields);
    for (std::string word; words.Next(word);) {
        const size_t equals = word.find('=');
        const std::string key = word.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
        if (key == "PLAN")
            unit.plan = value;
        else if (key == "PSB")
            unit.psb = value;
        else if (key == "IMSR")
            unit.imsRegion = value;
        else if (key == "DSN")
            unit.db2Subsystem = value;
        else
            throw RecordError("unknown run unit part '" + word + "'");
    }
    return unit;
}

SourceRecord ParseInclude(std::string_view fields) {
    Words words(fields);
    SourceRecord record;
    const int kind = ParseNumber(NeedWord(words, "kind"), "kind");
    if (kind < 0 || kind > 3) throw RecordError("unknown INCL kind " + std::to_string(kind));
    // 3 is the INCLUDE member a step came from; after the jobs 1 says the same.
    record.kind =
        kind == 0 ? SourceKind::Job : (kind == 2 ? SourceKind::Procedure : SourceKind::Include);
    record.name.member = NeedWord(words, "member");
    record.name.container = NeedWord(words, "container");
    return record; // RM= and SITE= say how the library is reached; nothing here needs them
}

MemberName ParseProcSource(std::string_view fields) {
    Words words(fields);
    MemberName name;
    name.container = NeedWord(words, "container");
    name.member = NeedWord(words, "member");
    return name;
}

Message ParseMessage(std::string_view fields) {
    Message message;
    CutField(fields); // the analysis type, always JCL
    message.program.assign(CutField(fields));
    message.severity = ParseNumber(CutField(fields), "message severity");
    message.number = ParseNumber(CutField(fields), "message number");
    const size_t open = fields.find('"');
    const size_t close = fields.rfind('"');
    if (open != 0 || close == open) throw RecordError("the message text is not in double quotes");
    message.text.assign(fields.substr(open + 1, close - open - 1));
    return message;
}

std::string ParseLibraryName(std::string_view fields) {
    fields = TrimBlanks(fields);
    if (fields.size() >= 3 && fields.front() == '"' && fields.substr(fields.size() - 2) == "\":")
        return std::string(fields.substr(1, fields.size() - 3));
    return std::string(fields);
}

} // namespace xref
