// In-stream data: deciding from a DD statement's operands whether data cards follow and
// which cards end them (a "//" card, a "/*" card or a DLM= delimiter), and the spool that
// keeps owned copies of the data cards with the statement for the run-unit readers.
#include "reader/instream_data.h"
#include "base/contexts.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "reader/card_reader.h"

namespace kvr {
namespace {

constexpr size_t kDelimiterMax = 15; // the caller's area holds 16 characters

RD_InstreamData* AsSpool(void* spool) {
    return static_cast<RD_InstreamData*>(spool);
}

void ReportAtStatement(MemberContext& ctx, uint32_t number, BOOLEAN logMSG, const JCLStatement* stmt) {
    KVRWriteMessageWithFileLine(number, logMSG, stmt->FileReference, stmt->fileLine,
                                ctx.run.mode);
}

// Appends an owned copy of the card, keyed by the copy's own text.
BOOLEAN AppendCardCopy(MemberContext& ctx, RD_InstreamData* spool, const SourceLine* card) {
    SourceLine* copy = CloneSourceLine(ctx, card);
    if (copy == nullptr) return FALSE;
    if (AddItemToList(spool->SourceLineList, copy, copy->SourceText, ctx.run.debug) == 0) {
        FreeBlockWithDebug(copy, "AddInstreamDataToStmt", ctx.run.debug);
        return FALSE;
    }
    return TRUE;
}

} // namespace

void BypassInstreamData(MemberContext& ctx, JCLStatement* iStmt) {
    BOOLEAN slashSlash = FALSE;
    BOOLEAN slashStar = FALSE;
    BOOLEAN useDLM = FALSE;
    char delimiter[kDelimiterMax + 1] = {};
    if (TestForInstreamDD(ctx, iStmt, &slashSlash, &slashStar, &useDLM, delimiter) &&
        KVRU005() <= 4)
        SkipInStreamDataFrom(ctx, slashSlash, slashStar, useDLM, delimiter, iStmt, ctx.listBuilder.readingCursor);
}

BOOLEAN TestForInstreamDD(MemberContext& ctx, JCLStatement* Stmt, BOOLEAN* usesSlashSlash, BOOLEAN* usesSlashStar,
                          BOOLEAN* usesDLM, char* Delimiter) {
    const char* text = Stmt->StatementParms;
    if (text == nullptr) return FALSE;
    if (text[0] == '*') {
        if (CheckForDLM(ctx, Stmt, Delimiter)) {
            // Under JES3 rules a "//" card inside DLM-delimited data is data.
            const bool jes3 = ctx.run.jesVersion.c_str() != nullptr && std::strcmp(ctx.run.jesVersion.c_str(), "JES3") == 0;
            *usesSlashSlash = jes3 ? FALSE : TRUE;
            *usesSlashStar = FALSE;
            *usesDLM = TRUE;
        } else {
            *usesSlashSlash = TRUE;
            *usesSlashStar = TRUE;
            *usesDLM = FALSE;
        }
        return TRUE;
    }
    if (std::strcmp(text, "DATA") == 0 || std::strncmp(text, "DATA,", 5) == 0) {
        *usesSlashSlash = FALSE;
        *usesDLM = CheckForDLM(ctx, Stmt, Delimiter);
        *usesSlashStar = *usesDLM ? FALSE : TRUE;
        return TRUE;
    }
    return FALSE;
}

BOOLEAN CheckForDLM(MemberContext& ctx, JCLStatement* Stmt, char* Delimiter) {
    if (Stmt->StatementParms == nullptr) return FALSE;
    const char* found = std::strstr(Stmt->StatementParms, "DLM=");
    if (found == nullptr) return FALSE;
    ExtractDelimiter(ctx, found + 4, Delimiter, Stmt);
    if (KVRU005() > 4) return FALSE;
    if (ctx.run.debug) std::printf("Delimiter: %s\n", Delimiter);
    return TRUE;
}

void ExtractDelimiter(MemberContext& ctx, const char* Source, char* Target, JCLStatement* iStmt) {
    (void)ctx.run.debug;
    size_t count = 0; // characters of the value, also those beyond the 15 kept
    auto take = [&](char c) {
        if (count < kDelimiterMax) Target[count] = c;
        ++count;
    };
    const char* p = Source;
    if (*p == '\'') {
        for (++p; *p != '\0'; ++p) {
            if (*p == '\'') {
                if (p[1] != '\'') break; // the closing apostrophe
                take('\'');
                ++p;
            } else if (*p == '&' && p[1] == '&') {
                take('&');
                ++p;
            } else {
                if (*p == '&')
                    ReportAtStatement(ctx, MessageFor(ctx, 1328, 3040), FALSE, iStmt);
                take(*p);
            }
        }
    } else {
        for (; *p != '\0' && *p != ','; ++p)
            take(*p);
    }
    Target[count < kDelimiterMax ? count : kDelimiterMax] = '\0';
    if (count < 2)
        ReportAtStatement(ctx, MessageFor(ctx, 1327, 3039), TRUE, iStmt);
    else if (count > 2)
        ReportAtStatement(ctx, MessageFor(ctx, 1319, 3038), TRUE, iStmt);
}

int16_t AddInstreamDataToStmt(MemberContext& ctx, JCLStatement* iStmt, const SourceLine* iInRec) {
    if (iStmt->inStreamData == nullptr) {
        if (!CreateInstreamSpool(ctx, &iStmt->inStreamData)) return 0;
        RD_InstreamData* spool = AsSpool(iStmt->inStreamData);
        spool->FileReference = iInRec->FileReference;
        spool->fileLine = iInRec->fileLine;
        spool->endFileLine = iInRec->fileLine;
    } else {
        AsSpool(iStmt->inStreamData)->endFileLine = iInRec->fileLine;
    }
    if (ctx.run.debug)
        std::printf("InstreamData: %s %d %zu\n", iInRec->SourceText, iInRec->lineLength,
                    std::strlen(iInRec->SourceText));
    RD_InstreamData* spool = AsSpool(iStmt->inStreamData);
    if (!AppendCardCopy(ctx, spool, iInRec)) return 0;
    ++spool->RecordCount;
    return 1;
}

int16_t CreateInstreamSpool(MemberContext& ctx, void** outStream) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_InstreamData), "CreateInstreamSpool", ctx.run.debug) == 0)
        return 0;
    auto* spool = static_cast<RD_InstreamData*>(block);
    *spool = RD_InstreamData{nullptr, -1, 0, 0, 0};
    if (CreateList(&spool->SourceLineList, ctx.run.debug) == 0) {
        FreeBlockWithDebug(spool, "CreateInstreamSpool", ctx.run.debug);
        return 0;
    }
    *outStream = spool;
    return 1;
}

void DeleteInstreamSpool(void* iStream) {
    RD_InstreamData* spool = AsSpool(iStream);
    if (spool == nullptr) return;
    void* card = nullptr;
    while (FindFirstItem(spool->SourceLineList, &card)) {
        UnlinkCurrentItem(spool->SourceLineList, &card, BlockTraceLevel());
        FreeBlockWithDebug(card, "DeleteInstreamSpool", BlockTraceLevel());
    }
    FreeList(spool->SourceLineList, BlockTraceLevel());
    FreeBlockWithDebug(spool, "DeleteInstreamSpool", BlockTraceLevel());
}

int16_t CopyInstreamSpool(MemberContext& ctx, void* iStream, void** outStream) {
    *outStream = nullptr;
    RD_InstreamData* from = AsSpool(iStream);
    if (from == nullptr) return 1;
    void* created = nullptr;
    if (!CreateInstreamSpool(ctx, &created)) return 0;
    RD_InstreamData* to = AsSpool(created);
    void* cursor = nullptr;
    if (KVR_CreateCursor(from->SourceLineList, &cursor, ctx.run.debug) == 0) {
        DeleteInstreamSpool(to);
        return 0;
    }
    void* card = nullptr;
    bool complete = true;
    while (GetDataAtCursor(cursor, &card)) {
        if (!AppendCardCopy(ctx, to, static_cast<SourceLine*>(card))) {
            complete = false;
            break;
        }
        AdvanceCursor(cursor);
    }
    DeleteCursor(cursor, ctx.run.debug);
    if (!complete) {
        // A half-made copy is never handed out.
        DeleteInstreamSpool(to);
        return 0;
    }
    to->FileReference = from->FileReference;
    to->fileLine = from->fileLine;
    to->endFileLine = from->endFileLine;
    to->RecordCount = from->RecordCount;
    *outStream = to;
    return 1;
}

SourceLine* CloneSourceLine(MemberContext& ctx, const SourceLine* Old) {
    void* block = nullptr;
    // No card can be kept: the member boundary reports it and ends the run cleanly.
    if (CreateBlockWithDebug(&block, sizeof(SourceLine), "CloneSourceLine", ctx.run.debug) == 0)
        throw std::bad_alloc();
    auto* copy = static_cast<SourceLine*>(block);
    std::memset(copy, 0, sizeof(SourceLine));
    copy->FileReference = Old->FileReference;
    copy->fileLine = Old->fileLine;
    // Exactly lineLength bytes, embedded zero bytes included; a length that would run past
    // the text area is cut to it, so readers of the copy stay inside it.
    size_t length = Old->lineLength > 0 ? static_cast<size_t>(Old->lineLength) : 0;
    if (length > sizeof copy->SourceText - 1) length = sizeof copy->SourceText - 1;
    copy->lineLength = static_cast<int32_t>(length);
    std::memcpy(copy->SourceText, Old->SourceText, length);
    return copy;
}

SOURCE_REF getInStreamDataFileReference(void* spool) {
    return AsSpool(spool)->FileReference;
}
int32_t getInStreamDataFileLine(void* spool) {
    return AsSpool(spool)->fileLine;
}
int32_t getInStreamDataEndFileLine(void* spool) {
    return AsSpool(spool)->endFileLine;
}

namespace {
BOOLEAN DeliverCard(BOOLEAN found, void* card, char** TextArg, int32_t* TextLengthArg) {
    if (!found || card == nullptr) {
        *TextArg = nullptr;
        *TextLengthArg = 0;
        return FALSE;
    }
    auto* line = static_cast<SourceLine*>(card);
    *TextArg = line->SourceText;
    *TextLengthArg = line->lineLength;
    return TRUE;
}
} // namespace

BOOLEAN ReadFirstInstreamSpool(void* InstreamArg, char** TextArg, int32_t* TextLengthArg) {
    void* card = nullptr;
    const BOOLEAN found =
        InstreamArg != nullptr && FindFirstItem(AsSpool(InstreamArg)->SourceLineList, &card);
    return DeliverCard(found, card, TextArg, TextLengthArg);
}

BOOLEAN ReadNextInstreamSpool(void* InstreamArg, char** TextArg, int32_t* TextLengthArg) {
    void* card = nullptr;
    const BOOLEAN found =
        InstreamArg != nullptr && GetNextItem(AsSpool(InstreamArg)->SourceLineList, &card);
    return DeliverCard(found, card, TextArg, TextLengthArg);
}

} // namespace kvr
