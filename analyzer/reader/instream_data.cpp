// In-stream data: deciding from a DD statement's operands whether data cards follow and
// which cards end them (a "//" card, a "/*" card or a DLM= delimiter), and the spool that
// keeps owned copies of the data cards with the statement for the run-unit readers.
#include "reader/instream_data.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "driver/run_settings.h"
#include "expansion/list_builder_state.h"
#include "reader/card_reader.h"

namespace kvr {
namespace {

constexpr size_t kDelimiterMax = 15; // the caller's area holds 16 characters

RD_InstreamData* AsSpool(void* spool) {
    return static_cast<RD_InstreamData*>(spool);
}

void ReportAtStatement(uint32_t number, BOOLEAN logMSG, const JCLStatement* stmt,
                       int16_t iProcessingMode) {
    KVRWriteMessageWithFileLine(number, logMSG, stmt->FileReference, stmt->fileLine,
                                iProcessingMode);
}

// Appends an owned copy of the card, keyed by the copy's own text.
BOOLEAN AppendCardCopy(RD_InstreamData* spool, const SourceLine* card, int32_t debug) {
    SourceLine* copy = CloneSourceLine(card, debug);
    if (copy == nullptr) return FALSE;
    if (AddItemToList(spool->SourceLineList, copy, copy->SourceText, debug) == 0) {
        FreeBlockWithDebug(copy, "AddInstreamDataToStmt", debug);
        return FALSE;
    }
    return TRUE;
}

} // namespace

void BypassInstreamData(JCLStatement* iStmt, const char* jesVersion, int16_t iProcessingMode,
                        int32_t debug) {
    BOOLEAN slashSlash = FALSE;
    BOOLEAN slashStar = FALSE;
    BOOLEAN useDLM = FALSE;
    char delimiter[kDelimiterMax + 1] = {};
    if (TestForInstreamDD(iStmt, &slashSlash, &slashStar, &useDLM, delimiter, jesVersion,
                          iProcessingMode, debug) &&
        KVRU005() <= 4)
        SkipInStreamDataFrom(slashSlash, slashStar, useDLM, delimiter, iStmt, getReadingCursor(),
                             jesVersion, iProcessingMode, debug);
}

BOOLEAN TestForInstreamDD(JCLStatement* Stmt, BOOLEAN* usesSlashSlash, BOOLEAN* usesSlashStar,
                          BOOLEAN* usesDLM, char* Delimiter, const char* jesVersion,
                          int16_t iProcessingMode, int32_t debug) {
    const char* text = Stmt->StatementParms;
    if (text == nullptr) return FALSE;
    if (text[0] == '*') {
        if (CheckForDLM(Stmt, Delimiter, iProcessingMode, debug)) {
            // Under JES3 rules a "//" card inside DLM-delimited data is data.
            const bool jes3 = jesVersion != nullptr && std::strcmp(jesVersion, "JES3") == 0;
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
        *usesDLM = CheckForDLM(Stmt, Delimiter, iProcessingMode, debug);
        *usesSlashStar = *usesDLM ? FALSE : TRUE;
        return TRUE;
    }
    return FALSE;
}

BOOLEAN CheckForDLM(JCLStatement* Stmt, char* Delimiter, int16_t iProcessingMode, int32_t debug) {
    if (Stmt->StatementParms == nullptr) return FALSE;
    const char* found = std::strstr(Stmt->StatementParms, "DLM=");
    if (found == nullptr) return FALSE;
    ExtractDelimiter(found + 4, Delimiter, Stmt, iProcessingMode, debug);
    if (KVRU005() > 4) return FALSE;
    if (debug) std::printf("Delimiter: %s\n", Delimiter);
    return TRUE;
}

void ExtractDelimiter(const char* Source, char* Target, JCLStatement* iStmt,
                      int16_t iProcessingMode, int32_t debug) {
    (void)debug;
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
                    ReportAtStatement(MessageFor(iProcessingMode, 1328, 3040), FALSE, iStmt,
                                      iProcessingMode);
                take(*p);
            }
        }
    } else {
        for (; *p != '\0' && *p != ','; ++p)
            take(*p);
    }
    Target[count < kDelimiterMax ? count : kDelimiterMax] = '\0';
    if (count < 2)
        ReportAtStatement(MessageFor(iProcessingMode, 1327, 3039), TRUE, iStmt, iProcessingMode);
    else if (count > 2)
        ReportAtStatement(MessageFor(iProcessingMode, 1319, 3038), TRUE, iStmt, iProcessingMode);
}

int16_t AddInstreamDataToStmt(JCLStatement* iStmt, const SourceLine* iInRec, int32_t debug) {
    if (iStmt->inStreamData == nullptr) {
        if (!CreateInstreamSpool(&iStmt->inStreamData, debug)) return 0;
        RD_InstreamData* spool = AsSpool(iStmt->inStreamData);
        spool->FileReference = iInRec->FileReference;
        spool->fileLine = iInRec->fileLine;
        spool->endFileLine = iInRec->fileLine;
    } else {
        AsSpool(iStmt->inStreamData)->endFileLine = iInRec->fileLine;
    }
    if (debug)
        std::printf("InstreamData: %s %d %zu\n", iInRec->SourceText, iInRec->lineLength,
                    std::strlen(iInRec->SourceText));
    RD_InstreamData* spool = AsSpool(iStmt->inStreamData);
    if (!AppendCardCopy(spool, iInRec, debug)) return 0;
    ++spool->RecordCount;
    return 1;
}

int16_t CreateInstreamSpool(void** outStream, int32_t debug) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_InstreamData), "CreateInstreamSpool", debug) == 0)
        return 0;
    auto* spool = static_cast<RD_InstreamData*>(block);
    *spool = RD_InstreamData{nullptr, -1, 0, 0, 0};
    if (CreateList(&spool->SourceLineList, debug) == 0) {
        FreeBlockWithDebug(spool, "CreateInstreamSpool", debug);
        return 0;
    }
    *outStream = spool;
    return 1;
}

void DeleteInstreamSpool(void* iStream, int32_t debug) {
    RD_InstreamData* spool = AsSpool(iStream);
    if (spool == nullptr) return;
    void* card = nullptr;
    while (FindFirstItem(spool->SourceLineList, &card)) {
        UnlinkCurrentItem(spool->SourceLineList, &card, debug);
        FreeBlockWithDebug(card, "DeleteInstreamSpool", debug);
    }
    FreeList(spool->SourceLineList, debug);
    FreeBlockWithDebug(spool, "DeleteInstreamSpool", debug);
}

int16_t CopyInstreamSpool(void* iStream, void** outStream, int32_t debug) {
    *outStream = nullptr;
    RD_InstreamData* from = AsSpool(iStream);
    if (from == nullptr) return 1;
    void* created = nullptr;
    if (!CreateInstreamSpool(&created, debug)) return 0;
    RD_InstreamData* to = AsSpool(created);
    void* cursor = nullptr;
    if (KVR_CreateCursor(from->SourceLineList, &cursor, debug) == 0) {
        DeleteInstreamSpool(to, debug);
        return 0;
    }
    void* card = nullptr;
    bool complete = true;
    while (GetDataAtCursor(cursor, &card)) {
        if (!AppendCardCopy(to, static_cast<SourceLine*>(card), debug)) {
            complete = false;
            break;
        }
        AdvanceCursor(cursor);
    }
    DeleteCursor(cursor, debug);
    if (!complete) {
        // A half-made copy is never handed out.
        DeleteInstreamSpool(to, debug);
        return 0;
    }
    to->FileReference = from->FileReference;
    to->fileLine = from->fileLine;
    to->endFileLine = from->endFileLine;
    to->RecordCount = from->RecordCount;
    *outStream = to;
    return 1;
}

SourceLine* CloneSourceLine(const SourceLine* Old, int32_t debug) {
    void* block = nullptr;
    // No card can be kept: the member boundary reports it and ends the run cleanly.
    if (CreateBlockWithDebug(&block, sizeof(SourceLine), "CloneSourceLine", debug) == 0)
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
