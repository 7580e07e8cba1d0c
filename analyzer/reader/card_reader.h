// The card reader: one card at a time from the member files or from a card list, with
// control cards dropped, comments kept in the deck and a one-card push-back.
#ifndef KVR_READER_CARD_READER_H
#define KVR_READER_CARD_READER_H

#include "base/contexts.h"
#include "reader/jcl_statement.h"

namespace kvr {

// A JCL comment card kept in the deck (type 12).
struct RD_JclComment : RD_JclCommon {
    int32_t fileLine;
    OwnedText sourceText;
};

int16_t IsJclComment(const char* text);
int16_t IsJes2ControlStmt(const char* text);
// A //*%OPC directive when the run captures them (-opc); a comment otherwise.
int16_t IsQuilloWorkloadManagerComment(const MemberContext& ctx, const char* text);
BOOLEAN CheckForCA7ControlStatement(const char* text);

// TRUE when InRec holds a card, FALSE at the end of the input.
BOOLEAN ReadNextCard(MemberContext& ctx, SourceLine* InRec, void* jclCardsListCursor);
BOOLEAN ReadNextCardFromCursor(MemberContext& ctx, SourceLine* SourceBuffer, void* jclCardsListCursor);
// The next card that can start or continue a statement in state jclState.
BOOLEAN ReadNextNonCommentCard(MemberContext& ctx, SourceLine* InRec,
                               JCL_STATE jclState, void* jclCardsListCursor);
void SaveJclComment(MemberContext& ctx, int32_t iFileLine, const char* iSourceText);
// A "//" card, not a comment, whose operation word is operationWord (a comment card such
// as "//* PEND" would read as a name field "*" and an operation).
bool IsStatementCardOf(const SourceLine& card, const char* operationWord);
// A "//" card whose operation is JOB.
bool IsJobCard(const SourceLine& card);
// A JES2 /*XMIT card: the cards after it, up to its delimiter, go to another node.
bool IsJes2Transmission(const char* text);
// The delimiter of a /*XMIT card: the first two characters of its DLM= value, else "/*".
void TransmissionDelimiter(const char* text, char (&outDelimiter)[3]);
// Reads past the cards up to and including the first that begins with delimiter.
void SkipTransmittedCards(MemberContext& ctx, const char* delimiter, void* cursor);
// Reads past the program control statements of a CNTL block up to and including its
// ENDCNTL statement; comment cards among them are kept as comments.
void SkipControlStatements(MemberContext& ctx, void* cursor);
// Makes the next ReadNextCard without a cursor return the last card (or end) again.
void PushBackLastCard(MemberContext& ctx);
// TRUE when Flag is TRUE and the first two characters of Line equal those of Delimiter.
BOOLEAN TestDelimiter(BOOLEAN Flag, const char* Delimiter, const char* Line);
// Collects the data cards that follow iStmt into its in-stream data.
void SkipInStreamData(MemberContext& ctx, BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM, const char* DLM,
                      JCLStatement* iStmt);
// SkipInStreamData that takes the data cards from the card list when jclCardsListCursor is
// given (a "//" card that ends the data stays at the cursor; the push-back cache is not
// used), else from the file reader exactly as SkipInStreamData.
void SkipInStreamDataFrom(MemberContext& ctx, BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM,
                          const char* DLM, JCLStatement* iStmt, void* jclCardsListCursor);

} // namespace kvr

#endif
