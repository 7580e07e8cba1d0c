// Building statements from cards: the continuation state machine that joins a statement's
// cards, cuts comments and substitutes symbolic parameters card by card.
#ifndef KVR_READER_STATEMENT_PARSER_H
#define KVR_READER_STATEMENT_PARSER_H

#include "reader/jcl_statement.h"
#include "base/contexts.h"

namespace kvr {

// Fills iStmt with the next statement from the file reader, or from the card list when
// jclCardsListCursor is given; comment cards met on the way are appended to arrayJclDeck.
// TRUE when a statement is complete (also whenever the maximum severity exceeds 4: the
// caller checks it); FALSE at the end of the input or a null statement.
BOOLEAN BuildJCLStatement(MemberContext& ctx, JCLStatement* iStmt, void* jclCardsListCursor,
                          BOOLEAN* lastExecWasProcInvocation);
// The operation word of a single card (outOperation holds 8 characters).
void GetJclCardOperation(const SourceLine* InRec, char* outOperation);
// 1 when columns 1-72, trailing blanks removed, are exactly "//".
int16_t IsNullStatement(const char* iSourceText);

} // namespace kvr

#endif
