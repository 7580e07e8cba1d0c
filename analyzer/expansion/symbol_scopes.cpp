// The stack of symbolic-parameter scopes: one symbol table for the job's SET values and one
// for each procedure call (its EXEC overrides, PROC defaults and inner SETs). Lookups search
// from the innermost scope outwards; new values go to the update scope, which is the
// innermost one except while a finished call's overrides are still being read.
#include <cstring>

#include "expansion/symbols.h"

namespace kvr {
namespace {

// Never matched: scopes are found by position, not by key.
const char kScopeKey[] = "";

void* SymbolTableList = nullptr;           // SymbolTable items, the last is the innermost
SymbolTable* CurrentUpdateScope = nullptr; // receives SET, override and default values

// The scope below the innermost one, or null when there is only one. Moves the list's own
// current item, which nothing else uses.
SymbolTable* ScopeBelowInnermost() {
    void* data = nullptr;
    if (!FindLastItem(SymbolTableList, &data)) return nullptr;
    if (!GetPreviousItem(SymbolTableList, &data)) return nullptr;
    return static_cast<SymbolTable*>(data);
}

// Releases the stack once its last scope is gone.
void ReleaseStackWhenEmpty(int32_t debug) {
    void* data = nullptr;
    if (SymbolTableList == nullptr || FindFirstItem(SymbolTableList, &data)) return;
    FreeList(SymbolTableList, debug);
    SymbolTableList = nullptr;
    CurrentUpdateScope = nullptr;
}

// Bounded copy into a kSymbolValueSize area: a longer value (a SET value joined from
// several cards can be) is cut at 255 characters instead of overrunning the caller's area.
void CopyValue(char* target, const char* value) {
    const size_t length = value != nullptr ? strnlen(value, kSymbolValueSize - 1) : 0;
    if (length > 0) std::memcpy(target, value, length);
    target[length] = '\0';
}

} // namespace

BOOLEAN BeginSymbolScope(int16_t iProcessingMode, int32_t debug) {
    if (SymbolTableList == nullptr && CreateList(&SymbolTableList, debug) == 0) {
        reportMemoryAllocationError(iProcessingMode);
        return FALSE;
    }
    SymbolTable* scope = nullptr;
    if (!CreateSymbolTable(&scope, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return FALSE;
    }
    if (AddItemToList(SymbolTableList, scope, kScopeKey, debug) == 0) {
        DeleteSymbolTable(scope, debug);
        reportMemoryAllocationError(iProcessingMode);
        return FALSE;
    }
    CurrentUpdateScope = scope;
    return TRUE;
}

BOOLEAN EndSymbolScope(int32_t debug) {
    void* data = nullptr;
    if (!FindLastItem(SymbolTableList, &data)) {
        ReleaseStackWhenEmpty(debug);
        return FALSE;
    }
    SymbolTable* below = ScopeBelowInnermost();
    if (below != nullptr) CurrentUpdateScope = below;

    FindLastItem(SymbolTableList, &data);
    UnlinkCurrentItem(SymbolTableList, &data, debug);
    DeleteSymbolTable(static_cast<SymbolTable*>(data), debug);
    ReleaseStackWhenEmpty(debug);
    return TRUE;
}

BOOLEAN EndSymbolScopeForUpdate() {
    SymbolTable* below = ScopeBelowInnermost();
    if (below == nullptr) return FALSE;
    CurrentUpdateScope = below;
    return TRUE;
}

void SetScopedSymbolValue(const char* NameArg, const char* ValueArg, BOOLEAN replace,
                          int32_t debug) {
    if (CurrentUpdateScope == nullptr || NameArg == nullptr) return;
    Symbol* symbol = nullptr;
    if (FindSymbol(CurrentUpdateScope, NameArg, &symbol)) {
        if (replace) SetSymbolValue(symbol, ValueArg != nullptr ? ValueArg : "", debug);
        return;
    }
    if (AddSymbol(CurrentUpdateScope, NameArg, &symbol, debug))
        SetSymbolValue(symbol, ValueArg != nullptr ? ValueArg : "", debug);
}

void SetScopedSymbolDefaultValue(const char* NameArg, const char* ValueArg, int32_t debug) {
    SetScopedSymbolValue(NameArg, ValueArg, FALSE, debug);
}

int16_t GetScopedSymbolValue(const char* NameArg, char* ValueArg) {
    if (ValueArg != nullptr) ValueArg[0] = '\0';
    if (NameArg == nullptr || SymbolTableList == nullptr) return 0;
    // Innermost outwards: the first scope that knows the name decides.
    void* data = nullptr;
    for (int32_t more = FindLastItem(SymbolTableList, &data); more;
         more = GetPreviousItem(SymbolTableList, &data)) {
        Symbol* symbol = nullptr;
        if (FindSymbol(static_cast<SymbolTable*>(data), NameArg, &symbol)) {
            if (ValueArg != nullptr)
                CopyValue(ValueArg, HasValue(symbol) ? SymbolValue(symbol) : "");
            return 1;
        }
    }
    return 0;
}

void InitializeScopedSymbolData(int32_t debug) {
    while (EndSymbolScope(debug)) {
    }
    CurrentUpdateScope = nullptr;
}

} // namespace kvr
