// The stack of symbolic-parameter scopes: one symbol table for the job's SET values and one
// for each procedure call (its EXEC overrides, PROC defaults and inner SETs). Lookups search
// from the innermost scope outwards, and last the run's system symbols; new values go to the
// update scope, which is the innermost one except while a finished call's overrides are
// still being read.
#include <cstring>

#include "base/diagnostics.h"
#include "reader/symbols.h"
#include "reader/system_symbols.h"

namespace kvr {
namespace {

// Never matched: scopes are found by position, not by key.
const char kScopeKey[] = "";

// The scope below the innermost one, or null when there is only one. Moves the list's own
// current item, which nothing else uses.
SymbolTable* ScopeBelowInnermost(SymbolScopes& symbols) {
    void* data = nullptr;
    if (!FindLastItem(symbols.scopes.Handle(), &data)) return nullptr;
    if (!GetPreviousItem(symbols.scopes.Handle(), &data)) return nullptr;
    return static_cast<SymbolTable*>(data);
}

// Releases the stack once its last scope is gone.
void ReleaseStackWhenEmpty(SymbolScopes& symbols) {
    if (!symbols.scopes.Empty()) return;
    symbols.scopes.Clear();
    symbols.update = nullptr;
}

// Bounded copy into a kSymbolValueSize area: a longer value (a SET value joined from
// several cards can be) is cut at 255 characters instead of overrunning the caller's area.
void CopyValue(char* target, const char* value) {
    const size_t length = value != nullptr ? strnlen(value, kSymbolValueSize - 1) : 0;
    if (length > 0) std::memcpy(target, value, length);
    target[length] = '\0';
}

} // namespace

BOOLEAN BeginSymbolScope(MemberContext& ctx) {
    SymbolScopes& symbols = ctx.symbols;
    if (!symbols.scopes.Create()) {
        reportMemoryAllocationError(ctx);
        return FALSE;
    }
    SymbolTable* scope = nullptr;
    if (!CreateSymbolTable(&scope, ctx.run.debug)) {
        reportMemoryAllocationError(ctx);
        return FALSE;
    }
    if (!symbols.scopes.Add(scope, kScopeKey)) {
        reportMemoryAllocationError(ctx);
        return FALSE;
    }
    symbols.update = scope;
    return TRUE;
}

BOOLEAN BeginOverrideReadScope(MemberContext& ctx) {
    if (!BeginSymbolScope(ctx)) return FALSE;
    ctx.symbols.overrideReadScope = ctx.symbols.update;
    return TRUE;
}

BOOLEAN EndSymbolScope(MemberContext& ctx) {
    SymbolScopes& symbols = ctx.symbols;
    void* data = nullptr;
    if (!FindLastItem(symbols.scopes.Handle(), &data)) {
        ReleaseStackWhenEmpty(symbols);
        return FALSE;
    }
    SymbolTable* below = ScopeBelowInnermost(symbols);
    if (below != nullptr) symbols.update = below;

    FindLastItem(symbols.scopes.Handle(), &data);
    if (data == symbols.overrideReadScope) symbols.overrideReadScope = nullptr;
    UnlinkCurrentItem(symbols.scopes.Handle(), &data, ctx.run.debug);
    DeleteSymbolTable(static_cast<SymbolTable*>(data), ctx.run.debug);
    ReleaseStackWhenEmpty(symbols);
    return TRUE;
}

BOOLEAN EndSymbolScopeForUpdate(MemberContext& ctx) {
    SymbolTable* below = ScopeBelowInnermost(ctx.symbols);
    if (below == nullptr) return FALSE;
    ctx.symbols.update = below;
    return TRUE;
}

void SetScopedSymbolValue(MemberContext& ctx, const char* NameArg, const char* ValueArg,
                          BOOLEAN replace) {
    SymbolTable* scope = ctx.symbols.update;
    if (scope == nullptr || NameArg == nullptr) return;
    Symbol* symbol = nullptr;
    if (FindSymbol(scope, NameArg, &symbol)) {
        if (replace) SetSymbolValue(symbol, ValueArg != nullptr ? ValueArg : "", ctx.run.debug);
        return;
    }
    if (AddSymbol(scope, NameArg, &symbol, ctx.run.debug))
        SetSymbolValue(symbol, ValueArg != nullptr ? ValueArg : "", ctx.run.debug);
}

void SetScopedSymbolDefaultValue(MemberContext& ctx, const char* NameArg, const char* ValueArg) {
    SetScopedSymbolValue(ctx, NameArg, ValueArg, FALSE);
}

int16_t GetScopedSymbolValue(MemberContext& ctx, const char* NameArg, char* ValueArg) {
    if (ValueArg != nullptr) ValueArg[0] = '\0';
    if (NameArg == nullptr) return 0;
    // Innermost outwards: the first scope that knows the name decides.
    void* list = ctx.symbols.scopes.Handle();
    void* data = nullptr;
    void* innermost = nullptr;
    for (int32_t more = list != nullptr ? FindLastItem(list, &data) : 0; more;
         more = GetPreviousItem(list, &data)) {
        if (innermost == nullptr) innermost = data;
        Symbol* symbol = nullptr;
        if (FindSymbol(static_cast<SymbolTable*>(data), NameArg, &symbol)) {
            if (ValueArg != nullptr)
                CopyValue(ValueArg, HasValue(symbol) ? SymbolValue(symbol) : "");
            return 1;
        }
    }
    if (innermost != nullptr && innermost == ctx.symbols.overrideReadScope) return 0;
    return FindSystemSymbol(ctx.run, NameArg, ValueArg) ? 1 : 0;
}

} // namespace kvr
