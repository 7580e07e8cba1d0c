// The operand scan of one card. The same state machine finds the end of the operand field
// (to cut comments before substitution) and copies the operand characters into the
// statement, so both agree on where a blank ends the operands and where strings run on.
#include "reader/operand_scanner.h"
#include "base/contexts.h"

#include <cstring>


namespace kvr {
namespace {

struct ScanEnd {
    PARM_STATE state; // the state when the scan stopped
    int32_t stop;     // where the scan stopped in the text
    char last;        // the last character taken (a blank when none)
    bool full;        // the sink refused a character
};

PARM_STATE InitialState(RD_JCL_STATEMENT_TYPE type, int32_t kind) {
    if (type == RD_IF) return PARM_IN_IF;
    if (kind == kContinueApost) return PARM_OPEN_APOST;
    if (kind == kContinueParenApost) return PARM_PAREN_ENCLOSED_APOST;
    return PARM_NO_APOST;
}

// Runs the scan over text; every character that belongs to the operand is offered to
// take(c), which answers false when it cannot hold it (the scan then stops).
template <typename Take>
ScanEnd RunScan(const char* text, RD_JCL_STATEMENT_TYPE type, int32_t kind, bool balance,
                Take&& take) {
    ScanEnd end{InitialState(type, kind), 0, ' ', false};
    int32_t depth = 0;
    int32_t i = 0;
    auto offer = [&](char c) {
        if (!take(c)) {
            end.full = true;
            return false;
        }
        end.last = c;
        return true;
    };
    while (text[i] != '\0' && end.state != PARM_DONE) {
        char c = text[i];
        if (balance) {
            if (c == '(') ++depth;
            if (c == ')') --depth;
        }
        switch (end.state) {
        case PARM_NO_APOST:
            if (c == ' ' && !(balance && depth > 0)) {
                end.state = PARM_DONE;
                break;
            }
            if (c == '\'') {
                end.state = PARM_OPEN_APOST;
            } else if (c == '=' && text[i + 1] == '(' && text[i + 2] == '\'') {
                // "=('" opens a quoted value in parentheses; the apostrophe is taken below.
                if (!offer('=') || !offer('(')) break;
                if (balance) ++depth;
                i += 2;
                c = '\'';
                end.state = PARM_PAREN_ENCLOSED_APOST;
            }
            break;
        case PARM_OPEN_APOST:
            if (c == '\'') end.state = PARM_EMBED_APOST;
            break;
        case PARM_EMBED_APOST:
            if (c == ' ')
                end.state = PARM_DONE;
            else
                end.state = c == '\'' ? PARM_OPEN_APOST : PARM_NO_APOST;
            break;
        case PARM_PAREN_ENCLOSED_APOST:
            // "')" and any other apostrophe alike close the quoted value.
            if (c == '\'') end.state = PARM_NO_APOST;
            break;
        case PARM_IN_IF:
            if (c == ' ' && end.last == ' ') {
                ++i; // runs of blanks become one, leading blanks vanish
                continue;
            }
            if (std::strncmp(text + i, "THEN", 4) == 0) {
                for (const char t : {'T', 'H', 'E', 'N'})
                    if (!offer(t)) break;
                if (!end.full) i += 4;
                end.state = PARM_DONE;
            }
            break;
        case PARM_DONE:
            break;
        }
        if (end.full || end.state == PARM_DONE) break;
        if (!offer(c)) break;
        ++i;
    }
    end.stop = i;
    return end;
}

} // namespace

void trimComments(char* jclCard, int32_t Col, int32_t lineLength,
                  RD_JCL_STATEMENT_TYPE StatementType, int32_t kind, BOOLEAN iBalanceParens) {
    // Columns 72 on (comment-continuation column and sequence numbers) never take part.
    const int32_t cut = 72 - Col;
    if (cut <= 0) {
        jclCard[0] = '\0';
        return;
    }
    if (lineLength > cut) jclCard[cut] = '\0';
    const ScanEnd end =
        RunScan(jclCard, StatementType, kind, iBalanceParens != FALSE, [](char) { return true; });
    if (end.state == PARM_DONE) jclCard[end.stop] = '\0';
}

JCL_STATE CopyParm(MemberContext& ctx, JCLStatement* Stmt, const SourceLine* InRec, int32_t Col, const char* text,
                   int32_t kind, BOOLEAN iBalanceParens) {
    (void)Col;
    (void)ctx.run.debug;
    char* parms = Stmt->StatementParms;
    if (parms == nullptr) return STMT_DONE; // no operand area to append to
    int32_t length = Stmt->ParmLength;
    const int32_t capacity = Stmt->ParmMaxLength;
    auto append = [&](char c) {
        if (length >= capacity) return false;
        parms[length++] = c;
        return true;
    };
    const ScanEnd end = RunScan(text, Stmt->StatementType, kind, iBalanceParens != FALSE, append);
    parms[length] = '\0';
    Stmt->ParmLength = length;
    if (end.full)
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1403, 3093), TRUE,
                                    InRec->FileReference, InRec->fileLine, ctx.run.mode);

    if (KVRU005() > 4) return STMT_DONE_EOF;
    switch (end.state) {
    case PARM_EMBED_APOST:
        return STMT_DONE; // the string closed at the end of the card
    case PARM_IN_IF:
        return STMT_IF_CONT;
    case PARM_OPEN_APOST:
        return STMT_APOST_CONT;
    case PARM_PAREN_ENCLOSED_APOST:
        return STMT_PARM_PAREN_ENCLOSED_APOST_CONT;
    default:
        break;
    }
    if (end.last == ',') return STMT_PARM_CONT;
    if (EndsInSymbolAfterComma(parms, length)) {
        // The period ends the symbol's name before the next card's text.
        if (parms[length - 1] != '.' && length < capacity) {
            parms[length++] = '.';
            parms[length] = '\0';
            Stmt->ParmLength = length;
        }
        return STMT_PARM_CONT;
    }
    return STMT_DONE;
}

bool EndsInSymbolAfterComma(const char* text, int32_t end) {
    for (int32_t i = end - 1; i >= 0; --i) {
        const char c = text[i];
        if (c == ' ' || c == ')' || c == '\'' || c == ',' || c == '=') return false;
        if (c != '&') continue;
        if (i == 0) return false;
        if (text[i - 1] == ',') return true;
        if (text[i - 1] != '.') return false;
        // A period before the ampersand: concatenated symbols such as &A.&B.
    }
    return false;
}

} // namespace kvr
