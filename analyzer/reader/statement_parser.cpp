// The statement parser: the continuation state machine that turns cards into one JCL
// statement (name field, operation and type, operand text joined across continuation
// cards with comments cut and symbolic parameters substituted card by card).
#include "reader/statement_parser.h"

#include <cstdio>
#include <cstring>

#include "driver/run_settings.h"
#include "expansion/list_builder_state.h"
#include "expansion/symbols.h"
#include "output/deck_walk.h"
#include "reader/card_reader.h"
#include "reader/instream_data.h"
#include "reader/operand_scanner.h"

namespace kvr {
namespace {

constexpr int32_t kCardTextMax = static_cast<int32_t>(sizeof(SourceLine{}.SourceText)) - 1;

// Work areas reused for every card: the operand part of the card, and its substituted
// form. Only the bytes the previous card used are cleared again.
char CardWork[kCardTextMax + 1];
char Substituted[kOperandAreaSize];
size_t SubstitutedUsed = 0;

// Characters of the card's text, up to its first zero byte.
int32_t CardLength(const SourceLine* card) {
    int32_t limit = card->lineLength;
    if (limit < 0) limit = 0;
    if (limit > kCardTextMax) limit = kCardTextMax;
    return static_cast<int32_t>(strnlen(card->SourceText, static_cast<size_t>(limit)));
}

bool BeginsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Where the last card read came from, for a message about what should have followed it.
struct CardPosition {
    SOURCE_REF FileReference = -1;
    int32_t fileLine = 0;
};

void ReportAtCard(uint32_t number, const SourceLine* card, int16_t mode) {
    KVRWriteMessageWithFileLine(number, TRUE, card->FileReference, card->fileLine, mode);
}

// A card continues as a comment when column 72 of a "//" card is not blank.
bool HasCommentContinuation(const SourceLine* card, int32_t debug) {
    if (!BeginsWith(card->SourceText, "//") || CardLength(card) < 72) return false;
    if (debug) std::printf("Column 72: '%c' %s\n", card->SourceText[71], card->SourceText);
    return card->SourceText[71] != ' ';
}

void CopyPosition(JCLStatement* Stmt, const SourceLine* card) {
    Stmt->FileReference = card->FileReference;
    Stmt->fileLine = card->fileLine;
    Stmt->endFileLine = card->fileLine;
    Stmt->EXEC_endFileLine = card->fileLine;
}

// The name field from column 3 up to a blank; a 19th character reports 1402 (3092) and
// the rest of the field is then read as the operation word. False when processing must
// stop.
bool TakeNameField(JCLStatement* Stmt, const SourceLine* card, int32_t length, int32_t* pos,
                   int16_t mode) {
    const char* text = card->SourceText;
    while (*pos < length && text[*pos] != ' ') {
        if (Stmt->LabelLength == kLabelMax) {
            ReportAtCard(MessageFor(mode, 1402, 3092), card, mode);
            return KVRU005() <= 4;
        }
        Stmt->StatementLabel[Stmt->LabelLength++] = text[(*pos)++];
    }
    return true;
}

// Skips blanks and copies the next word (outWord holds kCardTextMax + 1 characters).
void TakeWord(const char* text, int32_t length, int32_t* pos, char* outWord) {
    while (*pos < length && text[*pos] == ' ')
        ++*pos;
    int32_t n = 0;
    while (*pos < length && text[*pos] != ' ')
        outWord[n++] = text[(*pos)++];
    outWord[n] = '\0';
}

void StoreOperation(JCLStatement* Stmt, const char* word) {
    // A directive's word longer than 7 characters keeps its first 7.
    const size_t length = strnlen(word, sizeof Stmt->StatementOp - 1);
    std::memcpy(Stmt->StatementOp, word, length);
    Stmt->StatementOp[length] = '\0';
}

// The card's text substituted into the reused area; text without an ampersand has nothing
// to substitute and is used as it stands.
const char* SubstituteCardText(const char* text, int32_t length, const SourceLine* card,
                               int32_t kind, int16_t mode, int32_t debug) {
    if (std::memchr(text, '&', static_cast<size_t>(length)) == nullptr) return text;
    std::memset(Substituted, 0, SubstitutedUsed);
    int32_t symbolCount = 0;
    int32_t replacedCount = 0;
    SubstituteSymbolics(text, length, Substituted, &symbolCount, &replacedCount,
                        card->FileReference, card->fileLine, kind, mode, debug);
    Substituted[kOperandAreaSize - 1] = '\0';
    SubstitutedUsed = std::strlen(Substituted) + 1;
    return Substituted;
}

// Copies the card from index start, cuts its comments, substitutes its symbols and appends
// its operand characters to the statement.
JCL_STATE ScanCardOperands(JCLStatement* Stmt, const SourceLine* card, int32_t start, int32_t kind,
                           BOOLEAN balance, int16_t mode, int32_t debug) {
    const int32_t length = CardLength(card);
    int32_t n = start < length ? length - start : 0;
    std::memcpy(CardWork, card->SourceText + start, static_cast<size_t>(n));
    CardWork[n] = '\0';
    const int32_t col = start + 1;
    trimComments(CardWork, col, n, Stmt->StatementType, kind, balance);
    const char* text = SubstituteCardText(CardWork, static_cast<int32_t>(std::strlen(CardWork)),
                                          card, kind, mode, debug);
    return CopyParm(Stmt, card, col, text, kind, balance, mode, debug);
}

JCL_STATE GetStmtParameters(const SourceLine* InRec, int32_t pos, JCLStatement* Stmt,
                            BOOLEAN iBalanceParens, int16_t mode, int32_t debug) {
    const int32_t length = CardLength(InRec);
    if (Stmt->StatementType != RD_IF) {
        while (pos < length && InRec->SourceText[pos] == ' ')
            ++pos;
        // Operands must begin in column 71 or before.
        if (pos >= length || pos > 70) return STMT_DONE;
    }
    if (Stmt->StatementParms == nullptr && !AllocateParmArea(Stmt, kOperandAreaSize, debug)) {
        reportMemoryAllocationError(mode);
        return STMT_DONE_EOF;
    }
    return ScanCardOperands(Stmt, InRec, pos, kContinueComma, iBalanceParens, mode, debug);
}

// A data card where a statement should begin: after a JOB it is the first card of an
// implicit SYSIN DD *, before any JOB the member has no job card.
JCL_STATE StartImplicitSysin(JCLStatement* Stmt, const SourceLine* InRec, const char* jesVersion,
                             void* cursor, int16_t mode, int32_t debug) {
    if (getJobCount() == 0) {
        ReportMissingJobCard(mode);
        return STMT_DONE;
    }
    std::strcpy(Stmt->StatementLabel, "SYSIN");
    Stmt->LabelLength = 5;
    Stmt->StatementType = RD_DD;
    std::strcpy(Stmt->StatementOp, "DD");
    if (!AllocateParmArea(Stmt, 1, debug)) {
        reportMemoryAllocationError(mode);
        return STMT_DONE_EOF;
    }
    std::strcpy(Stmt->StatementParms, "*");
    Stmt->ParmLength = 1;
    CopyPosition(Stmt, InRec);
    if (!AddInstreamDataToStmt(Stmt, InRec, debug)) {
        reportMemoryAllocationError(mode);
        return STMT_DONE_EOF;
    }
    SkipInStreamDataFrom(TRUE, TRUE, FALSE, "", Stmt, cursor, jesVersion, mode, debug);
    return STMT_DONE;
}

JCL_STATE ProcessFirstJCLCard(JCLStatement* Stmt, const SourceLine* InRec,
                              BOOLEAN* lastExecWasProcInvocation, const char* jesVersion,
                              void* cursor, int16_t mode, int32_t debug) {
    if (!BeginsWith(InRec->SourceText, "//"))
        return StartImplicitSysin(Stmt, InRec, jesVersion, cursor, mode, debug);
    CopyPosition(Stmt, InRec);
    const int32_t length = CardLength(InRec);
    int32_t pos = 2;
    if (!TakeNameField(Stmt, InRec, length, &pos, mode)) return STMT_DONE_EOF;

    char word[kCardTextMax + 1];
    TakeWord(InRec->SourceText, length, &pos, word);
    const RD_JCL_STATEMENT_TYPE type = LookupStatementType(word);
    if (type == RD_UNKNOWN) {
        const uint32_t number = MessageFor(mode, 1778, 3140);
        KVRWriteMessageWithStrings(number, word, nullptr, nullptr, nullptr);
        KVR_Write_MSG_RecordWithString("JCL", MsgProgramId(mode), static_cast<int32_t>(number),
                                       word);
        return STMT_DONE_EOF;
    }
    Stmt->StatementType = type;
    StoreOperation(Stmt, word);

    // The read-time scope of a procedure call lasts over the override DDs (name with a
    // period) that follow its EXEC.
    if (lastExecWasProcInvocation != nullptr && *lastExecWasProcInvocation &&
        !(type == RD_DD && std::strchr(Stmt->StatementLabel, '.') != nullptr)) {
        EndSymbolScope(debug);
        *lastExecWasProcInvocation = FALSE;
    }
    return GetStmtParameters(InRec, pos, Stmt, FALSE, mode, debug);
}

JCL_STATE CaptureQuilloStmt(const SourceLine* InRec, JCLStatement* Stmt, int16_t mode,
                            int32_t debug) {
    CopyPosition(Stmt, InRec);
    const int32_t length = CardLength(InRec);
    int32_t pos = 2;
    if (!TakeNameField(Stmt, InRec, length, &pos, mode)) return STMT_DONE_EOF;
    char word[kCardTextMax + 1];
    TakeWord(InRec->SourceText, length, &pos, word);
    StoreOperation(Stmt, word);
    Stmt->StatementType = RD_QUILLO_OPC;
    Stmt->inStreamData = nullptr;
    return GetStmtParameters(InRec, pos, Stmt, TRUE, mode, debug);
}

JCL_STATE StartJCLStmt(void* arrayJclDeck, JCLStatement* Stmt, const char* jesVersion, int16_t mode,
                       void* cursor, BOOLEAN* lastExecWasProcInvocation, int32_t debug,
                       int32_t* outLine, CardPosition* lastCard) {
    ResetJCLStatement(Stmt, debug);
    SourceLine card;
    if (!ReadNextNonCommentCard(arrayJclDeck, &card, mode, STMT_START, cursor, debug))
        return STMT_DONE_EOF;
    *outLine = card.fileLine;
    *lastCard = CardPosition{card.FileReference, card.fileLine};
    if (IsNullStatement(card.SourceText)) {
        // A null statement ends the member for the analyzer.
        if (cursor == nullptr) KVRU940_SetLogicalEOF();
        return STMT_DONE_EOF;
    }
    if (IsQuilloWorkloadManagerComment(card.SourceText))
        return CaptureQuilloStmt(&card, Stmt, mode, debug);
    const JCL_STATE state = ProcessFirstJCLCard(Stmt, &card, lastExecWasProcInvocation, jesVersion,
                                                cursor, mode, debug);
    if (KVRU005() > 4) return STMT_DONE_EOF;
    if (state == STMT_DONE && HasCommentContinuation(&card, debug)) return STMT_CMNT_CONT;
    return state;
}

// Where a continuation card's operands begin; -1 when the card ends the statement.
int32_t ContinuationStart(const JCLStatement* Stmt, const SourceLine* InRec, int32_t kind,
                          int16_t mode) {
    const char* text = InRec->SourceText;
    const int32_t length = CardLength(InRec);
    if (IsQuilloWorkloadManagerComment(text)) {
        int32_t start = 8;
        while (start < length && text[start] == ' ')
            ++start;
        return start;
    }
    if (!BeginsWith(text, "// ")) {
        ReportAtCard(1316, InRec, mode);
        return -1;
    }
    int32_t start = 3;
    if (kind == kContinueApost) {
        if (length < 16) {
            ReportAtCard(1318, InRec, mode);
            return -1;
        }
        start = 15; // exactly column 16, blanks included
    }
    if (Stmt->StatementType == RD_IF) return start;
    if (kind == kContinueApost || kind == kContinueParenApost) {
        while (start < 15 && text[start] == ' ')
            ++start;
        return start;
    }
    while (start < length && text[start] == ' ')
        ++start;
    if (start > 15) {
        ReportAtCard(1317, InRec, mode);
        return -1;
    }
    return start;
}

// Joins a quoted value in parentheses across cards: trailing blanks go, and the "'," that
// closed the previous card's part merges with the next card's opening apostrophe.
void JoinParenEnclosedApost(JCLStatement* Stmt, const char* next, int32_t* start) {
    char* parms = Stmt->StatementParms;
    int32_t length = Stmt->ParmLength;
    while (length > 0 && parms[length - 1] == ' ')
        --length;
    if (next[*start] == '\'' && length >= 2 && parms[length - 2] == '\'' &&
        parms[length - 1] == ',') {
        parms[length - 2] = ',';
        --length;
        ++*start;
    } else if (length >= 1 && parms[length - 1] == ',') {
        --length;
    }
    parms[length] = '\0';
    Stmt->ParmLength = length;
}

JCL_STATE ProcessContinuationCard(JCLStatement* Stmt, const SourceLine* InRec, int32_t kind,
                                  int16_t mode, int32_t debug) {
    int32_t start = ContinuationStart(Stmt, InRec, kind, mode);
    if (start < 0) return STMT_DONE;
    if (Stmt->StatementParms == nullptr) {
        if (!AllocateParmArea(Stmt, kOperandAreaSize, debug)) {
            reportMemoryAllocationError(mode);
            return STMT_DONE;
        }
    } else if (kind == kContinueParenApost) {
        JoinParenEnclosedApost(Stmt, InRec->SourceText, &start);
    }
    return ScanCardOperands(Stmt, InRec, start, kind, FALSE, mode, debug);
}

JCL_STATE ContinueParm(JCL_STATE state, void* arrayJclDeck, JCLStatement* Stmt, int32_t kind,
                       int16_t mode, void* cursor, int32_t debug, int32_t* outLine,
                       CardPosition* lastCard) {
    SourceLine card;
    if (!ReadNextNonCommentCard(arrayJclDeck, &card, mode, state, cursor, debug))
        return STMT_DONE_EOF;
    *outLine = card.fileLine;
    *lastCard = CardPosition{card.FileReference, card.fileLine};
    if (IsNullStatement(card.SourceText)) {
        KVRU940_SetLogicalEOF();
        return STMT_DONE_EOF;
    }
    const JCL_STATE next = ProcessContinuationCard(Stmt, &card, kind, mode, debug);
    if (KVRU005() > 4) return STMT_DONE_EOF;
    if (next == STMT_DONE && HasCommentContinuation(&card, debug)) {
        *outLine = 0;
        return STMT_CMNT_CONT;
    }
    return next;
}

JCL_STATE ContinueComment(int16_t mode, void* cursor, int32_t debug, CardPosition* lastCard) {
    SourceLine card;
    if (!ReadNextCard(&card, mode, cursor, debug)) {
        // The input ended where the comment was to go on: said at the card that continued it.
        KVRWriteMessageWithFileLine(MessageFor(mode, 1315, 3034), TRUE, lastCard->FileReference,
                                    lastCard->fileLine, mode);
        return STMT_DONE;
    }
    *lastCard = CardPosition{card.FileReference, card.fileLine};
    if (IsNullStatement(card.SourceText)) return STMT_DONE;
    if (BeginsWith(card.SourceText, "// "))
        return HasCommentContinuation(&card, debug) ? STMT_CMNT_CONT : STMT_DONE;
    ReportAtCard(MessageFor(mode, 1314, 3033), &card, mode);
    return STMT_DONE;
}

bool MovesStepEnd(RD_JCL_STATEMENT_TYPE type) {
    // A JOB statement starts the next job: it never belongs to the step before it.
    return type != RD_JOB && type != RD_ELSE && type != RD_ENDIF && type != RD_EXEC &&
           type != RD_IF && type != RD_PEND && type != RD_QUILLO_OPC;
}

} // namespace

BOOLEAN BuildJCLStatement(void* arrayJclDeck, JCLStatement* iStmt, const char* jesVersion,
                          int16_t iProcessingMode, void* jclCardsListCursor,
                          BOOLEAN* lastExecWasProcInvocation, int32_t debug) {
    JCL_STATE state = STMT_START;
    int32_t line = 0;
    CardPosition lastCard;
    while (state != STMT_DONE && state != STMT_DONE_EOF) {
        switch (state) {
        case STMT_START:
            state = StartJCLStmt(arrayJclDeck, iStmt, jesVersion, iProcessingMode,
                                 jclCardsListCursor, lastExecWasProcInvocation, debug, &line,
                                 &lastCard);
            break;
        case STMT_APOST_CONT:
            state = ContinueParm(state, arrayJclDeck, iStmt, kContinueApost, iProcessingMode,
                                 jclCardsListCursor, debug, &line, &lastCard);
            break;
        case STMT_PARM_PAREN_ENCLOSED_APOST_CONT:
            state = ContinueParm(state, arrayJclDeck, iStmt, kContinueParenApost, iProcessingMode,
                                 jclCardsListCursor, debug, &line, &lastCard);
            break;
        case STMT_IF_CONT:
        case STMT_PARM_CONT:
            state = ContinueParm(state, arrayJclDeck, iStmt, kContinueComma, iProcessingMode,
                                 jclCardsListCursor, debug, &line, &lastCard);
            break;
        case STMT_CMNT_CONT:
            state = ContinueComment(iProcessingMode, jclCardsListCursor, debug, &lastCard);
            line = 0;
            break;
        default:
            state = STMT_DONE_EOF;
            break;
        }
    }
    if (KVRU005() > 4) return TRUE;
    if (state == STMT_DONE_EOF) return FALSE;
    if (debug)
        std::printf("StatementParms: %s\n",
                    iStmt->StatementParms != nullptr ? iStmt->StatementParms : "");
    if (line != 0) {
        iStmt->endFileLine = line;
        iStmt->EXEC_endFileLine = line;
        JCLStatement* step = getCurrentStepStmt();
        if (MovesStepEnd(iStmt->StatementType) && getExecFound() && step != nullptr)
            step->endFileLine = line;
    }
    return TRUE;
}

void GetJclCardOperation(const SourceLine* InRec, char* outOperation) {
    const char* text = InRec->SourceText;
    const int32_t length = CardLength(InRec);
    outOperation[0] = '\0';
    int32_t pos = 2;
    while (pos < length && text[pos] != ' ')
        ++pos;
    if (pos > 18) return; // the name field runs past column 18
    while (pos < length && text[pos] == ' ')
        ++pos;
    int32_t n = 0;
    while (pos < length && text[pos] != ' ' && n < 7)
        outOperation[n++] = text[pos++];
    outOperation[n] = '\0';
}

int16_t IsNullStatement(const char* iSourceText) {
    size_t length = strnlen(iSourceText, 72);
    while (length > 0 && iSourceText[length - 1] == ' ')
        --length;
    return length == 2 && iSourceText[0] == '/' && iSourceText[1] == '/' ? 1 : 0;
}

} // namespace kvr
