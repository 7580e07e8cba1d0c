// The member's procedure list: in-stream procedures stored while the job is read and
// cataloged procedures fetched on their first call, each kept as the cards read from its
// source so that a call rebuilds its statements with that call's symbol values. Also the
// procedure start and end records that frame every call in the expanded deck.
#include "expansion/procedures.h"
#include "base/contexts.h"

#include <cstring>
#include <string>

#include "expansion/statement_list_builder.h"
#include "model/deck_records.h"
#include "reader/card_reader.h"
#include "reader/statement_parser.h"

namespace kvr {
namespace {

void ReleaseProcedure(RD_ProcedureHeader* entry) {
    DeleteRecord(entry, "FreeProcedure");
}

// The member's procedure list, entries keyed by procedure name.
bool EnsureProcedureList(MemberContext& ctx) {
    OwnedList<RD_ProcedureHeader>& procedures = ctx.expansion.procedures;
    procedures.Bind(ReleaseProcedure, "FreeProcedureList");
    if (procedures.Create()) return true;
    reportMemoryAllocationError(ctx);
    return false;
}

RD_ProcedureHeader* FindProcedure(MemberContext& ctx, const char* iProcName) {
    return ctx.expansion.procedures.Find(iProcName);
}

void RemoveProcedure(MemberContext& ctx, const RD_ProcedureHeader* gone) {
    ctx.expansion.procedures.Retain(
        [gone](const RD_ProcedureHeader* entry) { return entry != gone; },
        [](const RD_ProcedureHeader* entry) { return entry->procedureName.get(); });
}

// Appends a copy of the card to a raw card list; FALSE (reported) when memory runs out.
bool KeepCard(MemberContext& ctx, void* cardList, const SourceLine& card, const char* blockName) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(SourceLine), blockName, ctx.run.debug)) {
        reportMemoryAllocationError(ctx);
        return false;
    }
    auto* copy = static_cast<SourceLine*>(block);
    std::memcpy(copy, &card, sizeof(SourceLine));
    if (!AddItemToList(cardList, copy, copy->SourceText, ctx.run.debug)) {
        FreeBlockWithDebug(copy, blockName, ctx.run.debug);
        reportMemoryAllocationError(ctx);
        return false;
    }
    return true;
}

// The cards of an in-stream procedure up to and including its PEND card. When the source
// ends first, 1407 names the last card read (fallbackRef/fallbackLine when there was none).
void ReadInstreamProcCards(MemberContext& ctx, void** outList, SOURCE_REF fallbackRef, int32_t fallbackLine) {
    *outList = nullptr;
    if (!CreateList(outList, ctx.run.debug)) {
        *outList = nullptr;
        reportMemoryAllocationError(ctx);
        return;
    }
    SourceLine card{};
    SOURCE_REF lastRef = fallbackRef;
    int32_t lastLine = fallbackLine;
    while (ReadNextCard(ctx, &card, nullptr)) {
        lastRef = card.FileReference;
        lastLine = card.fileLine;
        if (!KeepCard(ctx, *outList, card, "BuildInstreamProcRawCardList"))
            return;
        if (IsStatementCardOf(card, "PEND")) return;
    }
    KVRWriteMessageWithFileLine(MessageFor(ctx, 1407, 3096), TRUE, lastRef, lastLine,
                                ctx.run.mode);
}

StatementList* InitializeInstreamProcStatementList(MemberContext& ctx, JCLStatement* iProcStmt) {
    StatementList* list = nullptr;
    if (!CreateStmtList(ctx, &list)) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    if (AppendStatement(ctx, list, iProcStmt) == nullptr) {
        DeleteStmtList(list);
        return nullptr;
    }
    return list;
}

char* CloneParmText(MemberContext& ctx, const JCLStatement* iStmt) {
    return iStmt->StatementParms != nullptr ? CloneString(iStmt->StatementParms, ctx.run.debug) : nullptr;
}

// Adds an entry to the procedure list; the entry takes over the lists it is given (they
// are freed here when it cannot be made).
RD_ProcedureHeader* CreateNewProcedure(MemberContext& ctx, const char* iProcName, SOURCE_REF iFileReference,
                                       BOOLEAN isInstream, StatementList* iStmtList,
                                       void* iRawCards, const JCLStatement* iParmStmt) {
    auto* entry = NewRecord<RD_ProcedureHeader>("CreateNewProcedure");
    if (entry == nullptr) {
        reportMemoryAllocationError(ctx);
        DeleteStmtList(iStmtList);
        FreeList(iRawCards, ctx.run.debug);
        return nullptr;
    }
    entry->procedureName = CopyText(iProcName);
    entry->FileReference = iFileReference;
    entry->isInstreamProc = isInstream;
    entry->StatementList = iStmtList;
    entry->isStatementListBuilt = FALSE;
    entry->rawJclCardsList = iRawCards;
    entry->procedureParms.reset(CloneParmText(ctx, iParmStmt));
    if (!ctx.expansion.procedures.Add(entry, entry->procedureName.get())) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    return entry;
}

// The procedure start record of one call, appended to the deck.
void CreateNewProc(MemberContext& ctx, const char* iProcName, const RD_ProcedureHeader* iEntry,
                   const JCLStatement* iExecStmt) {
    auto* header =
        NewDeckItem<RD_ProcHeader>(RD_STRUCT_PROC_START, "CreateNewProc", "FreeProcHeader 7");
    if (header == nullptr) {
        reportMemoryAllocationError(ctx);
        return;
    }
    header->procedureName.reset(CloneString(iProcName, ctx.run.debug));
    header->allParms.reset(CloneParmText(ctx, iExecStmt));
    header->FileReference = iEntry->FileReference;
    header->isInstreamProc = iEntry->isInstreamProc;
    header->invokingStepFileReference = iExecStmt->FileReference;
    header->invokingStepFileLine = iExecStmt->fileLine;
    header->invokingStepEndFileLine = iExecStmt->EXEC_endFileLine;
    if (!ctx.deck.Add(header, "")) reportMemoryAllocationError(ctx);
}

} // namespace

RD_ProcedureHeader::~RD_ProcedureHeader() {
    if (StatementList != nullptr) DeleteStmtList(StatementList);
    FreeList(rawJclCardsList, BlockTraceLevel());
}

void BuildInstreamProcRawCardList(MemberContext& ctx, void** outList) {
    ReadInstreamProcCards(ctx, outList, -1, 0);
}

void BuildCatalogedProcRawCardList(MemberContext& ctx, void** outList) {
    *outList = nullptr;
    if (!CreateList(outList, ctx.run.debug)) {
        *outList = nullptr;
        reportMemoryAllocationError(ctx);
        return;
    }
    SourceLine card{};
    while (ReadNextCard(ctx, &card, nullptr)) {
        if (!KeepCard(ctx, *outList, card, "BuildCatalogedProcRawCardList"))
            return;
    }
}

void StoreInstreamProcedure(MemberContext& ctx, JCLStatement* iProcStmt) {
    if (iProcStmt->LabelLength == 0 || iProcStmt->StatementLabel[0] == '\0') {
        ReportAtStatement(ctx, iProcStmt, MessageFor(ctx, 1406, 3095));
        return;
    }
    if (!EnsureProcedureList(ctx)) return;
    // A cataloged procedure of an earlier job does not count: this job's own hides it.
    if (const RD_ProcedureHeader* earlier = FindProcedure(ctx, iProcStmt->StatementLabel);
        earlier != nullptr && earlier->fromEarlierJob)
        RemoveProcedure(ctx, earlier);
    if (FindProcedure(ctx, iProcStmt->StatementLabel) != nullptr) {
        ReportAtStatement(ctx, iProcStmt, MessageFor(ctx, 1315, 3034));
        return;
    }
    SOURCE_REF source = -1;
    GetCurrentSourceReference(&source);
    void* cards = nullptr;
    // Without any card after it, the PROC statement's own last card is the last one read.
    ReadInstreamProcCards(ctx, &cards, iProcStmt->FileReference, iProcStmt->EXEC_endFileLine);
    if (cards == nullptr || KVRU005() > 4) {
        FreeList(cards, ctx.run.debug);
        return;
    }
    StatementList* list = InitializeInstreamProcStatementList(ctx, iProcStmt);
    if (list == nullptr) {
        FreeList(cards, ctx.run.debug);
        return;
    }
    CreateNewProcedure(ctx, iProcStmt->StatementLabel, source, TRUE, list, cards, iProcStmt);
}

void KVR4006_BuildInstreamProcStatementList(MemberContext& ctx, StatementList* stmtList,
                                            void* rawProcCardsListCursor) {
    JCLStatement* stmt = nullptr;
    if (stmtList == nullptr || !CreateJCLStatement(ctx, &stmt)) {
        reportMemoryAllocationError(ctx);
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
    ctx.listBuilder.execFound = 0;
    ctx.listBuilder.currentStepStatement = nullptr;
    bool execMet = false;
    bool pendFound = false;
    void* const outerCursor = ctx.listBuilder.readingCursor;
    ctx.listBuilder.readingCursor = rawProcCardsListCursor;
    while (!pendFound &&
           BuildJCLStatement(ctx, stmt,
                             rawProcCardsListCursor, nullptr) &&
           KVRU005() <= 4) {
        lastRef = stmt->FileReference;
        lastLine = stmt->fileLine;
        if (KeptAsComments(ctx, stmt)) continue;
        switch (JCLStatementType(stmt)) {
        case RD_PEND:
            if (execMet) AppendMarker(ctx, stmtList, CreateEndOfStepStmt);
            AppendMarker(ctx, stmtList, CreateEndOfProcStmt);
            pendFound = true;
            break;
        case RD_JOB:
        case RD_JCLLIB:
        case RD_JES2:
        case RD_PROC:
            ReportAtStatement(ctx, stmt, MessageFor(ctx, 1336, 3043));
            break;
        case RD_EXEC: {
            ctx.listBuilder.execFound = 1;
            if (execMet) AppendMarker(ctx, stmtList, CreateEndOfStepStmt);
            execMet = true;
            JCLStatement* copy = AppendStatement(ctx, stmtList, stmt);
            if (copy != nullptr) ctx.listBuilder.currentStepStatement = copy;
            break;
        }
        case RD_DD:
            AppendDDWithData(ctx, stmtList, stmt);
            break;
        default:
            AppendStatement(ctx, stmtList, stmt);
            break;
        }
        ReleaseReadingRecordData(ctx, stmt);
        PassOverCardsNotOfTheJob(ctx, stmt);
    }
    ctx.listBuilder.readingCursor = outerCursor;
    if (!pendFound && KVRU005() <= 4)
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1407, 3096), TRUE, lastRef,
                                    lastLine, ctx.run.mode);
    DeleteJCLStatement(stmt, TRUE);
}

RD_ProcedureHeader* GetProcedureStatementList(MemberContext& ctx, const char* iProcName,
                                              StatementList** outStmtList, JCLStatement* iExecStmt) {
    *outStmtList = nullptr;
    if (!EnsureProcedureList(ctx)) return nullptr;
    if (RD_ProcedureHeader* entry = FindProcedure(ctx, iProcName);
        entry != nullptr && entry->fromEarlierJob) {
        // Kept from an earlier job: it serves this one when the search order is the same.
        entry->fromEarlierJob = false;
        if (entry->searchOrder != KVRU940_JobSearchOrderKey()) RemoveProcedure(ctx, entry);
    }
    if (RD_ProcedureHeader* entry = FindProcedure(ctx, iProcName)) {
        CreateNewProc(ctx, iProcName, entry, iExecStmt);
        if (entry->isInstreamProc && entry->StatementList != nullptr) {
            void* data = nullptr;
            if (FindFirstItem(entry->StatementList->LinkedList, &data))
                AddStmtParmsToCurrentScope(ctx, static_cast<JCLStatement*>(data), FALSE);
            *outStmtList = entry->StatementList;
        }
        return entry;
    }
    const std::string searchOrder = KVRU940_JobSearchOrderKey();
    OpenCatalogedProc(iProcName, iExecStmt->FileReference, iExecStmt->fileLine, ctx.run.mode,
                      ctx.run.debug);
    if (KVRU005() > 4) return nullptr;
    // A procedure that was not found is entered without cards: every call of it in this
    // member then expands to nothing, and the search is not repeated.
    SOURCE_REF source = -1;
    GetCurrentSourceReference(&source);
    void* cards = nullptr;
    BuildCatalogedProcRawCardList(ctx, &cards);
    if (cards == nullptr) return nullptr;
    RD_ProcedureHeader* entry = CreateNewProcedure(ctx, iProcName, source, FALSE, nullptr, cards,
                                                   iExecStmt);
    if (entry == nullptr) return nullptr;
    entry->searchOrder = searchOrder;
    CreateNewProc(ctx, iProcName, entry, iExecStmt);
    return entry;
}

void ForgetJobProcedures(MemberContext& ctx) {
    ctx.expansion.procedures.Retain(
        [](const RD_ProcedureHeader* entry) { return !entry->isInstreamProc; },
        [](const RD_ProcedureHeader* entry) { return entry->procedureName.get(); });
    for (RD_ProcedureHeader* entry : ctx.expansion.procedures.Items())
        entry->fromEarlierJob = true;
}

void CleanProcedureStatements(RD_ProcedureHeader* ProcHeader) {
    if (ProcHeader == nullptr) return;
    StatementList* list = ProcHeader->StatementList;
    if (ProcHeader->isInstreamProc) {
        // Keep the PROC statement at the head; the call's statements go.
        void* first = nullptr;
        void* last = nullptr;
        if (list != nullptr && FindFirstItem(list->LinkedList, &first)) {
            while (FindLastItem(list->LinkedList, &last) && last != first) {
                UnlinkCurrentItem(list->LinkedList, &last, BlockTraceLevel());
                DeleteJCLStatement(static_cast<JCLStatement*>(last), TRUE);
            }
        }
    } else {
        if (list != nullptr) DeleteStmtList(list);
        ProcHeader->StatementList = nullptr;
    }
    ProcHeader->isStatementListBuilt = FALSE;
}

void AddEndProc(MemberContext& ctx) {
    auto* header = NewDeckItem<RD_ProcHeader>(RD_STRUCT_PROC_END, "AddEndProc", "FreeProcHeader 8");
    if (header == nullptr || !ctx.deck.Add(header, "")) reportMemoryAllocationError(ctx);
}

} // namespace kvr
