// The card reader: hands the statement parser one card at a time from the member files or
// from a card list, drops CA-7, JES2 and blank cards, keeps JCL comments in the deck, keeps
// a one-card push-back for the file reader, and collects in-stream data cards.
#include "reader/card_reader.h"

#include <cstring>
#include <string>
#include <string_view>

#include "base/diagnostics.h"
#include "base/text.h"
#include "reader/instream_data.h"
#include "reader/statement_parser.h"

namespace kvr {
namespace {

struct CA7Prefix {
    const char* text;
    size_t length;
};

constexpr CA7Prefix kCA7Prefixes[] = {
    {"#JI", 3},  {"#JO", 3},  {"#XI", 3},   {"#XO", 3},   {"#ARF", 4},  {"#HLD", 4},
    {"#JCL", 4}, {"#MNT", 4}, {"#MSG", 4},  {"#NOX", 4},  {"#NTR", 4},  {"#RES", 4},
    {"#SCC", 4}, {"#VER", 4}, {"#JEND", 5}, {"#XEND", 5}, {"#7UNI", 5},
};

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
BOOLEAN ReadDataCard(MemberContext& ctx, SourceLine* card, void* cursor, BOOLEAN keepSlashSlash) {
    if (cursor == nullptr) return ReadNextCard(ctx, card, nullptr);
    const SourceLine* next = PeekCardAtCursor(cursor);
    if (next == nullptr) return FALSE;
    *card = *next;
    if (!TestDelimiter(keepSlashSlash, "//", next->SourceText) ||
        IsQuilloWorkloadManagerComment(ctx, next->SourceText))
        AdvanceCursor(cursor);
    return TRUE;
}

void MoveStepEnd(MemberContext& ctx, JCLStatement* iStmt, int32_t line) {
    iStmt->endFileLine = line;
    if (JCLStatement* step = ctx.listBuilder.currentStepStatement; step != nullptr)
        step->endFileLine = line;
}

} // namespace

int16_t IsJclComment(const char* text) {
    return StartsWith(text, "//*") ? 1 : 0;
}

int16_t IsJes2ControlStmt(const char* text) {
    return StartsWith(text, "/*") ? 1 : 0;
}

int16_t IsQuilloWorkloadManagerComment(const MemberContext& ctx, const char* text) {
    return ctx.run.captureOPC && StartsWith(text, "//*%OPC ") ? 1 : 0;
}

BOOLEAN CheckForCA7ControlStatement(const char* text) {
    while (*text == ' ')
        ++text;
    if (*text != '#') return FALSE;
    for (const CA7Prefix& prefix : kCA7Prefixes)
        if (std::strncmp(text, prefix.text, prefix.length) == 0) return TRUE;
    return FALSE;
}

BOOLEAN ReadNextCard(MemberContext& ctx, SourceLine* InRec, void* jclCardsListCursor) {
    // Cards from a list never touch the push-back cache.
    if (jclCardsListCursor != nullptr)
        return ReadNextCardFromCursor(ctx, InRec, jclCardsListCursor);
    PushBackCard& pushBack = ctx.pushBack;
    if (pushBack.cached) {
        *InRec = pushBack.line;
        pushBack.cached = false;
        return pushBack.status;
    }
    const int32_t kept = ctx.listBuilder.keptMembers;
    BOOLEAN status = ReadNextLineAbove(InRec, kept, ctx.run.mode, ctx.run.debug);
    while (status && CheckForCA7ControlStatement(InRec->SourceText))
        status = ReadNextLineAbove(InRec, kept, ctx.run.mode, ctx.run.debug);
    pushBack.line = *InRec;
    pushBack.status = status;
    return status;
}

BOOLEAN ReadNextCardFromCursor(MemberContext& ctx, SourceLine* SourceBuffer, void* jclCardsListCursor) {
    (void)ctx.run.debug;
    std::memset(SourceBuffer->SourceText, 0, sizeof SourceBuffer->SourceText);
    const SourceLine* card = PeekCardAtCursor(jclCardsListCursor);
    if (card == nullptr) return FALSE;
    *SourceBuffer = *card;
    AdvanceCursor(jclCardsListCursor);
    return TRUE;
}

BOOLEAN ReadNextNonCommentCard(MemberContext& ctx, SourceLine* InRec,
                               JCL_STATE jclState, void* jclCardsListCursor) {
    const bool continuing = jclState == STMT_APOST_CONT || jclState == STMT_CMNT_CONT ||
                            jclState == STMT_IF_CONT || jclState == STMT_PARM_CONT ||
                            jclState == STMT_PARM_PAREN_ENCLOSED_APOST_CONT;
    while (ReadNextCard(ctx, InRec, jclCardsListCursor)) {
        // The order matters: with capture on a directive is never taken for a comment.
        if (IsQuilloWorkloadManagerComment(ctx, InRec->SourceText)) {
            if (!continuing) return TRUE;
        } else if (IsJclComment(InRec->SourceText)) {
            SaveJclComment(ctx, InRec->fileLine, InRec->SourceText);
        } else if (IsJes2Transmission(InRec->SourceText)) {
            char delimiter[3];
            TransmissionDelimiter(InRec->SourceText, delimiter);
            SkipTransmittedCards(ctx, delimiter, jclCardsListCursor);
        } else if (!IsJes2ControlStmt(InRec->SourceText) && !isBlankSourceLine(InRec->SourceText)) {
            return TRUE;
        }
    }
    return FALSE;
}

void SaveJclComment(MemberContext& ctx, int32_t iFileLine, const char* iSourceText) {
    if (ctx.listBuilder.commentsKept) return;
    auto* comment = NewDeckItem<RD_JclComment>(RD_STRUCT_COMMENT, "SaveJclComment", "JclComment");
    if (comment == nullptr) return;
    comment->fileLine = iFileLine;
    comment->sourceText = CopyText(iSourceText);
    // Released when it cannot be listed.
    if (!ctx.listBuilder.readingJob) {
        ctx.deck.Add(comment, "");
    } else if (ctx.listBuilder.jobsExpanded > 0) {
        ctx.memberComments.Add(comment, "");
    } else if (ctx.deck.Add(comment, "")) {
        ++ctx.listBuilder.leadingDeckItems; // the first job's comments head the deck
    }
}

bool IsStatementCardOf(const SourceLine& card, const char* operationWord) {
    if (std::strncmp(card.SourceText, "//", 2) != 0 || IsJclComment(card.SourceText)) return false;
    char operation[8] = {};
    GetJclCardOperation(&card, operation);
    return std::strcmp(operation, operationWord) == 0;
}

bool IsJobCard(const SourceLine& card) {
    return IsStatementCardOf(card, "JOB");
}

bool IsJes2Transmission(const char* text) {
    return StartsWith(text, "/*XMIT") && (text[6] == ' ' || text[6] == '\0');
}

void TransmissionDelimiter(const char* text, char (&outDelimiter)[3]) {
    std::strcpy(outDelimiter, "/*");
    const std::string_view card(text, strnlen(text, 71));
    const size_t at = card.find("DLM=");
    if (at == std::string_view::npos) return;
    std::string value;
    size_t pos = at + 4;
    if (pos < card.size() && card[pos] == '\'') {
        for (++pos; pos < card.size(); ++pos) {
            if (card[pos] == '\'' && (pos + 1 >= card.size() || card[pos + 1] != '\'')) break;
            if (card[pos] == '\'') ++pos; // a doubled apostrophe stands for one
            value += card[pos];
        }
    } else {
        while (pos < card.size() && card[pos] != ',' && card[pos] != ' ')
            value += card[pos++];
    }
    // A delimiter is two characters: a longer value delimits by its first two, as a DD
    // statement's DLM does; a shorter one leaves the default.
    if (value.size() >= 2) {
        outDelimiter[0] = value[0];
        outDelimiter[1] = value[1];
    }
}

void SkipTransmittedCards(MemberContext& ctx, const char* delimiter, void* cursor) {
    const size_t length = std::strlen(delimiter);
    SourceLine card;
    while (ReadNextCard(ctx, &card, cursor))
        if (std::strncmp(card.SourceText, delimiter, length) == 0) return;
    // The end of the input is reported once more to the next reader of the member files.
    if (cursor == nullptr) ctx.pushBack.cached = true;
}

void SkipControlStatements(MemberContext& ctx, void* cursor) {
    SourceLine card;
    while (ReadNextCard(ctx, &card, cursor)) {
        if (IsJclComment(card.SourceText)) {
            SaveJclComment(ctx, card.fileLine, card.SourceText);
            continue;
        }
        if (!IsStatementCardOf(card, "ENDCNTL")) continue;
        // The block belongs to the step it stands in.
        JCLStatement* step = ctx.listBuilder.currentStepStatement;
        if (ctx.listBuilder.execFound && step != nullptr) step->endFileLine = card.fileLine;
        return;
    }
    if (cursor == nullptr) ctx.pushBack.cached = true;
}

void PushBackLastCard(MemberContext& ctx) {
    ctx.pushBack.cached = true;
}

BOOLEAN TestDelimiter(BOOLEAN Flag, const char* Delimiter, const char* Line) {
    return Flag && std::strncmp(Line, Delimiter, 2) == 0 ? TRUE : FALSE;
}

void SkipInStreamData(MemberContext& ctx, BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM, const char* DLM,
                      JCLStatement* iStmt) {
    SkipInStreamDataFrom(ctx, UseSlashSlash, UseSlashStar, UseDLM, DLM, iStmt, nullptr);
}

void SkipInStreamDataFrom(MemberContext& ctx, BOOLEAN UseSlashSlash, BOOLEAN UseSlashStar, BOOLEAN UseDLM,
                          const char* DLM, JCLStatement* iStmt, void* jclCardsListCursor) {
    (void)ctx.run.jesVersion.c_str();
    SourceLine card;
    BOOLEAN status = ReadDataCard(ctx, &card, jclCardsListCursor, UseSlashSlash);
    while (status) {
        if (TestDelimiter(UseSlashSlash, "//", card.SourceText) &&
            !IsQuilloWorkloadManagerComment(ctx, card.SourceText)) {
            // The card begins the next statement and is read again.
            if (jclCardsListCursor == nullptr) ctx.pushBack.cached = true;
            return;
        }
        MoveStepEnd(ctx, iStmt, card.fileLine);
        if (TestDelimiter(UseSlashStar, "/*", card.SourceText)) return;
        if (TestDelimiter(UseDLM, DLM, card.SourceText)) return;
        if (!AddInstreamDataToStmt(ctx, iStmt, &card)) {
            reportMemoryAllocationError(ctx);
            return;
        }
        status = ReadDataCard(ctx, &card, jclCardsListCursor, UseSlashSlash);
    }
    // The end of the input is reported once more to the next reader of the member files.
    if (jclCardsListCursor == nullptr && KVRU005() <= 4) ctx.pushBack.cached = true;
}

} // namespace kvr
