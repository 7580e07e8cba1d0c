// The operand scan of one card: where a card's operand field ends (comments cut off), how
// its characters are appended to the statement's operand text, and what the card's end
// says about the next card (apostrophe string, quoted value in parentheses, comma, IF).
#ifndef KVR_READER_OPERAND_SCANNER_H
#define KVR_READER_OPERAND_SCANNER_H

#include "reader/jcl_statement.h"
#include "base/contexts.h"

namespace kvr {

// The state of the operand scan within one card.
enum PARM_STATE : int32_t {
    PARM_NO_APOST = 0,
    PARM_PAREN_ENCLOSED_APOST = 1,
    PARM_OPEN_APOST = 2,
    PARM_EMBED_APOST = 3,
    PARM_IN_IF = 4,
    PARM_DONE = 5,
};

// How a continuation card continues the statement: 0 after a comma (or an IF without THEN),
// 1 inside an apostrophe string, 2 inside a quoted value that began with "=('".
enum : int32_t { kContinueComma = 0, kContinueApost = 1, kContinueParenApost = 2 };

// Cuts the copied card text jclCard (lineLength characters, starting at column Col) in
// place: columns 72 on, then everything from the blank that ends the operand field (or
// after THEN of an IF), so comments never reach symbol substitution.
void trimComments(char* jclCard, int32_t Col, int32_t lineLength,
                  RD_JCL_STATEMENT_TYPE StatementType, int32_t kind, BOOLEAN iBalanceParens);

// Appends the operand characters of one card's (substituted) text to Stmt's operand area
// and answers the state of the statement after the card. A full area reports 1403 (3093)
// at InRec's position and drops the rest of the card.
JCL_STATE CopyParm(MemberContext& ctx, JCLStatement* Stmt, const SourceLine* InRec, int32_t Col, const char* text,
                   int32_t kind, BOOLEAN iBalanceParens);

// TRUE when text[0..end) ends in an unresolved symbolic parameter (&NAME, or concatenated
// ones such as &A.&B) that follows a comma.
bool EndsInSymbolAfterComma(const char* text, int32_t end);

} // namespace kvr

#endif
