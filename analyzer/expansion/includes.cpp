// The member's include list: each INCLUDE member is read and built into a statement list
// once, with the symbol values in force at its first INCLUDE, and every later INCLUDE of
// it in the member walks the same statements.
#include "base/contexts.h"
#include "expansion/statement_list_builder.h"

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

// Adds an entry that takes over iStmtList (freed here when the entry cannot be made).
void CreateNewInclude(MemberContext& ctx, const char* NameArg, SOURCE_REF iFileReference, StatementList* iStmtList) {
    auto* entry = NewRecord<RD_IncludeHeader>("CreateNewInclude");
    if (entry == nullptr) {
        reportMemoryAllocationError(ctx);
        DeleteStmtList(iStmtList);
        return;
    }
    entry->IncludeName = CopyText(NameArg);
    entry->FileReference = iFileReference;
    entry->StatementList = iStmtList;
    if (!ctx.expansion.includes.Add(entry, entry->IncludeName.get()))
        reportMemoryAllocationError(ctx);
}

} // namespace

RD_IncludeHeader::~RD_IncludeHeader() {
    if (StatementList != nullptr) DeleteStmtList(StatementList);
}

StatementList* GetIncludeStatementList(MemberContext& ctx, const char* NameArg, JCLStatement* iStmt) {
    if (!EnsureIncludeList(ctx)) return nullptr;
    if (RD_IncludeHeader* known = ctx.expansion.includes.Find(NameArg); known != nullptr)
        return known->StatementList;
    OpenIncludedMember(NameArg, iStmt->FileReference, iStmt->fileLine, ctx.run.mode, ctx.run.debug);
    if (KVRU005() > 4) return nullptr;
    // A member that was not found is entered with an empty list: later INCLUDEs of it
    // expand to nothing without another search.
    SOURCE_REF source = -1;
    GetCurrentSourceReference(&source);
    StatementList* list = nullptr;
    BuildIncludeStatementList(ctx, &list);
    if (list == nullptr) return nullptr;
    CreateNewInclude(ctx, NameArg, source, list);
    // The list is handed out only when the entry keeps it alive.
    RD_IncludeHeader* entry = ctx.expansion.includes.Find(NameArg);
    return entry != nullptr ? entry->StatementList : nullptr;
}

} // namespace kvr
