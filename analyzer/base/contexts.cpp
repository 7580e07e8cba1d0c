// The contexts' own parts: what a fresh context starts with and what its parts give back
// when it goes. Everything else a context holds is released by the handles that hold it.
#include "base/contexts.h"

namespace kvr {
namespace {

void ReleaseSymbolTable(SymbolTable* table) { DeleteSymbolTable(table, BlockTraceLevel()); }

} // namespace

RunContext::RunContext() = default;
RunContext::~RunContext() = default;

SymbolScopes::SymbolScopes() : scopes(ReleaseSymbolTable, "FreeList") {}

OverrideState::~OverrideState() {
    if (concatCursor != nullptr) DeleteCursor(concatCursor, BlockTraceLevel());
}

ExpansionState::ExpansionState() = default;

MemberContext::MemberContext(RunContext& runContext)
    : run(runContext) {}

// The deck goes last: the stacks and lists above may still point into its records.
MemberContext::~MemberContext() = default;

} // namespace kvr
