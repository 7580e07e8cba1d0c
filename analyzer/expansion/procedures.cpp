// The member's procedure list: in-stream procedures stored while the job is read and
// cataloged procedures fetched on their first call, each kept as the cards read from its
// source so that a call rebuilds its statements with that call's symbol values. Also the
// procedure start and end records that frame every call in the expanded deck.
#include "expansion/procedures.h"

#include <cstring>

#include "driver/run_settings.h"
#include "expansion/list_builder_state.h"
#include "expansion/statement_list_builder.h"
#include "model/deck_records.h"
#include "reader/card_reader.h"
#include "reader/statement_parser.h"

namespace kvr {
namespace {

void* ProcedureList = nullptr; // RD_ProcedureHeader entries keyed by procedure name

bool EnsureProcedureList(int16_t iProcessingMode, int32_t debug) {
    if (ProcedureList != nullptr) return true;
    if (CreateList(&ProcedureList, debug)) return true;
    ProcedureList = nullptr;
    reportMemoryAllocationError(iProcessingMode);
    return false;
}

RD_ProcedureHeader* FindProcedure(const char* iProcName) {
    void* data = nullptr;
    if (ProcedureList == nullptr || !FindItemWithKey(ProcedureList, iProcName, &data))
        return nullptr;
    return static_cast<RD_ProcedureHeader*>(data);
}

// Appends a copy of the card to a raw card list; FALSE (reported) when memory runs out.
bool KeepCard(void* cardList, const SourceLine& card, const char* blockName,
              int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(SourceLine), blockName, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return false;
    }
    auto* copy = static_cast<SourceLine*>(block);
    std::memcpy(copy, &card, sizeof(SourceLine));
    if (!AddItemToList(cardList, copy, copy->SourceText, debug)) {
        FreeBlockWithDebug(copy, blockName, debug);
        reportMemoryAllocationError(iProcessingMode);
        return false;
    }
    return true;
}

// A "//" card whose operation is PEND. A comment card ("//* PEND") is not one: read as a
// name field "*" and an operation it would end the procedure at a comment.
bool IsPendCard(const SourceLine& card) {
    if (std::strncmp(card.SourceText, "//", 2) != 0) return false;
    if (IsJclComment(card.SourceText)) return false;
    char operation[8] = {};
    GetJclCardOperation(&card, operation);
    return std::strcmp(operation, "PEND") == 0;
}

// The cards of an in-stream procedure up to and including its PEND card. When the source
// ends first, 1407 names the last card read (fallbackRef/fallbackLine when there was none).
void ReadInstreamProcCards(void** outList, SOURCE_REF fallbackRef, int32_t fallbackLine,
                           int16_t iProcessingMode, int32_t debug) {
    *outList = nullptr;
    if (!CreateList(outList, debug)) {
        *outList = nullptr;
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    SourceLine card{};
    SOURCE_REF lastRef = fallbackRef;
    int32_t lastLine = fallbackLine;
    while (ReadNextCard(&card, iProcessingMode, nullptr, debug)) {
        lastRef = card.FileReference;
        lastLine = card.fileLine;
        if (!KeepCard(*outList, card, "BuildInstreamProcRawCardList", iProcessingMode, debug))
            return;
        if (IsPendCard(card)) return;
    }
    KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1407, 3096), TRUE, lastRef, lastLine,
                                iProcessingMode);
}

StatementList* InitializeInstreamProcStatementList(JCLStatement* iProcStmt, int16_t iProcessingMode,
                                                   int32_t debug) {
    StatementList* list = nullptr;
    if (!CreateStmtList(&list, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return nullptr;
    }
    if (AppendStatement(list, iProcStmt, iProcessingMode, debug) == nullptr) {
        DeleteStmtList(list, debug);
        return nullptr;
    }
    return list;
}

char* CloneParmText(const JCLStatement* iStmt, int32_t debug) {
    return iStmt->StatementParms != nullptr ? CloneString(iStmt->StatementParms, debug) : nullptr;
}

// Adds an entry to the procedure list; the entry takes over the lists it is given (they
// are freed here when it cannot be made).
RD_ProcedureHeader* CreateNewProcedure(const char* iProcName, SOURCE_REF iFileReference,
                                       BOOLEAN isInstream, StatementList* iStmtList,
                                       void* iRawCards, const JCLStatement* iParmStmt,
                                       int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_ProcedureHeader), "CreateNewProcedure", debug)) {
        reportMemoryAllocationError(iProcessingMode);
        DeleteStmtList(iStmtList, debug);
        FreeList(iRawCards, debug);
        return nullptr;
    }
    auto* entry = static_cast<RD_ProcedureHeader*>(block);
    entry->procedureName = CloneString(iProcName, debug);
    entry->FileReference = iFileReference;
    entry->isInstreamProc = isInstream;
    entry->StatementList = iStmtList;
    entry->isStatementListBuilt = FALSE;
    entry->rawJclCardsList = iRawCards;
    entry->procedureParms = CloneParmText(iParmStmt, debug);
    if (!AddItemToList(ProcedureList, entry, entry->procedureName, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        FreeString(entry->procedureName, debug);
        FreeString(entry->procedureParms, debug);
        DeleteStmtList(iStmtList, debug);
        FreeList(iRawCards, debug);
        FreeBlockWithDebug(entry, "FreeProcedure", debug);
        return nullptr;
    }
    return entry;
}

// The procedure start record of one call, appended to the deck.
void CreateNewProc(void* arrayJclDeck, const char* iProcName, const RD_ProcedureHeader* iEntry,
                   const JCLStatement* iExecStmt, int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_ProcHeader), "CreateNewProc", debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    auto* header = static_cast<RD_ProcHeader*>(block);
    header->structureType = RD_STRUCT_PROC_START;
    header->procedureName = CloneString(iProcName, debug);
    header->allParms = CloneParmText(iExecStmt, debug);
    header->FileReference = iEntry->FileReference;
    header->isInstreamProc = iEntry->isInstreamProc;
    header->invokingStepFileReference = iExecStmt->FileReference;
    header->invokingStepFileLine = iExecStmt->fileLine;
    header->invokingStepEndFileLine = iExecStmt->EXEC_endFileLine;
    if (!AddItemToList(arrayJclDeck, header, "", debug)) {
        reportMemoryAllocationError(iProcessingMode);
        FreeString(header->procedureName, debug);
        FreeString(header->allParms, debug);
        FreeBlockWithDebug(header, "CreateNewProc", debug);
    }
}

void FreeProcedure(RD_ProcedureHeader* entry, int32_t debug) {
    FreeString(entry->procedureName, debug);
    FreeString(entry->procedureParms, debug);
    if (entry->StatementList != nullptr) DeleteStmtList(entry->StatementList, debug);
    FreeList(entry->rawJclCardsList, debug);
    FreeBlockWithDebug(entry, "FreeProcedure", debug);
}

} // namespace

void InitializeProcedureList() {
    ProcedureList = nullptr;
}

void BuildInstreamProcRawCardList(void** outList, const char* /*jesVersion*/,
                                  int16_t iProcessingMode, int32_t debug) {
    ReadInstreamProcCards(outList, -1, 0, iProcessingMode, debug);
}

void BuildCatalogedProcRawCardList(void** outList, const char* /*jesVersion*/,
                                   int16_t iProcessingMode, int32_t debug) {
    *outList = nullptr;
    if (!CreateList(outList, debug)) {
        *outList = nullptr;
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    SourceLine card{};
    while (ReadNextCard(&card, iProcessingMode, nullptr, debug)) {
        if (!KeepCard(*outList, card, "BuildCatalogedProcRawCardList", iProcessingMode, debug))
            return;
    }
}

void StoreInstreamProcedure(void* /*arrayJclDeck*/, JCLStatement* iProcStmt,
                            const char* /*jesVersion*/, int16_t iProcessingMode, int32_t debug) {
    if (iProcStmt->LabelLength == 0 || iProcStmt->StatementLabel[0] == '\0') {
        ReportAtStatement(iProcStmt, MessageFor(iProcessingMode, 1406, 3095), iProcessingMode);
        return;
    }
    if (!EnsureProcedureList(iProcessingMode, debug)) return;
    if (FindProcedure(iProcStmt->StatementLabel) != nullptr) {
        ReportAtStatement(iProcStmt, MessageFor(iProcessingMode, 1315, 3034), iProcessingMode);
        return;
    }
    SOURCE_REF source = -1;
    GetCurrentSourceReference(&source);
    void* cards = nullptr;
    // Without any card after it, the PROC statement's own last card is the last one read.
    ReadInstreamProcCards(&cards, iProcStmt->FileReference, iProcStmt->EXEC_endFileLine,
                          iProcessingMode, debug);
    if (cards == nullptr || KVRU005() > 4) {
        FreeList(cards, debug);
        return;
    }
    StatementList* list = InitializeInstreamProcStatementList(iProcStmt, iProcessingMode, debug);
    if (list == nullptr) {
        FreeList(cards, debug);
        return;
    }
    CreateNewProcedure(iProcStmt->StatementLabel, source, TRUE, list, cards, iProcStmt,
                       iProcessingMode, debug);
}

void KVR4006_BuildInstreamProcStatementList(void* arrayJclDeck, StatementList* stmtList,
                                            void* rawProcCardsListCursor, const char* jesVersion,
                                            int16_t iProcessingMode, int32_t debug) {
    JCLStatement* stmt = nullptr;
    if (stmtList == nullptr || !CreateJCLStatement(&stmt, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    // The list starts with the PROC statement: its position stands in for the last
    // statement when the cards hold none.
    SOURCE_REF lastRef = -1;
    int32_t lastLine = 0;
    JCLStatement* procStmt = nullptr;
    void* data = nullptr;
    if (FindFirstItem(stmtList->LinkedList, &data)) {
        procStmt = static_cast<JCLStatement*>(data);
        lastRef = procStmt->FileReference;
        lastLine = procStmt->fileLine;
    }
    setExecFound(0);
    setCurrentStepStmt(nullptr);
    bool execMet = false;
    bool pendFound = false;
    void* const outerCursor = getReadingCursor();
    setReadingCursor(rawProcCardsListCursor);
    while (!pendFound &&
           BuildJCLStatement(arrayJclDeck, stmt, jesVersion, iProcessingMode,
                             rawProcCardsListCursor, nullptr, debug) &&
           KVRU005() <= 4) {
        lastRef = stmt->FileReference;
        lastLine = stmt->fileLine;
        switch (JCLStatementType(stmt)) {
        case RD_PEND:
            if (execMet) AppendMarker(stmtList, CreateEndOfStepStmt, iProcessingMode, debug);
            AppendMarker(stmtList, CreateEndOfProcStmt, iProcessingMode, debug);
            pendFound = true;
            break;
        case RD_JOB:
        case RD_JCLLIB:
        case RD_JES2:
        case RD_PROC:
            ReportAtStatement(stmt, MessageFor(iProcessingMode, 1336, 3043), iProcessingMode);
            break;
        case RD_EXEC: {
            setExecFound(1);
            if (execMet) AppendMarker(stmtList, CreateEndOfStepStmt, iProcessingMode, debug);
            execMet = true;
            JCLStatement* copy = AppendStatement(stmtList, stmt, iProcessingMode, debug);
            if (copy != nullptr) setCurrentStepStmt(copy);
            break;
        }
        case RD_DD:
            AppendDDWithData(stmtList, stmt, jesVersion, iProcessingMode, debug);
            break;
        default:
            AppendStatement(stmtList, stmt, iProcessingMode, debug);
            break;
        }
        ReleaseReadingRecordData(stmt, debug);
    }
    setReadingCursor(outerCursor);
    if (!pendFound && KVRU005() <= 4)
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1407, 3096), TRUE, lastRef,
                                    lastLine, iProcessingMode);
    DeleteJCLStatement(stmt, TRUE, debug);
}

RD_ProcedureHeader* GetProcedureStatementList(void* arrayJclDeck, const char* iProcName,
                                              StatementList** outStmtList, JCLStatement* iExecStmt,
                                              const char* jesVersion, int16_t iProcessingMode,
                                              int32_t debug) {
    *outStmtList = nullptr;
    if (!EnsureProcedureList(iProcessingMode, debug)) return nullptr;
    if (RD_ProcedureHeader* entry = FindProcedure(iProcName)) {
        CreateNewProc(arrayJclDeck, iProcName, entry, iExecStmt, iProcessingMode, debug);
        if (entry->isInstreamProc && entry->StatementList != nullptr) {
            void* data = nullptr;
            if (FindFirstItem(entry->StatementList->LinkedList, &data))
                AddStmtParmsToCurrentScope(iProcessingMode, static_cast<JCLStatement*>(data), FALSE,
                                           debug);
            *outStmtList = entry->StatementList;
        }
        return entry;
    }
    OpenCatalogedProc(iProcName, iExecStmt->FileReference, iExecStmt->fileLine, iProcessingMode,
                      debug);
    if (KVRU005() > 4) return nullptr;
    // A procedure that was not found is entered without cards: every call of it in this
    // member then expands to nothing, and the search is not repeated.
    SOURCE_REF source = -1;
    GetCurrentSourceReference(&source);
    void* cards = nullptr;
    BuildCatalogedProcRawCardList(&cards, jesVersion, iProcessingMode, debug);
    if (cards == nullptr) return nullptr;
    RD_ProcedureHeader* entry = CreateNewProcedure(iProcName, source, FALSE, nullptr, cards,
                                                   iExecStmt, iProcessingMode, debug);
    if (entry == nullptr) return nullptr;
    CreateNewProc(arrayJclDeck, iProcName, entry, iExecStmt, iProcessingMode, debug);
    return entry;
}

void CleanProcedureStatements(RD_ProcedureHeader* ProcHeader, int32_t debug) {
    if (ProcHeader == nullptr) return;
    StatementList* list = ProcHeader->StatementList;
    if (ProcHeader->isInstreamProc) {
        // Keep the PROC statement at the head; the call's statements go.
        void* first = nullptr;
        void* last = nullptr;
        if (list != nullptr && FindFirstItem(list->LinkedList, &first)) {
            while (FindLastItem(list->LinkedList, &last) && last != first) {
                UnlinkCurrentItem(list->LinkedList, &last, debug);
                DeleteJCLStatement(static_cast<JCLStatement*>(last), TRUE, debug);
            }
        }
    } else {
        if (list != nullptr) DeleteStmtList(list, debug);
        ProcHeader->StatementList = nullptr;
    }
    ProcHeader->isStatementListBuilt = FALSE;
}

void AddEndProc(void* arrayJclDeck, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_ProcHeader), "AddEndProc", debug)) {
        reportMemoryAllocationError(kModeStandard);
        return;
    }
    auto* header = static_cast<RD_ProcHeader*>(block);
    std::memset(header, 0, sizeof(RD_ProcHeader));
    header->structureType = RD_STRUCT_PROC_END;
    if (!AddItemToList(arrayJclDeck, header, "", debug)) {
        reportMemoryAllocationError(kModeStandard);
        FreeBlockWithDebug(header, "AddEndProc", debug);
    }
}

void FreeProcedureList(int32_t debug) {
    if (ProcedureList == nullptr) return;
    void* data = nullptr;
    while (FindFirstItem(ProcedureList, &data)) {
        UnlinkCurrentItem(ProcedureList, &data, debug);
        if (data != nullptr) FreeProcedure(static_cast<RD_ProcedureHeader*>(data), debug);
    }
    FreeBlockWithDebug(ProcedureList, "FreeProcedureList", debug);
    ProcedureList = nullptr;
}

} // namespace kvr
