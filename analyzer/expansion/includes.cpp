// The job's include list: each INCLUDE member is read from its library once per job and
// kept as its cards; every INCLUDE of it builds the statements afresh from those cards, so
// that they are substituted with the symbol values in force at that INCLUDE and the SET
// statements among them take effect again. Its comments are kept at its first INCLUDE.
#include "base/contexts.h"
#include "expansion/procedures.h"
#include "expansion/statement_list_builder.h"
#include "reader/statement_list.h"

namespace kvr {
namespace {

void ReleaseInclude(RD_IncludeHeader* entry) {
    DeleteRecord(entry, "IncludeHeader");
}

// The job's include list, entries keyed by member name.
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

RD_IncludeHeader* GetIncludeMember(MemberContext& ctx, const char* NameArg, JCLStatement* iStmt) {
    if (!EnsureIncludeList(ctx)) return nullptr;
    if (RD_IncludeHeader* known = ctx.expansion.includes.Find(NameArg); known != nullptr)
        return known;
    OpenIncludedMember(NameArg, iStmt->FileReference, iStmt->fileLine, ctx.run.mode, ctx.run.debug);
    if (KVRU005() > 4) return nullptr;
    // A member that was not found is entered without cards: later INCLUDEs of it expand to
    // nothing without another search.
    SOURCE_REF source = -1;
    GetCurrentSourceReference(&source);
    void* cards = nullptr;
    BuildCatalogedProcRawCardList(ctx, &cards);
    if (cards == nullptr) return nullptr;
    return CreateNewInclude(ctx, NameArg, source, cards);
}

StatementList* BuildInclusion(MemberContext& ctx, RD_IncludeHeader* entry) {
    void* cursor = nullptr;
    if (entry == nullptr || entry->rawJclCardsList == nullptr ||
        KVR_CreateCursor(entry->rawJclCardsList, &cursor, ctx.run.debug) == 0 || cursor == nullptr)
        return nullptr;
    StatementList* list = nullptr;
    ctx.listBuilder.commentsKept = !entry->inclusions.empty();
    BuildIncludeStatementList(ctx, &list, cursor);
    ctx.listBuilder.commentsKept = false;
    DeleteCursor(cursor, ctx.run.debug);
    if (list == nullptr) return nullptr;
    // The entry keeps the list alive while its statements are walked, up to the job's end.
    entry->inclusions.push_back(list);
    return list;
}

} // namespace kvr
