// The statement parser: the continuation state machine that turns cards into one JCL
// statement (name field, operation and type, operand text joined across continuation
// cards with comments cut and symbolic parameters substituted card by card).
#include "reader/statement_parser.h"
#include "base/contexts.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "reader/symbols.h"
#include "reader/card_reader.h"
#include "reader/job_boundaries.h"
#include "reader/instream_data.h"
#include "reader/operand_scanner.h"

namespace kvr {
namespace {

constexpr int32_t kCardTextMax = static_cast<int32_t>(sizeof(SourceLine{}.SourceText)) - 1;


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

void ReportAtCard(MemberContext& ctx, uint32_t number, const SourceLine* card) {
    KVRWriteMessageWithFileLine(number, TRUE, card->FileReference, card->fileLine, ctx.run.mode);
}

// A card continues as a comment when column 72 of a "//" card is not blank.
bool HasCommentContinuation(MemberContext& ctx, const SourceLine* card) {
    if (!BeginsWith(card->SourceText, "//") || CardLength(card) < 72) return false;
    if (ctx.run.debug) std::printf("Column 72: '%c' %s\n", card->SourceText[71], card->SourceText);
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
bool TakeNameField(MemberContext& ctx, JCLStatement* Stmt, const SourceLine* card, int32_t length, int32_t* pos) {
    const char* text = card->SourceText;
    while (*pos < length && text[*pos] != ' ') {
        if (Stmt->LabelLength == kLabelMax) {
            ReportAtCard(ctx, MessageFor(ctx, 1402, 3092), card);
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
const char* SubstituteCardText(MemberContext& ctx, const char* text, int32_t length, const SourceLine* card,
                               int32_t kind) {
    if (std::memchr(text, '&', static_cast<size_t>(length)) == nullptr) return text;
    std::memset(ctx.parser.substituted, 0, ctx.parser.substitutedUsed);
    int32_t symbolCount = 0;
    int32_t replacedCount = 0;
    SubstituteSymbolics(ctx, text, length, ctx.parser.substituted, &symbolCount, &replacedCount,
                        card->FileReference, card->fileLine, kind);
    ctx.parser.substituted[kOperandAreaSize - 1] = '\0';
    ctx.parser.substitutedUsed = std::strlen(ctx.parser.substituted) + 1;
    return ctx.parser.substituted;
}

// Copies the card from index start, cuts its comments, substitutes its symbols and appends
// its operand characters to the statement.
JCL_STATE ScanCardOperands(MemberContext& ctx, JCLStatement* Stmt, const SourceLine* card, int32_t start, int32_t kind,
                           BOOLEAN balance) {
    const int32_t length = CardLength(card);
    int32_t n = start < length ? length - start : 0;
    std::memcpy(ctx.parser.card, card->SourceText + start, static_cast<size_t>(n));
    ctx.parser.card[n] = '\0';
    const int32_t col = start + 1;
    trimComments(ctx.parser.card, col, n, Stmt->StatementType, kind, balance);
    const char* text = SubstituteCardText(ctx, ctx.parser.card, static_cast<int32_t>(std::strlen(ctx.parser.card)),
                                          card, kind);
    return CopyParm(ctx, Stmt, card, col, text, kind, balance);
}

JCL_STATE GetStmtParameters(MemberContext& ctx, const SourceLine* InRec, int32_t pos, JCLStatement* Stmt,
                            BOOLEAN iBalanceParens) {
    const int32_t length = CardLength(InRec);
    if (Stmt->StatementType != RD_IF) {
        while (pos < length && InRec->SourceText[pos] == ' ')
            ++pos;
        // Operands must begin in column 71 or before.
        if (pos >= length || pos > 70) return STMT_DONE;
    }
    if (Stmt->StatementParms == nullptr && !AllocateParmArea(ctx, Stmt, kOperandAreaSize)) {
        reportMemoryAllocationError(ctx);
        return STMT_DONE_EOF;
    }
    return ScanCardOperands(ctx, Stmt, InRec, pos, kContinueComma, iBalanceParens);
}

// A data card where a statement should begin: after a JOB it is the first card of an
// implicit SYSIN DD *, before any JOB the member has no job card.
JCL_STATE StartImplicitSysin(MemberContext& ctx, JCLStatement* Stmt, const SourceLine* InRec,
                             void* cursor) {
    if (ctx.listBuilder.jobCount == 0) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1375, 3073)); // the member holds no job
        return STMT_DONE;
    }
    std::strcpy(Stmt->StatementLabel, "SYSIN");
    Stmt->LabelLength = 5;
    Stmt->StatementType = RD_DD;
    std::strcpy(Stmt->StatementOp, "DD");
    if (!AllocateParmArea(ctx, Stmt, 1)) {
        reportMemoryAllocationError(ctx);
        return STMT_DONE_EOF;
    }
    std::strcpy(Stmt->StatementParms, "*");
    Stmt->ParmLength = 1;
    CopyPosition(Stmt, InRec);
    if (!AddInstreamDataToStmt(ctx, Stmt, InRec)) {
        reportMemoryAllocationError(ctx);
        return STMT_DONE_EOF;
    }
    SkipInStreamDataFrom(ctx, TRUE, TRUE, FALSE, "", Stmt, cursor);
    return STMT_DONE;
}

JCL_STATE ProcessFirstJCLCard(MemberContext& ctx, JCLStatement* Stmt, const SourceLine* InRec,
                              BOOLEAN* lastExecWasProcInvocation,
                              void* cursor) {
    if (!BeginsWith(InRec->SourceText, "//"))
        return StartImplicitSysin(ctx, Stmt, InRec, cursor);
    CopyPosition(Stmt, InRec);
    const int32_t length = CardLength(InRec);
    int32_t pos = 2;
    if (!TakeNameField(ctx, Stmt, InRec, length, &pos)) return STMT_DONE_EOF;

    char word[kCardTextMax + 1];
    TakeWord(InRec->SourceText, length, &pos, word);
    RD_JCL_STATEMENT_TYPE type = LookupStatementType(word);
    if (type == RD_UNKNOWN && Stmt->LabelLength == 0) type = LookupOperatorCommand(word);
    if (type == RD_UNKNOWN) {
        const uint32_t number = MessageFor(ctx, 1778, 3140);
        KVRWriteMessageWithStrings(number, word, nullptr, nullptr, nullptr);
        KVR_Write_MSG_RecordWithString("JCL", MsgProgramId(ctx), static_cast<int32_t>(number),
                                       word);
        return STMT_DONE_EOF;
    }
    Stmt->StatementType = type;
    StoreOperation(Stmt, word);

    // The read-time scope of a procedure call lasts over the override DDs (name with a
    // period) that follow its EXEC.
    if (lastExecWasProcInvocation != nullptr && *lastExecWasProcInvocation &&
        !(type == RD_DD && std::strchr(Stmt->StatementLabel, '.') != nullptr)) {
        EndSymbolScope(ctx);
        *lastExecWasProcInvocation = FALSE;
    }
    // A job scheduling statement is kept as its cards; its operands are not needed.
    if (type == RD_JOB_SCHEDULING) return STMT_DONE;
    return GetStmtParameters(ctx, InRec, pos, Stmt, FALSE);
}

JCL_STATE CaptureQuilloStmt(MemberContext& ctx, const SourceLine* InRec, JCLStatement* Stmt) {
    CopyPosition(Stmt, InRec);
    const int32_t length = CardLength(InRec);
    int32_t pos = 2;
    if (!TakeNameField(ctx, Stmt, InRec, length, &pos)) return STMT_DONE_EOF;
    char word[kCardTextMax + 1];
    TakeWord(InRec->SourceText, length, &pos, word);
    StoreOperation(Stmt, word);
    Stmt->StatementType = RD_QUILLO_OPC;
    Stmt->inStreamData = nullptr;
    return GetStmtParameters(ctx, InRec, pos, Stmt, TRUE);
}

// Keeps the cards of a statement that is written as comments.
void NoteKeptCard(MemberContext& ctx, const JCLStatement* Stmt, const SourceLine& card) {
    if (Stmt->StatementType != RD_JOB_SCHEDULING) return;
    ctx.parser.keptCards.push_back(
        KeptCard{card.fileLine, std::string(card.SourceText, static_cast<size_t>(CardLength(&card)))});
}

JCL_STATE ContinueComment(MemberContext& ctx, const JCLStatement* Stmt, void* cursor,
                          CardPosition* lastCard);

// Where a scheduling statement's operands stand: its conditions may hold blanks inside
// parentheses (WHEN=(RC > 4 | ABEND)), and the statement goes on to the next card when a
// card ends inside parentheses or a quoted string, or after a comma.
struct SchedulingOperand {
    int32_t depth = 0;
    bool quoted = false;
    char last = ' ';
};

// Scans the operand text of one card from index pos; true when the next card continues it.
bool ScanSchedulingOperand(const SourceLine& card, int32_t pos, SchedulingOperand& operand) {
    const int32_t end = CardLength(&card) < 71 ? CardLength(&card) : 71;
    for (; pos < end; ++pos) {
        const char c = card.SourceText[pos];
        if (operand.quoted) {
            if (c == '\'') operand.quoted = false;
        } else if (c == ' ' && operand.depth <= 0) {
            break; // the comments field begins
        } else if (c == '\'') {
            operand.quoted = true;
        } else if (c == '(') {
            ++operand.depth;
        } else if (c == ')') {
            --operand.depth;
        }
        if (c != ' ') operand.last = c;
    }
    return operand.quoted || operand.depth > 0 || operand.last == ',';
}

int32_t SkipBlanks(const SourceLine& card, int32_t pos) {
    while (pos < CardLength(&card) && card.SourceText[pos] == ' ')
        ++pos;
    return pos;
}

int32_t SkipWord(const SourceLine& card, int32_t pos) {
    while (pos < CardLength(&card) && card.SourceText[pos] != ' ')
        ++pos;
    return pos;
}

// Reads the continuation cards of a job scheduling statement, keeping every card.
JCL_STATE ReadSchedulingStatement(MemberContext& ctx, JCLStatement* Stmt, const SourceLine& first,
                                  void* cursor, CardPosition* lastCard) {
    SchedulingOperand operand;
    const int32_t operation = SkipBlanks(first, SkipWord(first, 2));
    bool continues = ScanSchedulingOperand(first, SkipBlanks(first, SkipWord(first, operation)), operand);
    bool commentFollows = HasCommentContinuation(ctx, &first);
    SourceLine card;
    while (continues && !commentFollows && ReadNextNonCommentCard(ctx, &card, STMT_PARM_CONT, cursor)) {
        *lastCard = CardPosition{card.FileReference, card.fileLine};
        if (IsNullStatement(card.SourceText)) {
            EndAtNullStatement(ctx, card, cursor);
            return STMT_DONE_EOF;
        }
        if (!BeginsWith(card.SourceText, "// ")) {
            ReportAtCard(ctx, 1316, &card);
            return STMT_DONE;
        }
        NoteKeptCard(ctx, Stmt, card);
        continues = ScanSchedulingOperand(card, SkipBlanks(card, 2), operand);
        commentFollows = HasCommentContinuation(ctx, &card);
    }
    JCL_STATE state = commentFollows ? STMT_CMNT_CONT : STMT_DONE;
    while (state == STMT_CMNT_CONT)
        state = ContinueComment(ctx, Stmt, cursor, lastCard);
    return state;
}

JCL_STATE StartJCLStmt(MemberContext& ctx, JCLStatement* Stmt,
                       void* cursor, BOOLEAN* lastExecWasProcInvocation,
                       int32_t* outLine, CardPosition* lastCard) {
    ResetJCLStatement(ctx, Stmt);
    SourceLine card;
    if (!ReadNextNonCommentCard(ctx, &card, STMT_START, cursor))
        return STMT_DONE_EOF;
    *outLine = card.fileLine;
    *lastCard = CardPosition{card.FileReference, card.fileLine};
    if (IsNullStatement(card.SourceText)) {
        EndAtNullStatement(ctx, card, cursor);
        return STMT_DONE_EOF;
    }
    if (StartsNextJob(ctx, card, cursor)) return STMT_DONE_EOF;
    if (IsQuilloWorkloadManagerComment(ctx, card.SourceText))
        return CaptureQuilloStmt(ctx, &card, Stmt);
    ctx.parser.keptCards.clear();
    const JCL_STATE state = ProcessFirstJCLCard(ctx, Stmt, &card, lastExecWasProcInvocation,
                                                cursor);
    if (KVRU005() > 4) return STMT_DONE_EOF;
    if (Stmt->StatementType == RD_JOB_SCHEDULING) {
        NoteKeptCard(ctx, Stmt, card);
        return ReadSchedulingStatement(ctx, Stmt, card, cursor, lastCard);
    }
    if (state == STMT_DONE && HasCommentContinuation(ctx, &card)) return STMT_CMNT_CONT;
    return state;
}

// Where a continuation card's operands begin; -1 when the card ends the statement.
int32_t ContinuationStart(MemberContext& ctx, const JCLStatement* Stmt, const SourceLine* InRec, int32_t kind) {
    const char* text = InRec->SourceText;
    const int32_t length = CardLength(InRec);
    if (IsQuilloWorkloadManagerComment(ctx, text)) {
        int32_t start = 8;
        while (start < length && text[start] == ' ')
            ++start;
        return start;
    }
    if (!BeginsWith(text, "// ")) {
        ReportAtCard(ctx, 1316, InRec);
        return -1;
    }
    int32_t start = 3;
    if (kind == kContinueApost) {
        if (length < 16) {
            ReportAtCard(ctx, 1318, InRec);
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
        ReportAtCard(ctx, 1317, InRec);
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

JCL_STATE ProcessContinuationCard(MemberContext& ctx, JCLStatement* Stmt, const SourceLine* InRec, int32_t kind) {
    int32_t start = ContinuationStart(ctx, Stmt, InRec, kind);
    if (start < 0) return STMT_DONE;
    if (Stmt->StatementParms == nullptr) {
        if (!AllocateParmArea(ctx, Stmt, kOperandAreaSize)) {
            reportMemoryAllocationError(ctx);
            return STMT_DONE;
        }
    } else if (kind == kContinueParenApost) {
        JoinParenEnclosedApost(Stmt, InRec->SourceText, &start);
    }
    return ScanCardOperands(ctx, Stmt, InRec, start, kind, FALSE);
}

JCL_STATE ContinueParm(MemberContext& ctx, JCL_STATE state, JCLStatement* Stmt, int32_t kind, void* cursor, int32_t* outLine,
                       CardPosition* lastCard) {
    SourceLine card;
    if (!ReadNextNonCommentCard(ctx, &card, state, cursor))
        return STMT_DONE_EOF;
    *outLine = card.fileLine;
    *lastCard = CardPosition{card.FileReference, card.fileLine};
    if (IsNullStatement(card.SourceText)) {
        EndAtNullStatement(ctx, card, cursor);
        return STMT_DONE_EOF;
    }
    const JCL_STATE next = ProcessContinuationCard(ctx, Stmt, &card, kind);
    if (KVRU005() > 4) return STMT_DONE_EOF;
    if (next == STMT_DONE && HasCommentContinuation(ctx, &card)) {
        *outLine = 0;
        return STMT_CMNT_CONT;
    }
    return next;
}

JCL_STATE ContinueComment(MemberContext& ctx, const JCLStatement* Stmt, void* cursor,
                          CardPosition* lastCard) {
    SourceLine card;
    if (!ReadNextCard(ctx, &card, cursor)) {
        // The input ended where the comment was to go on: said at the card that continued it.
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1315, 3034), TRUE, lastCard->FileReference,
                                    lastCard->fileLine, ctx.run.mode);
        return STMT_DONE;
    }
    *lastCard = CardPosition{card.FileReference, card.fileLine};
    if (IsNullStatement(card.SourceText)) return STMT_DONE;
    if (BeginsWith(card.SourceText, "// ")) {
        NoteKeptCard(ctx, Stmt, card);
        return HasCommentContinuation(ctx, &card) ? STMT_CMNT_CONT : STMT_DONE;
    }
    ReportAtCard(ctx, MessageFor(ctx, 1314, 3033), &card);
    return STMT_DONE;
}

bool MovesStepEnd(RD_JCL_STATEMENT_TYPE type) {
    // A JOB statement starts the next job: it never belongs to the step before it.
    return type != RD_JOB && type != RD_ELSE && type != RD_ENDIF && type != RD_EXEC &&
           type != RD_IF && type != RD_PEND && type != RD_QUILLO_OPC &&
           type != RD_JOB_SCHEDULING; // kept as comments, which end no step
}

} // namespace

BOOLEAN BuildJCLStatement(MemberContext& ctx, JCLStatement* iStmt, void* jclCardsListCursor,
                          BOOLEAN* lastExecWasProcInvocation) {
    JCL_STATE state = STMT_START;
    int32_t line = 0;
    CardPosition lastCard;
    while (state != STMT_DONE && state != STMT_DONE_EOF) {
        switch (state) {
        case STMT_START:
            state = StartJCLStmt(ctx, iStmt,
                                 jclCardsListCursor, lastExecWasProcInvocation, &line,
                                 &lastCard);
            break;
        case STMT_APOST_CONT:
            state = ContinueParm(ctx, state, iStmt, kContinueApost,
                                 jclCardsListCursor, &line, &lastCard);
            break;
        case STMT_PARM_PAREN_ENCLOSED_APOST_CONT:
            state = ContinueParm(ctx, state, iStmt, kContinueParenApost,
                                 jclCardsListCursor, &line, &lastCard);
            break;
        case STMT_IF_CONT:
        case STMT_PARM_CONT:
            state = ContinueParm(ctx, state, iStmt, kContinueComma,
                                 jclCardsListCursor, &line, &lastCard);
            break;
        case STMT_CMNT_CONT:
            state = ContinueComment(ctx, iStmt, jclCardsListCursor, &lastCard);
            line = 0;
            break;
        default:
            state = STMT_DONE_EOF;
            break;
        }
    }
    if (KVRU005() > 4) return TRUE;
    if (state == STMT_DONE_EOF) return FALSE;
    if (ctx.run.debug)
        std::printf("StatementParms: %s\n",
                    iStmt->StatementParms != nullptr ? iStmt->StatementParms : "");
    if (line != 0) {
        iStmt->endFileLine = line;
        iStmt->EXEC_endFileLine = line;
        JCLStatement* step = ctx.listBuilder.currentStepStatement;
        if (MovesStepEnd(iStmt->StatementType) && ctx.listBuilder.execFound && step != nullptr)
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
