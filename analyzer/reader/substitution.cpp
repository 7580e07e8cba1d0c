// Substitution of symbolic parameters (&NAME) in the text of a card or a statement with the
// values of the symbol scopes.
#include <cstring>
#include <string_view>

#include "base/contexts.h"
#include "base/diagnostics.h"
#include "reader/symbol_names.h"
#include "reader/symbols.h"

namespace kvr {
namespace {

constexpr int32_t kNameMax = static_cast<int32_t>(kSymbolNameMax);

enum PARM_STATE { NOPARM, AMPER, NAME, JUSTCOPY, INQUOTE };

// Appends to a kOperandAreaSize area, keeping it terminated; what does not fit is dropped.
struct Output {
    char* text;
    int32_t length;

    bool Full() const { return length >= kOperandAreaSize - 1; }
    void Put(char c) {
        if (Full()) return;
        text[length++] = c;
        text[length] = '\0';
    }
    void Put(std::string_view s) {
        for (char c : s)
            Put(c);
    }
    bool EndsWith(std::string_view suffix) const {
        return std::string_view(text, static_cast<size_t>(length)).ends_with(suffix);
    }
};

struct Scan {
    MemberContext& ctx;
    std::string_view in;
    Output out;
    int32_t* symbolCount;
    int32_t* replacedCount;
    SOURCE_REF fileReference;
    int32_t fileLine;
    PARM_STATE state = NOPARM;
    bool inQuote = false;
    // The name being collected: at most kNameMax characters are kept (see AddNameChar).
    char name[kNameMax + 1] = {};
    int32_t nameLength = 0; // characters met, kept or not
    bool stop = false;      // the maximum severity went above 4

    void Count(int32_t* counter) {
        if (counter != nullptr) ++*counter;
    }
    PARM_STATE Unnamed() const { return inQuote ? INQUOTE : NOPARM; }

    // A name of more than 8 characters is reported once, and only its first 8 characters
    // are kept: &ABCDEFGHIJ looks up ABCDEFGH, and the characters beyond the 8th are
    // neither looked up nor copied to the output. This keeps the name within its 8-byte
    // limit and the rest of the text substituted as usual.
    void AddNameChar(char c) {
        ++nameLength;
        if (nameLength <= kNameMax) {
            name[nameLength - 1] = c;
            name[nameLength] = '\0';
        } else if (nameLength == kNameMax + 1) {
            KVRWriteMessageWithFileLine(MessageFor(ctx, 1355, 3058), FALSE, fileReference,
                                        fileLine, ctx.run.mode);
            stop = KVRU005() > 4;
        }
    }

    // Looks up the complete name and appends its value or the name as written; true when
    // it counts as replaced.
    bool AppendSymbolValue() {
        char value[kSymbolValueSize];
        const bool defined = GetScopedSymbolValue(ctx, name, value) == 1;
        // An empty value right after DSN=' or DSNAME=' would leave an empty data set name.
        const bool keep =
            !defined || (value[0] == '\0' && (out.EndsWith("DSNAME='") || out.EndsWith("DSN='")));
        if (keep) {
            out.Put('&');
            out.Put(std::string_view(name));
            return false;
        }
        out.Put(std::string_view(value));
        Count(replacedCount);
        return true;
    }

    void BeginName() {
        Count(symbolCount);
        name[0] = '\0';
        nameLength = 0;
        state = NAME;
    }

    // Handles in[i] and returns how many characters it consumed (0: scan it again).
    size_t Step(size_t i) {
        const char c = in[i];
        switch (state) {
        case JUSTCOPY:
            out.Put(c);
            return 1;
        case NOPARM:
            return StepPlain(i);
        case INQUOTE:
            return StepQuoted(i);
        case AMPER:
            if (c == '&') {
                out.Put("&&"); // a temporary data set name such as &&TEMP
                state = Unnamed();
                return 1;
            }
            BeginName();
            return 0;
        case NAME:
            if (IsSymbolNameChar(c)) {
                AddNameChar(c);
                return 1;
            }
            state = Unnamed();
            // The period that ends a replaced name is a concatenation mark, not text.
            return (AppendSymbolValue() && c == '.') ? 1 : 0;
        }
        return 1;
    }

    size_t StepPlain(size_t i) {
        const char c = in[i];
        if (c == '&') {
            // TCPIP&... (a TCP/IP data set qualifier) keeps its ampersand as text.
            if (AmpersandFollowsTcpip(in, i)) {
                out.Put(c);
            } else {
                state = AMPER;
            }
            return 1;
        }
        out.Put(c);
        if (c == '\'') {
            state = INQUOTE;
            inQuote = true;
        }
        return 1;
    }

    size_t StepQuoted(size_t i) {
        const char c = in[i];
        if (c == '\'' && i + 1 < in.size() && in[i + 1] == '\'') {
            out.Put("''");
            return 2;
        }
        if (c == '\'') {
            out.Put(c);
            state = NOPARM;
            inQuote = false;
            return 1;
        }
        if (c == '&') {
            state = AMPER;
            return 1;
        }
        out.Put(c);
        return 1;
    }

    void Run(int32_t inApost) {
        if (in.empty()) return;
        if (in.find("DLM=") != std::string_view::npos) {
            state = JUSTCOPY;
        } else if (inApost != 0) {
            state = INQUOTE;
            inQuote = true;
        }
        stop = KVRU005() > 4;
        size_t i = 0;
        while (i < in.size() && !stop && !out.Full())
            i += Step(i);
        if (stop || out.Full()) return;
        // A lone ampersand at the end is an empty name, as before a blank: it stays.
        if (state == AMPER) BeginName();
        if (state == NAME) AppendSymbolValue();
    }
};

} // namespace

void SubstituteSymbolics(MemberContext& ctx, const char* iStmtParms, int32_t iStmtParmsLength,
                         char* outParmBuff, int32_t* symbolCount, int32_t* symbolsReplacedCount,
                         SOURCE_REF FileReference, int32_t fileLine, int32_t inApost) {
    if (outParmBuff == nullptr) return;
    const int32_t start = static_cast<int32_t>(strnlen(outParmBuff, kOperandAreaSize - 1));
    outParmBuff[start] = '\0';
    const size_t length =
        iStmtParms != nullptr && iStmtParmsLength > 0 ? static_cast<size_t>(iStmtParmsLength) : 0;
    Scan scan{ctx,
              std::string_view(iStmtParms != nullptr ? iStmtParms : "", length),
              Output{outParmBuff, start},
              symbolCount,
              symbolsReplacedCount,
              FileReference,
              fileLine};
    scan.Run(inApost);
}

} // namespace kvr
