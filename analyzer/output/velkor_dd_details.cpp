// The Velkor mode's detail records of a DD's parameter text. Each parameter is split into
// keyword and value; a known keyword gets its value written, then DISP and SPACE as lists of
// subparameters, DCB as a model name and subkeywords, any other keyword as its subkeywords.
// The texts come from the deck as written, so every scan stops at the end of its text.
#include "output/velkor_dd_details.h"
#include "base/contexts.h"

#include <array>
#include <string>
#include <string_view>

#include "kvrbase.h"
#include "output/record_writer.h"

namespace kvr {
namespace {

using std::string_view;
constexpr size_t npos = string_view::npos;

// The DD keywords, searched in order.
constexpr std::array<string_view, 93> ddKwds = {
    "ACCODE",   "AMP",      "AVGREC",  "BFALN",    "BFTEK",  "BLKSIZE",  "BLKSZLIM", "BUFIN",
    "BUFL",     "BUFMAX",   "BUFNO",   "BUFOFF",   "BUFOUT", "BUFSIZE",  "BURST",    "CCSID",
    "CHARS",    "CHKPT",    "CNTL",    "COPIES",   "CPRI",   "CYLOFL",   "DATACLAS", "DCB",
    "DDNAME",   "DEN",      "DEST",    "DIAGNS",   "DISP",   "DLM",      "DSID",     "DSNAME",
    "DSN",      "DSNTYPE",  "DSORG",   "EROPT",    "EXPDT",  "FCB",      "FILEDATA", "FLASH",
    "FREE",     "FUNC",     "GNCP",    "HOLD",     "INTVL",  "IPLTXID",  "KEYLEN",   "KEYOFF",
    "LABEL",    "LGSTREAM", "LIKE",    "LIMCT",    "LRECL",  "MGMTCLAS", "MODE",     "MODIFY",
    "NCP",      "NTM",      "OPTCD",   "OUTLIM",   "OUTPUT", "PATH",     "PATHDISP", "PATHMODE",
    "PATHOPTS", "PCI",      "PROTECT", "PRTSP",    "QNAME",  "RECFM",    "RECORG",   "REFDD",
    "REF",      "RESERVE",  "RETPD",   "RKP",      "RLS",    "SECMODEL", "SEGMENT",  "SER",
    "SPACE",    "SPIN",     "STACK",   "STORCLAS", "SUBSYS", "SYSOUT",   "TERM",     "THRESH",
    "TRTCH",    "UCS",      "UNIT",    "VOLUME",   "VOL"};
constexpr size_t ddKwdsCount = ddKwds.size();

bool IsKnown(string_view word) {
    for (size_t i = 0; i < ddKwdsCount; ++i)
        if (ddKwds[i] == word) return true;
    return false;
}

void PutKeywordRecord(MemberContext& ctx, string_view keyword, string_view value) {
    PutTextRecord(ctx, "DD PRMn %s %s", std::string(keyword).c_str(), std::string(value).c_str());
}

void PutModelName(MemberContext& ctx, string_view name) {
    PutTextRecord(ctx, "DD PRMn MODNAME %s", std::string(name).c_str());
}

string_view WithoutOpeningParen(string_view text) {
    if (!text.empty() && text.front() == '(') text.remove_prefix(1);
    return text;
}

string_view CutAtClosingParen(string_view text) {
    return text.substr(0, text.find(')'));
}

// Past the apostrophe string opening at pos; two apostrophes in a row stand for one. An
// unterminated string runs to the end of the text.
size_t SkipQuoted(string_view text, size_t pos) {
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != '\'') continue;
        if (pos + 1 < text.size() && text[pos + 1] == '\'') {
            ++pos;
            continue;
        }
        return pos + 1;
    }
    return text.size();
}

// The ")" matching the "(" at pos, apostrophe strings skipped; npos when it is missing.
size_t MatchingParen(string_view text, size_t pos) {
    size_t depth = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\'') {
            pos = SkipQuoted(text, pos);
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && depth > 0 && --depth == 0) return pos;
        ++pos;
    }
    return npos;
}

// End of the subparameter beginning at pos: the first "," or ")" outside its own parentheses
// and apostrophes, else the end of the text.
size_t SubparameterEnd(string_view text, size_t pos) {
    size_t depth = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\'') {
            pos = SkipQuoted(text, pos);
            continue;
        }
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth == 0) return pos;
            --depth;
        } else if (c == ',' && depth == 0) {
            return pos;
        }
        ++pos;
    }
    return pos;
}

// DISP: up to three subparameters, and only from a parenthesised value; an omitted status
// means a new data set.
void PutDisposition(MemberContext& ctx, string_view value) {
    std::string record = "DD DSP3";
    if (!value.empty() && value.front() == '(') {
        size_t pos = 1;
        for (int i = 0; i < 3; ++i) {
            const size_t end = SubparameterEnd(value, pos);
            const string_view sub = value.substr(pos, end - pos);
            record += ' ';
            record += (i == 0 && sub.empty()) ? string_view("NEW") : sub;
            if (end >= value.size() || value[end] != ',') break;
            pos = end + 1;
        }
    }
    PutTextRecord(ctx, "%s", record.c_str());
}

// SPACE: up to four subparameters; a parenthesised one is entered, so its items count as
// subparameters of their own (unit, primary, secondary, directory).
void PutSpace(MemberContext& ctx, string_view value) {
    std::string record = "DD SPC4";
    size_t pos = 0;
    size_t depth = 0; // groups entered and not yet closed
    for (int i = 0; i < 4 && !value.empty(); ++i) {
        while (pos < value.size() && value[pos] == '(') {
            ++pos;
            ++depth;
        }
        const size_t end = SubparameterEnd(value, pos);
        record += ' ';
        record += value.substr(pos, end - pos);
        if (end >= value.size()) break;
        pos = end + 1;
        if (value[end] == ',') continue;
        if (depth == 0) break; // a ")" that closes nothing ends the value
        --depth;
        while (depth > 0 && pos < value.size() && value[pos] == ')') {
            ++pos;
            --depth;
        }
        if (depth == 0 || pos >= value.size() || value[pos] != ',') break;
        ++pos;
    }
    PutTextRecord(ctx, "%s", record.c_str());
}

// Drops a "(" at the front and, when it is closed by the last character, that ")" too.
string_view WithoutEnclosingParens(string_view text) {
    if (text.empty() || text.front() != '(') return text;
    if (MatchingParen(text, 0) == text.size() - 1) text.remove_suffix(1);
    text.remove_prefix(1);
    return text;
}

// KEY=VALUE,KEY=VALUE...: one record for each pair up to the first unknown subkeyword. A
// subvalue ends at the next "," (after its ")" when parenthesised); the last one ends at a
// ")", its own when parenthesised.
void PutSubkeywords(MemberContext& ctx, string_view value) {
    if (value.find('=') == npos) return;
    value = WithoutEnclosingParens(value);
    size_t pos = 0;
    for (;;) {
        const size_t equals = value.find('=', pos);
        if (equals == npos) return;
        const string_view subkeyword = value.substr(pos, equals - pos);
        if (!IsKnown(subkeyword)) return;
        const size_t start = equals + 1;
        const bool parenthesised = start < value.size() && value[start] == '(';
        size_t close = npos;
        if (parenthesised) {
            close = MatchingParen(value, start);
            if (close == npos) return;
        }
        const size_t comma = value.find(',', parenthesised ? close + 1 : start);
        if (comma == npos) {
            const size_t end = parenthesised ? close + 1 : value.find(')', start);
            PutKeywordRecord(ctx, subkeyword, value.substr(start, end == npos ? npos : end - start));
            return;
        }
        PutKeywordRecord(ctx, subkeyword, value.substr(start, comma - start));
        pos = comma + 1;
    }
}

// DCB: a model data set name (alone or before the subkeywords), or subkeywords only.
void PutDCB(MemberContext& ctx, string_view value) {
    const size_t equals = value.find('=');
    if (equals == npos) {
        PutModelName(ctx, CutAtClosingParen(WithoutOpeningParen(value)));
        return;
    }
    const size_t comma = value.find(',');
    if (comma != npos && comma < equals) {
        PutModelName(ctx, WithoutOpeningParen(value.substr(0, comma)));
        value.remove_prefix(comma + 1);
    }
    PutSubkeywords(ctx, value);
}

void PutParameterDetails(MemberContext& ctx, string_view parm) {
    const size_t equals = parm.find('=');
    if (equals == npos) {
        PutTextRecord(ctx, "DD PRM1 %s", std::string(parm).c_str());
        return;
    }
    const string_view keyword = parm.substr(0, equals);
    const string_view value = parm.substr(equals + 1);
    if (!IsKnown(keyword)) return;
    PutKeywordRecord(ctx, keyword, value);
    if (keyword == "DISP")
        PutDisposition(ctx, value);
    else if (keyword == "SPACE")
        PutSpace(ctx, value);
    else if (keyword == "DCB")
        PutDCB(ctx, value);
    else
        PutSubkeywords(ctx, value);
}

} // namespace

bool IsDDKeyword(const char* iKeyword) {
    return iKeyword != nullptr && IsKnown(iKeyword);
}

void PutVelkorDDParmDetails(MemberContext& ctx, const char* iParms) {
    if (iParms == nullptr) return;
    void* parms = nullptr;
    CreateParmStructure(&parms, iParms, FALSE, ctx.run.mode, ctx.run.debug);
    if (parms == nullptr) return; // the split failed and has been reported
    const int32_t count = QueryParmCount(parms);
    for (int32_t i = 1; i <= count; ++i) {
        char* parm = nullptr;
        if (QueryPositionalParm(i, parms, &parm) && parm != nullptr) PutParameterDetails(ctx, parm);
    }
    DeleteParmStructure(parms, ctx.run.debug != 0 ? TRUE : FALSE);
}

} // namespace kvr
