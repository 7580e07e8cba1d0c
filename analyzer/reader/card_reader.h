// The card reader: one card at a time from the member files or from a card list, with
// control cards dropped, comments kept in the deck and a one-card push-back.
#ifndef KVR_READER_CARD_READER_H
#define KVR_READER_CARD_READER_H

#include "reader/jcl_statement.h"

namespace kvr {

void KVR4002_InitializeFields();
void SetCaptureOPCStatements();
// Switches the capture off again; for tests only (the analyzer never does).
void ResetCaptureOPCStatementsForTests();
int16_t IsJclComment(const char* text);
int16_t IsJes2ControlStmt(const char* text);
int16_t IsQuilloWorkloadManagerComment(const char* text);
BOOLEAN CheckForCA7ControlStatement(const char* text);

// TRUE when InRec holds a card, FALSE at the end of the input.
BOOLEAN ReadNextCard(SourceLine* InRec, int16_t iProcessingMode, void* jclCardsListCursor,
                     int32_t debug);
BOOLEAN ReadNextCardFromCursor(SourceLine* SourceBuffer, void* jclCardsListCursor, int32_t debug);
// The next card that can start or continue a statement in state jclState.
BOOLEAN ReadNextNonCommentCard(void* arrayJclDeck, SourceLine* InRec, int16_t iProcessingMode,
                               JCL_STATE jclState, void* jclCardsListCursor, int32_t debug);
void SaveJclComment(void* arrayJclDeck, int32_t iFileLine, const char* iSourceText, int32_t debug);
// Makes the next ReadNextCard without a cursor return the last card (or end) again.
void PushBackLastCard();
// TRUE when Flag is TRUE and the first two characters of Line equal those of Delimiter.
BOOLEAN TestDelimiter(BOOLEAN Flag, const char* Delimiter, const char* Line);
// Collects the data cards that follow iStmt into its in-stream data.
void SkipInStreamData(BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM, const char* DLM,
                      JCLStatement* iStmt, const char* jesVersion, int16_t iProcessingMode,
                      int32_t debug);
// SkipInStreamData that takes the data cards from the card list when jclCardsListCursor is
// given (a "//" card that ends the data stays at the cursor; the push-back cache is not
// used), else from the file reader exactly as SkipInStreamData.
void SkipInStreamDataFrom(BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM,
                          const char* DLM, JCLStatement* iStmt, void* jclCardsListCursor,
                          const char* jesVersion, int16_t iProcessingMode, int32_t debug);

} // namespace kvr

#endif
