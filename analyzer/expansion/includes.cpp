// The member's include list: each INCLUDE member is read and built into a statement list
// once, with the symbol values in force at its first INCLUDE, and every later INCLUDE of
// it in the member walks the same statements.
#include "driver/run_settings.h"
#include "expansion/statement_list_builder.h"

namespace kvr {
namespace {

void* IncludeList = nullptr; // RD_IncludeHeader entries keyed by member name

bool EnsureIncludeList(int16_t iProcessingMode, int32_t debug) {
    if (IncludeList != nullptr) return true;
    if (CreateList(&IncludeList, debug)) return true;
    IncludeList = nullptr;
    reportMemoryAllocationError(iProcessingMode);
    return false;
}

// Adds an entry that takes over iStmtList (freed here when the entry cannot be made).
void CreateNewInclude(const char* NameArg, SOURCE_REF iFileReference, StatementList* iStmtList,
                      int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_IncludeHeader), "CreateNewInclude", debug)) {
        reportMemoryAllocationError(iProcessingMode);
        DeleteStmtList(iStmtList, debug);
        return;
    }
    auto* entry = static_cast<RD_IncludeHeader*>(block);
    entry->IncludeName = CloneString(NameArg, debug);
    entry->FileReference = iFileReference;
    entry->StatementList = iStmtList;
    if (!AddItemToList(IncludeList, entry, entry->IncludeName, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        FreeString(entry->IncludeName, debug);
        DeleteStmtList(iStmtList, debug);
        FreeBlockWithDebug(entry, "IncludeHeader", debug);
    }
}

} // namespace

void InitializeIncludeList() {
    IncludeList = nullptr;
}

StatementList* GetIncludeStatementList(void* arrayJclDeck, const char* NameArg, JCLStatement* iStmt,
                                       const char* jesVersion, int16_t iProcessingMode,
                                       int32_t debug) {
    if (!EnsureIncludeList(iProcessingMode, debug)) return nullptr;
    void* data = nullptr;
    if (FindItemWithKey(IncludeList, NameArg, &data))
        return static_cast<RD_IncludeHeader*>(data)->StatementList;
    OpenIncludedMember(NameArg, iStmt->FileReference, iStmt->fileLine, iProcessingMode, debug);
    if (KVRU005() > 4) return nullptr;
    // A member that was not found is entered with an empty list: later INCLUDEs of it
    // expand to nothing without another search.
    SOURCE_REF source = -1;
    GetCurrentSourceReference(&source);
    StatementList* list = nullptr;
    BuildIncludeStatementList(arrayJclDeck, &list, jesVersion, iProcessingMode, debug);
    if (list == nullptr) return nullptr;
    CreateNewInclude(NameArg, source, list, iProcessingMode, debug);
    // The list is handed out only when the entry keeps it alive.
    if (!FindItemWithKey(IncludeList, NameArg, &data)) return nullptr;
    return static_cast<RD_IncludeHeader*>(data)->StatementList;
}

void FreeIncludeList(int32_t debug) {
    if (IncludeList == nullptr) return;
    void* data = nullptr;
    while (FindFirstItem(IncludeList, &data)) {
        UnlinkCurrentItem(IncludeList, &data, debug);
        auto* entry = static_cast<RD_IncludeHeader*>(data);
        if (entry == nullptr) continue;
        FreeString(entry->IncludeName, debug);
        if (entry->StatementList != nullptr) DeleteStmtList(entry->StatementList, debug);
        FreeBlockWithDebug(entry, "IncludeHeader", debug);
    }
    FreeBlockWithDebug(IncludeList, "IncludeList", debug);
    IncludeList = nullptr;
}

} // namespace kvr
