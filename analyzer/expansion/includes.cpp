// The member's include list: each INCLUDE member is read from its library once (again for a
// job whose search order differs) and kept as its cards; every INCLUDE of it builds the
// statements afresh from those cards, so that they are substituted with the symbol values
// in force at that INCLUDE and the SET statements among them take effect again. Its
// comments are kept at its first INCLUDE.
#include <string>

#include "base/contexts.h"
#include "expansion/procedures.h"
#include "expansion/statement_list_builder.h"
#include "reader/statement_list.h"

namespace kvr {
namespace {

void ReleaseInclude(RD_IncludeHeader* entry) {
    DeleteRecord(entry, "IncludeHeader");
}

// The member's include list, entries keyed by member name.
bool EnsureIncludeList(MemberContext& ctx) {
    OwnedList<RD_IncludeHeader>& includes = ctx.expansion.includes;
    includes.Bind(ReleaseInclude, "IncludeList");
    if (includes.Create()) return true;
    reportMemoryAllocationError(ctx);
    return false;
}

// Adds an entry that takes over the card list (freed here when the entry cannot be made).
RD_IncludeHeader* CreateNewInclude(MemberContext& ctx, const char* NameArg, SOURCE_REF iFileReference,
                                   void* iRawCards) {
    auto* entry = NewRecord<RD_IncludeHeader>("CreateNewInclude");
    if (entry == nullptr) {
        reportMemoryAllocationError(ctx);
        FreeList(iRawCards, ctx.run.debug);
        return nullptr;
    }
    entry->IncludeName = CopyText(NameArg);
    entry->FileReference = iFileReference;
    entry->rawJclCardsList = iRawCards;
    if (!ctx.expansion.includes.Add(entry, entry->IncludeName.get())) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    return entry;
}

} // namespace

RD_IncludeHeader::~RD_IncludeHeader() {
    for (StatementList* list : inclusions)
        DeleteStmtList(list);
    FreeList(rawJclCardsList, BlockTraceLevel());
}

namespace {

// Reads the member's cards from its library; false when the analysis must stop. A member
// that was not found gets no cards: later INCLUDEs of it expand to nothing without another
// search.
bool FetchInclude(MemberContext& ctx, const char* NameArg, JCLStatement* iStmt, SOURCE_REF* outSource,
                  void** outCards) {
    OpenIncludedMember(NameArg, iStmt->FileReference, iStmt->fileLine, ctx.run.mode, ctx.run.debug);
    if (KVRU005() > 4) return false;
    GetCurrentSourceReference(outSource);
    BuildCatalogedProcRawCardList(ctx, outCards);
    return *outCards != nullptr;
}

// An entry kept from an earlier job serves this one when the search order is the same.
RD_IncludeHeader* TakeOverFromEarlierJob(MemberContext& ctx, RD_IncludeHeader* entry, const char* NameArg,
                                        JCLStatement* iStmt) {
    entry->fromEarlierJob = false;
    const char* order = KVRU940_JobSearchOrderKey();
    if (entry->searchOrder == order) return entry;
    entry->searchOrder = order;
    SOURCE_REF source = -1;
    void* cards = nullptr;
    if (!FetchInclude(ctx, NameArg, iStmt, &source, &cards)) return nullptr;
    FreeList(entry->rawJclCardsList, ctx.run.debug);
    entry->rawJclCardsList = cards;
    entry->FileReference = source;
    entry->commentsKept = false;
    return entry;
}

} // namespace

RD_IncludeHeader* GetIncludeMember(MemberContext& ctx, const char* NameArg, JCLStatement* iStmt) {
    if (!EnsureIncludeList(ctx)) return nullptr;
    if (RD_IncludeHeader* known = ctx.expansion.includes.Find(NameArg); known != nullptr)
        return known->fromEarlierJob ? TakeOverFromEarlierJob(ctx, known, NameArg, iStmt) : known;
    const std::string order = KVRU940_JobSearchOrderKey();
    SOURCE_REF source = -1;
    void* cards = nullptr;
    if (!FetchInclude(ctx, NameArg, iStmt, &source, &cards)) return nullptr;
    RD_IncludeHeader* entry = CreateNewInclude(ctx, NameArg, source, cards);
    if (entry != nullptr) entry->searchOrder = order;
    return entry;
}

void ForgetJobIncludes(MemberContext& ctx) {
    for (RD_IncludeHeader* entry : ctx.expansion.includes.Items()) {
        for (StatementList* list : entry->inclusions)
            DeleteStmtList(list);
        entry->inclusions.clear();
        entry->fromEarlierJob = true;
    }
}

StatementList* BuildInclusion(MemberContext& ctx, RD_IncludeHeader* entry) {
    void* cursor = nullptr;
    if (entry == nullptr || entry->rawJclCardsList == nullptr ||
        KVR_CreateCursor(entry->rawJclCardsList, &cursor, ctx.run.debug) == 0 || cursor == nullptr)
        return nullptr;
    StatementList* list = nullptr;
    ctx.listBuilder.commentsKept = entry->commentsKept;
    BuildIncludeStatementList(ctx, &list, cursor);
    ctx.listBuilder.commentsKept = false;
    entry->commentsKept = true;
    DeleteCursor(cursor, ctx.run.debug);
    if (list == nullptr) return nullptr;
    // The entry keeps the list alive while its statements are walked, up to the job's end.
    entry->inclusions.push_back(list);
    return list;
}

} // namespace kvr
