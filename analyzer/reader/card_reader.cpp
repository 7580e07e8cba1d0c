// The card reader: hands the statement parser one card at a time from the member files or
// from a card list, drops CA-7, JES2 and blank cards, keeps JCL comments in the deck, keeps
// a one-card push-back for the file reader, and collects in-stream data cards.
#include "reader/card_reader.h"

#include <cstring>

#include "expansion/list_builder_state.h"
#include "model/deck_records.h"
#include "reader/instream_data.h"

namespace kvr {
namespace {

BOOLEAN SourceLineIsCached = FALSE;
SourceLine CachedLine = {};
BOOLEAN CachedStatus = FALSE;
BOOLEAN captureOPCStatements = FALSE;

struct CA7Prefix {
    const char* text;
    size_t length;
};

constexpr CA7Prefix kCA7Prefixes[] = {
    {"#JI", 3},  {"#JO", 3},  {"#XI", 3},   {"#XO", 3},   {"#ARF", 4},  {"#HLD", 4},
    {"#JCL", 4}, {"#MNT", 4}, {"#MSG", 4},  {"#NOX", 4},  {"#NTR", 4},  {"#RES", 4},
    {"#SCC", 4}, {"#VER", 4}, {"#JEND", 5}, {"#XEND", 5}, {"#7UNI", 5},
};

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The card at the cursor, with CA-7 control statements passed over; the cursor is left on
// the card returned (not advanced past it).
const SourceLine* PeekCardAtCursor(void* cursor) {
    void* data = nullptr;
    while (GetDataAtCursor(cursor, &data) && data != nullptr) {
        const auto* card = static_cast<const SourceLine*>(data);
        if (!CheckForCA7ControlStatement(card->SourceText)) return card;
        AdvanceCursor(cursor);
    }
    return nullptr;
}

// Reads the next card for in-stream data: from the card list when a cursor is given, else
// from the file reader. With a cursor, a "//" card that ends the data is only looked at, so
// it stays at the cursor for the next statement.
BOOLEAN ReadDataCard(SourceLine* card, void* cursor, BOOLEAN keepSlashSlash, int16_t mode,
                     int32_t debug) {
    if (cursor == nullptr) return ReadNextCard(card, mode, nullptr, debug);
    const SourceLine* next = PeekCardAtCursor(cursor);
    if (next == nullptr) return FALSE;
    *card = *next;
    if (!TestDelimiter(keepSlashSlash, "//", next->SourceText) ||
        IsQuilloWorkloadManagerComment(next->SourceText))
        AdvanceCursor(cursor);
    return TRUE;
}

void MoveStepEnd(JCLStatement* iStmt, int32_t line) {
    iStmt->endFileLine = line;
    if (JCLStatement* step = getCurrentStepStmt(); step != nullptr) step->endFileLine = line;
}

} // namespace

void KVR4002_InitializeFields() {
    SourceLineIsCached = FALSE;
}

void SetCaptureOPCStatements() {
    captureOPCStatements = TRUE;
}

void ResetCaptureOPCStatementsForTests() {
    captureOPCStatements = FALSE;
}

int16_t IsJclComment(const char* text) {
    return StartsWith(text, "//*") ? 1 : 0;
}

int16_t IsJes2ControlStmt(const char* text) {
    return StartsWith(text, "/*") ? 1 : 0;
}

int16_t IsQuilloWorkloadManagerComment(const char* text) {
    return captureOPCStatements && StartsWith(text, "//*%OPC ") ? 1 : 0;
}

BOOLEAN CheckForCA7ControlStatement(const char* text) {
    while (*text == ' ')
        ++text;
    if (*text != '#') return FALSE;
    for (const CA7Prefix& prefix : kCA7Prefixes)
        if (std::strncmp(text, prefix.text, prefix.length) == 0) return TRUE;
    return FALSE;
}

BOOLEAN ReadNextCard(SourceLine* InRec, int16_t iProcessingMode, void* jclCardsListCursor,
                     int32_t debug) {
    // Cards from a list never touch the push-back cache.
    if (jclCardsListCursor != nullptr)
        return ReadNextCardFromCursor(InRec, jclCardsListCursor, debug);
    if (SourceLineIsCached) {
        *InRec = CachedLine;
        SourceLineIsCached = FALSE;
        return CachedStatus;
    }
    BOOLEAN status = ReadNextLine(InRec, iProcessingMode, debug);
    while (status && CheckForCA7ControlStatement(InRec->SourceText))
        status = ReadNextLine(InRec, iProcessingMode, debug);
    CachedLine = *InRec;
    CachedStatus = status;
    return status;
}

BOOLEAN ReadNextCardFromCursor(SourceLine* SourceBuffer, void* jclCardsListCursor, int32_t debug) {
    (void)debug;
    std::memset(SourceBuffer->SourceText, 0, sizeof SourceBuffer->SourceText);
    const SourceLine* card = PeekCardAtCursor(jclCardsListCursor);
    if (card == nullptr) return FALSE;
    *SourceBuffer = *card;
    AdvanceCursor(jclCardsListCursor);
    return TRUE;
}

BOOLEAN ReadNextNonCommentCard(void* arrayJclDeck, SourceLine* InRec, int16_t iProcessingMode,
                               JCL_STATE jclState, void* jclCardsListCursor, int32_t debug) {
    const bool continuing = jclState == STMT_APOST_CONT || jclState == STMT_CMNT_CONT ||
                            jclState == STMT_IF_CONT || jclState == STMT_PARM_CONT ||
                            jclState == STMT_PARM_PAREN_ENCLOSED_APOST_CONT;
    while (ReadNextCard(InRec, iProcessingMode, jclCardsListCursor, debug)) {
        // The order matters: with capture on a directive is never taken for a comment.
        if (IsQuilloWorkloadManagerComment(InRec->SourceText)) {
            if (!continuing) return TRUE;
        } else if (IsJclComment(InRec->SourceText)) {
            SaveJclComment(arrayJclDeck, InRec->fileLine, InRec->SourceText, debug);
        } else if (!IsJes2ControlStmt(InRec->SourceText) && !isBlankSourceLine(InRec->SourceText)) {
            return TRUE;
        }
    }
    return FALSE;
}

void SaveJclComment(void* arrayJclDeck, int32_t iFileLine, const char* iSourceText, int32_t debug) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_JclComment), "SaveJclComment", debug) == 0) return;
    auto* comment = static_cast<RD_JclComment*>(block);
    comment->structureType = RD_STRUCT_COMMENT;
    comment->fileLine = iFileLine;
    comment->sourceText = CloneString(iSourceText, debug);
    if (AddItemToList(arrayJclDeck, comment, "", debug) == 0) {
        // Not in the deck, so nobody else would release it.
        FreeString(comment->sourceText, debug);
        FreeBlockWithDebug(comment, "SaveJclComment", debug);
    }
}

void PushBackLastCard() {
    SourceLineIsCached = TRUE;
}

BOOLEAN TestDelimiter(BOOLEAN Flag, const char* Delimiter, const char* Line) {
    return Flag && std::strncmp(Line, Delimiter, 2) == 0 ? TRUE : FALSE;
}

void SkipInStreamData(BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM, const char* DLM,
                      JCLStatement* iStmt, const char* jesVersion, int16_t iProcessingMode,
                      int32_t debug) {
    SkipInStreamDataFrom(UseSlashSlash, UseSlashStar, UseDLM, DLM, iStmt, nullptr, jesVersion,
                         iProcessingMode, debug);
}

void SkipInStreamDataFrom(BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM,
                          const char* DLM, JCLStatement* iStmt, void* jclCardsListCursor,
                          const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    (void)jesVersion;
    SourceLine card;
    BOOLEAN status = ReadDataCard(&card, jclCardsListCursor, UseSlashSlash, iProcessingMode, debug);
    while (status) {
        if (TestDelimiter(UseSlashSlash, "//", card.SourceText) &&
            !IsQuilloWorkloadManagerComment(card.SourceText)) {
            // The card begins the next statement and is read again.
            if (jclCardsListCursor == nullptr) SourceLineIsCached = TRUE;
            return;
        }
        MoveStepEnd(iStmt, card.fileLine);
        if (TestDelimiter(UseSlashStar, "/*", card.SourceText)) return;
        if (TestDelimiter(UseDLM, DLM, card.SourceText)) return;
        if (!AddInstreamDataToStmt(iStmt, &card, debug)) {
            reportMemoryAllocationError(iProcessingMode);
            return;
        }
        status = ReadDataCard(&card, jclCardsListCursor, UseSlashSlash, iProcessingMode, debug);
    }
    // The end of the input is reported once more to the next reader of the member files.
    if (jclCardsListCursor == nullptr && KVRU005() <= 4) SourceLineIsCached = TRUE;
}

} // namespace kvr
