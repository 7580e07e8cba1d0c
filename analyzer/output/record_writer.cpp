// The record writer: a record is made of the fixed text of its format and its values. A
// record that would be longer than the import file allows is shortened inside its longest
// value (several values when one is not enough), so that nothing that gives the record its
// structure (a closing quote, an attribute's end, an end tag) is ever cut. The finished
// record is composed in one buffer of the greatest record length and handed to kvrbase;
// composing takes no memory, so the records that close a member can still be written when
// memory has run out.
#include "output/record_writer.h"
#include "base/contexts.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>

#include "kvrbase.h"
#include "base/contexts.h"

namespace kvr {
namespace {

constexpr uint32_t kShortenedMessage = 1690;
constexpr uint32_t kShortenedMessageVelkor = 3122;
constexpr char kCutMark[] = "...";
constexpr size_t kCutMarkLength = sizeof kCutMark - 1;
constexpr size_t kMaxPieces = 32;
constexpr size_t kNumberSize = 24;

// One piece of a record: fixed text of the format, a formatted number, or a value.
struct Piece {
    const char* text = nullptr;
    size_t length = 0;
    bool value = false;
    bool cut = false; // the value was shortened and is followed by the cut mark
    char number[kNumberSize] = {};
};

struct Record {
    Piece pieces[kMaxPieces];
    size_t count = 0;
    bool escape = false;     // "&" and "<" are escaped while composing (text records in XML)
    bool preEscaped = false; // values arrive escaped (XML element lines)
};


void AddPiece(Record& record, const char* text, size_t length, bool value) {
    if (record.count == kMaxPieces) return;
    Piece& piece = record.pieces[record.count++];
    piece.text = text != nullptr ? text : "";
    piece.length = text != nullptr ? length : 0;
    piece.value = value;
}

void AddNumber(Record& record, const char* format, int value) {
    if (record.count == kMaxPieces) return;
    Piece& piece = record.pieces[record.count++];
    std::snprintf(piece.number, sizeof piece.number, format, value);
    piece.text = piece.number;
    piece.length = std::strlen(piece.number);
}

// Splits a format into pieces; the conversions are the few the record formats use.
void Parse(Record& record, const char* format, va_list arguments) {
    const char* literal = format;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') continue;
        AddPiece(record, literal, static_cast<size_t>(p - literal), false);
        ++p;
        if (*p == 's') {
            const char* text = va_arg(arguments, const char*);
            AddPiece(record, text, text != nullptr ? std::strlen(text) : 0, true);
        } else if (p[0] == '.' && p[1] == '*' && p[2] == 's') {
            const int length = va_arg(arguments, int);
            const char* text = va_arg(arguments, const char*);
            AddPiece(record, text, text != nullptr ? static_cast<size_t>(std::max(length, 0)) : 0,
                     true);
            p += 2;
        } else if (*p == 'd' || *p == 'i') {
            AddNumber(record, "%d", va_arg(arguments, int));
        } else if (*p == 'c') {
            AddNumber(record, "%c", va_arg(arguments, int));
        } else if (*p == '%') {
            AddPiece(record, "%", 1, false);
        } else {
            break; // not a conversion the writer knows: the format ends here
        }
        literal = p + 1;
    }
    AddPiece(record, literal, std::strlen(literal), false);
}

size_t Width(char c, bool escape) {
    if (!escape) return 1;
    return c == '&' ? 5 : c == '<' ? 4 : 1;
}

size_t RenderedLength(const Piece& piece, bool escape) {
    size_t length = piece.cut ? kCutMarkLength : 0;
    for (size_t i = 0; i < piece.length; ++i)
        length += Width(piece.text[i], escape);
    return length;
}

size_t RenderedLength(const Record& record) {
    size_t length = 0;
    for (size_t i = 0; i < record.count; ++i)
        length += RenderedLength(record.pieces[i], record.escape);
    return length;
}

// How many leading characters of a value render within `width` characters.
size_t KeptWithin(const Piece& piece, size_t width, bool escape) {
    size_t kept = 0;
    size_t used = 0;
    while (kept < piece.length && used + Width(piece.text[kept], escape) <= width)
        used += Width(piece.text[kept++], escape);
    return kept;
}

// The record's length when every value longer than `cap` is cut to fit `cap` with its mark.
size_t LengthWithCap(const Record& record, size_t cap) {
    size_t length = 0;
    for (size_t i = 0; i < record.count; ++i) {
        const Piece& piece = record.pieces[i];
        const size_t rendered = RenderedLength(piece, record.escape);
        if (!piece.value || rendered <= cap) {
            length += rendered;
            continue;
        }
        Piece cut = piece;
        cut.length = KeptWithin(piece, cap - kCutMarkLength, record.escape);
        length += RenderedLength(cut, record.escape) + kCutMarkLength;
    }
    return length;
}

// Cuts a value to fit `cap` with its mark. An escaped value is cut before an escape it
// would split.
void CutValue(Piece& piece, size_t cap, const Record& record) {
    size_t kept = KeptWithin(piece, cap - kCutMarkLength, record.escape);
    if (record.preEscaped) {
        const std::string_view head(piece.text, kept);
        const size_t amp = head.rfind('&');
        if (amp != std::string_view::npos && head.find(';', amp) == std::string_view::npos)
            kept = amp;
    }
    piece.length = kept;
    piece.cut = true;
}

// Shortens the longest values to one common length, the greatest with which the record
// fits, so that two long values share the room instead of one losing everything. Answers
// whether anything was shortened.
bool FitRecord(Record& record) {
    if (RenderedLength(record) <= kMaxRecordLength) return false;
    size_t longest = 0;
    for (size_t i = 0; i < record.count; ++i)
        if (record.pieces[i].value)
            longest = std::max(longest, RenderedLength(record.pieces[i], record.escape));
    if (longest <= kCutMarkLength) return false; // only fixed text is long: Compose cuts it
    size_t low = kCutMarkLength;
    size_t high = longest - 1;
    while (low < high) { // the greatest cap that fits, or the smallest one
        const size_t middle = low + (high - low + 1) / 2;
        if (LengthWithCap(record, middle) <= kMaxRecordLength)
            low = middle;
        else
            high = middle - 1;
    }
    for (size_t i = 0; i < record.count; ++i) {
        Piece& piece = record.pieces[i];
        if (piece.value && RenderedLength(piece, record.escape) > low) CutValue(piece, low, record);
    }
    return true;
}

size_t Append(char* work, size_t at, const char* text, size_t length, bool escape) {
    for (size_t i = 0; i < length && at < kMaxRecordLength; ++i) {
        const char c = text[i];
        const char* escaped = escape && c == '&' ? "&amp;" : escape && c == '<' ? "&lt;" : nullptr;
        if (escaped == nullptr) {
            work[at++] = c;
            continue;
        }
        const size_t width = std::strlen(escaped);
        if (at + width > kMaxRecordLength) break;
        std::memcpy(work + at, escaped, width);
        at += width;
    }
    return at;
}

void Compose(char* work, const Record& record) {
    size_t at = 0;
    for (size_t i = 0; i < record.count; ++i) {
        const Piece& piece = record.pieces[i];
        at = Append(work, at, piece.text, piece.length, record.escape);
        if (piece.cut) at = Append(work, at, kCutMark, kCutMarkLength, false);
    }
    work[at] = '\0';
}

// The record's name for the warning: its first fixed text up to a value, a quote or "=".
void RecordName(const Record& record, char (&name)[32]) {
    name[0] = '\0';
    for (size_t i = 0; i < record.count; ++i) {
        const Piece& piece = record.pieces[i];
        if (piece.value || piece.length == 0) continue;
        std::string_view text(piece.text, piece.length);
        text = text.substr(0, text.find_first_of("\"="));
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        if (text.empty()) continue;
        const size_t length = std::min(text.size(), sizeof name - 1);
        std::memcpy(name, text.data(), length);
        name[length] = '\0';
        return;
    }
}

void WarnShortened(MemberContext& ctx, const Record& record) {
    if (ctx.output.shortenedWarned) return;
    ctx.output.shortenedWarned = true;
    char name[32];
    RecordName(record, name);
    const uint32_t number = MessageFor(ctx, kShortenedMessage, kShortenedMessageVelkor);
    KVRWriteMessageWithStrings(number, name, nullptr, nullptr, nullptr);
    KVR_Write_MSG_RecordWithString("JCL", MsgProgramId(ctx), static_cast<int32_t>(number), name);
}

// Follows which XML elements are open from the element lines written: "<name ...>" alone
// on its line opens one, "</name>" closes the innermost.
void TrackElements(OutputState& output, const char* line) {
    const size_t indent = std::strspn(line, " ");
    const char* tag = line + indent;
    if (tag[0] != '<' || tag[1] == '?' || tag[1] == '!') return;
    if (tag[1] == '/') {
        if (output.openCount > 0) --output.openCount;
        return;
    }
    if (std::strstr(tag, "</") != nullptr || std::strstr(tag, "/>") != nullptr) return;
    if (output.openCount < std::size(output.openElements)) {
        OpenElement& element = output.openElements[output.openCount];
        const size_t length = std::min(std::strcspn(tag + 1, " >/"), sizeof element.name - 1);
        std::memcpy(element.name, tag + 1, length);
        element.name[length] = '\0';
        element.indent = indent;
    }
    ++output.openCount;
}

void Put(MemberContext& ctx, Record& record) {
    const bool shortened = FitRecord(record);
    char* work = ctx.output.record;
    Compose(work, record);
    if (ctx.run.formatXML && !record.escape) TrackElements(ctx.output, work);
    KVR_PutImportRecord(work);
    if (shortened) WarnShortened(ctx, record);
}

} // namespace

void CloseOpenElements(MemberContext& ctx) {
    OutputState& output = ctx.output;
    while (output.openCount > 0) {
        if (output.openCount <= std::size(output.openElements)) {
            const OpenElement& element = output.openElements[output.openCount - 1];
            if (std::strcmp(element.name, "jcl") == 0) return;
            std::snprintf(output.record, sizeof output.record, "%*s</%s>",
                          static_cast<int>(element.indent), "", element.name);
            KVR_PutImportRecord(output.record);
        }
        --output.openCount;
    }
}

void PutRecord(MemberContext& ctx, const char* format, ...) {
    Record record;
    record.preEscaped = ctx.run.formatXML != FALSE;
    va_list arguments;
    va_start(arguments, format);
    Parse(record, format, arguments);
    va_end(arguments);
    Put(ctx, record);
}

void PutTextRecord(MemberContext& ctx, const char* format, ...) {
    Record record;
    record.escape = ctx.run.formatXML != FALSE;
    va_list arguments;
    va_start(arguments, format);
    Parse(record, format, arguments);
    va_end(arguments);
    Put(ctx, record);
}

int32_t ForEachParameter(MemberContext& ctx, const char* iParms,
                         const std::function<void(const char*)>& visit) {
    if (iParms == nullptr || iParms[0] == '\0') return 0;
    void* parms = nullptr;
    CreateParmStructure(&parms, iParms, FALSE, ctx.run.mode, ctx.run.debug);
    if (parms == nullptr) return 0;
    const int32_t count = QueryParmCount(parms);
    char* parm = nullptr;
    for (int32_t i = 1; i <= count; ++i)
        if (QueryPositionalParm(i, parms, &parm) && parm != nullptr) visit(parm);
    DeleteParmStructure(parms, ctx.run.debug != 0);
    return count;
}

} // namespace kvr
