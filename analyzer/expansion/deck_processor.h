// The deck processor: a member's job statement list is walked statement by statement,
// procedure calls are expanded in place (nested up to 16 deep), INCLUDE members are pushed
// onto the walk, and the result is the member's expanded deck.
#ifndef KVR_EXPANSION_DECK_PROCESSOR_H
#define KVR_EXPANSION_DECK_PROCESSOR_H

#include "reader/statement_list.h"
#include "base/contexts.h"

namespace kvr {


// One statement-list walk: a stack of up to 16 statement cursors, the top read first.
struct RD_InputContext {
    void* InputCursor[kMaxStackDepth];
    StatementList* InputList[kMaxStackDepth]; // the list each cursor reads
    int32_t ListIndex;
};

// TRUE when the member was expanded to its end with the maximum severity at most 4.
BOOLEAN ProcessJclDeck(MemberContext& ctx);
void ProcessProcInvocation(MemberContext& ctx, JCLStatement* iStmt);
void ProcessIncludeCard(MemberContext& ctx, JCLStatement* iStmt, RD_InputContext* Context);
// The procedure an EXEC calls: its first positional parameter (from the sixth character
// on when it is a keyword parameter such as PROC=name). Points into the statement.
const char* QueryProcedureName(MemberContext& ctx, JCLStatement* iStmt);

BOOLEAN BeginInputContext(MemberContext& ctx, RD_InputContext** outContext, StatementList* iStmtList);
BOOLEAN AddStmtListToContext(MemberContext& ctx, RD_InputContext* Context, StatementList* iStmtList);
// True when the context is reading iStmtList already (an INCLUDE member including itself).
bool ContextReadsList(const RD_InputContext* Context, const StatementList* iStmtList);
BOOLEAN GetNextStmt(MemberContext& ctx, RD_InputContext* Context, JCLStatement** outStmt);
void DeleteInputContext(RD_InputContext* Context);

BOOLEAN PushContext(MemberContext& ctx, RD_InputContext* Context);
BOOLEAN PopContext(MemberContext& ctx);
RD_InputContext* QueryContext(MemberContext& ctx);
BOOLEAN PushStepName(MemberContext& ctx, const char* StepName);
const char* QueryStepName(MemberContext& ctx);
BOOLEAN PopStepName(MemberContext& ctx);
void InitializeContextStack(MemberContext& ctx);

// Debug listing of the expanded deck on standard output.
void DumpJclDeckToStdout(MemberContext& ctx);

} // namespace kvr

#endif
