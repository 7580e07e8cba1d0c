// Input contexts and the two stacks of the deck walk: an input context stacks the statement
// lists one walk reads (the job or procedure list with INCLUDE members on top), the context
// stack holds one context per active procedure level and the step-name stack the label of
// each active procedure call. All are limited to 16 entries.
#include <cstring>

#include "base/contexts.h"
#include "expansion/deck_internal.h"
#include "expansion/symbols.h"

namespace kvr {
namespace {


void DropTopCursor(RD_InputContext* Context) {
    const int32_t top = --Context->ListIndex;
    DeleteStmtCursor(Context->InputCursor[top]);
    Context->InputCursor[top] = nullptr;
    Context->InputList[top] = nullptr;
}

} // namespace

BOOLEAN BeginInputContext(MemberContext& ctx, RD_InputContext** outContext, StatementList* iStmtList) {
    *outContext = nullptr;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_InputContext), "BeginInputContext", ctx.run.debug) == 0) {
        reportMemoryAllocationError(ctx);
        return FALSE;
    }
    auto* context = static_cast<RD_InputContext*>(block);
    std::memset(context, 0, sizeof *context);
    if (!AddStmtListToContext(ctx, context, iStmtList)) {
        FreeBlockWithDebug(context, "DeleteInputContext", ctx.run.debug);
        return FALSE;
    }
    *outContext = context;
    return TRUE;
}

BOOLEAN AddStmtListToContext(MemberContext& ctx, RD_InputContext* Context, StatementList* iStmtList) {
    if (Context->ListIndex >= kMaxStackDepth) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1350, 3054));
        return FALSE;
    }
    // A member read to nothing has no list: there is nothing to walk, which is no error.
    if (iStmtList == nullptr) return TRUE;
    void* cursor = nullptr;
    if (!CreateStmtCursor(ctx, iStmtList, &cursor) || cursor == nullptr) {
        reportMemoryAllocationError(ctx);
        return FALSE;
    }
    Context->InputList[Context->ListIndex] = iStmtList;
    Context->InputCursor[Context->ListIndex++] = cursor;
    return TRUE;
}

bool ContextReadsList(const RD_InputContext* Context, const StatementList* iStmtList) {
    for (int32_t index = 0; Context != nullptr && index < Context->ListIndex; ++index)
        if (Context->InputList[index] == iStmtList) return true;
    return false;
}

bool NextCookedStatement(MemberContext& ctx, RD_InputContext* Context, JCLStatement** outCooked) {
    *outCooked = nullptr;
    JCLStatement* raw = nullptr;
    if (!GetNextStmt(ctx, Context, &raw)) return false;
    if (SubstituteStmtSymbolics(ctx, raw, outCooked)) return true;
    DeleteJCLStatement(*outCooked, TRUE);
    *outCooked = nullptr;
    return false;
}

BOOLEAN GetNextStmt(MemberContext& ctx, RD_InputContext* Context, JCLStatement** outStmt) {
    *outStmt = nullptr;
    while (Context != nullptr && Context->ListIndex > 0) {
        if (GetStmtViaCursor(Context->InputCursor[Context->ListIndex - 1], outStmt)) return TRUE;
        DropTopCursor(Context);
    }
    *outStmt = nullptr;
    return FALSE;
}

void DeleteInputContext(RD_InputContext* Context) {
    if (Context == nullptr) return;
    while (Context->ListIndex > 0)
        DropTopCursor(Context);
    FreeBlockWithDebug(Context, "DeleteInputContext", BlockTraceLevel());
}

BOOLEAN PushContext(MemberContext& ctx, RD_InputContext* Context) {
    if (ctx.expansion.contextDepth >= kMaxStackDepth) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1381, 3079));
        return FALSE;
    }
    ctx.expansion.contexts[ctx.expansion.contextDepth++] = Context;
    return TRUE;
}

BOOLEAN PopContext(MemberContext& ctx) {
    if (ctx.expansion.contextDepth == 0) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1383, 3081));
        return FALSE;
    }
    ctx.expansion.contexts[--ctx.expansion.contextDepth] = nullptr;
    return TRUE;
}

RD_InputContext* QueryContext(MemberContext& ctx) {
    if (ctx.expansion.contextDepth == 0) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1382, 3080));
        return nullptr;
    }
    return ctx.expansion.contexts[ctx.expansion.contextDepth - 1];
}

BOOLEAN PushStepName(MemberContext& ctx, const char* StepName) {
    if (ctx.expansion.stepNameDepth >= kMaxStackDepth) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1381, 3079));
        return FALSE;
    }
    ctx.expansion.stepNames[ctx.expansion.stepNameDepth++] = CopyTextOrEmpty(StepName);
    return TRUE;
}

const char* QueryStepName(MemberContext& ctx) {
    if (ctx.expansion.stepNameDepth == 0) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1382, 3080));
        return nullptr;
    }
    return ctx.expansion.stepNames[ctx.expansion.stepNameDepth - 1].get();
}

BOOLEAN PopStepName(MemberContext& ctx) {
    if (ctx.expansion.stepNameDepth == 0) {
        ReportWithoutPosition(ctx, MessageFor(ctx, 1383, 3081));
        return FALSE;
    }
    ctx.expansion.stepNames[--ctx.expansion.stepNameDepth].reset();
    return TRUE;
}

int32_t ContextStackDepth(const MemberContext& ctx) {
    return ctx.expansion.contextDepth;
}
int32_t StepNameStackDepth(const MemberContext& ctx) {
    return ctx.expansion.stepNameDepth;
}

// A member whose analysis was abandoned (an allocation failure unwound it) can leave
// contexts and names behind; they are released here so the next member starts clean.
void InitializeContextStack(MemberContext& ctx) {
    while (ctx.expansion.contextDepth > 0) {
        --ctx.expansion.contextDepth;
        DeleteInputContext(ctx.expansion.contexts[ctx.expansion.contextDepth]);
        ctx.expansion.contexts[ctx.expansion.contextDepth] = nullptr;
    }
}

} // namespace kvr
