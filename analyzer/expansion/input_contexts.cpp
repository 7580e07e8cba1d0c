// Input contexts and the two stacks of the deck walk: an input context stacks the statement
// lists one walk reads (the job or procedure list with INCLUDE members on top), the context
// stack holds one context per active procedure level and the step-name stack the label of
// each active procedure call. All are limited to 16 entries.
#include <cstring>

#include "driver/run_settings.h"
#include "expansion/deck_internal.h"
#include "expansion/symbols.h"

namespace kvr {
namespace {

RD_InputContext* contextStack[kMaxStackDepth] = {};
int32_t contextStackPtr = 0;
char* stepNameStack[kMaxStackDepth] = {};
int32_t stepNameStackPtr = 0;

void DropTopCursor(RD_InputContext* Context, int32_t debug) {
    const int32_t top = --Context->ListIndex;
    DeleteStmtCursor(Context->InputCursor[top], debug);
    Context->InputCursor[top] = nullptr;
    Context->InputList[top] = nullptr;
}

} // namespace

void ReportWithoutPosition(uint32_t iMsg, int16_t iProcessingMode) {
    KVRWriteMessage(iMsg);
    KVR_Write_MSG_Record("JCL", MsgProgramId(iProcessingMode), static_cast<int32_t>(iMsg));
}

BOOLEAN BeginInputContext(RD_InputContext** outContext, StatementList* iStmtList,
                          int16_t iProcessingMode, int32_t debug) {
    *outContext = nullptr;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_InputContext), "BeginInputContext", debug) == 0) {
        reportMemoryAllocationError(iProcessingMode);
        return FALSE;
    }
    auto* context = static_cast<RD_InputContext*>(block);
    std::memset(context, 0, sizeof *context);
    if (!AddStmtListToContext(context, iStmtList, iProcessingMode, debug)) {
        FreeBlockWithDebug(context, "DeleteInputContext", debug);
        return FALSE;
    }
    *outContext = context;
    return TRUE;
}

BOOLEAN AddStmtListToContext(RD_InputContext* Context, StatementList* iStmtList,
                             int16_t iProcessingMode, int32_t debug) {
    if (Context->ListIndex >= kMaxStackDepth) {
        ReportWithoutPosition(MessageFor(iProcessingMode, 1350, 3054), iProcessingMode);
        return FALSE;
    }
    // A member read to nothing has no list: there is nothing to walk, which is no error.
    if (iStmtList == nullptr) return TRUE;
    void* cursor = nullptr;
    if (!CreateStmtCursor(iStmtList, &cursor, debug) || cursor == nullptr) {
        reportMemoryAllocationError(iProcessingMode);
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

bool NextCookedStatement(RD_InputContext* Context, JCLStatement** outCooked,
                         int16_t iProcessingMode, int32_t debug) {
    *outCooked = nullptr;
    JCLStatement* raw = nullptr;
    if (!GetNextStmt(Context, &raw, debug)) return false;
    if (SubstituteStmtSymbolics(raw, outCooked, iProcessingMode, debug)) return true;
    DeleteJCLStatement(*outCooked, TRUE, debug);
    *outCooked = nullptr;
    return false;
}

BOOLEAN GetNextStmt(RD_InputContext* Context, JCLStatement** outStmt, int32_t debug) {
    *outStmt = nullptr;
    while (Context != nullptr && Context->ListIndex > 0) {
        if (GetStmtViaCursor(Context->InputCursor[Context->ListIndex - 1], outStmt)) return TRUE;
        DropTopCursor(Context, debug);
    }
    *outStmt = nullptr;
    return FALSE;
}

void DeleteInputContext(RD_InputContext* Context, int32_t debug) {
    if (Context == nullptr) return;
    while (Context->ListIndex > 0)
        DropTopCursor(Context, debug);
    FreeBlockWithDebug(Context, "DeleteInputContext", debug);
}

BOOLEAN PushContext(RD_InputContext* Context, int16_t iProcessingMode, int32_t /*debug*/) {
    if (contextStackPtr >= kMaxStackDepth) {
        ReportWithoutPosition(MessageFor(iProcessingMode, 1381, 3079), iProcessingMode);
        return FALSE;
    }
    contextStack[contextStackPtr++] = Context;
    return TRUE;
}

BOOLEAN PopContext(int16_t iProcessingMode) {
    if (contextStackPtr == 0) {
        ReportWithoutPosition(MessageFor(iProcessingMode, 1383, 3081), iProcessingMode);
        return FALSE;
    }
    contextStack[--contextStackPtr] = nullptr;
    return TRUE;
}

RD_InputContext* QueryContext(int16_t iProcessingMode) {
    if (contextStackPtr == 0) {
        ReportWithoutPosition(MessageFor(iProcessingMode, 1382, 3080), iProcessingMode);
        return nullptr;
    }
    return contextStack[contextStackPtr - 1];
}

BOOLEAN PushStepName(const char* StepName, int16_t iProcessingMode, int32_t debug) {
    if (stepNameStackPtr >= kMaxStackDepth) {
        ReportWithoutPosition(MessageFor(iProcessingMode, 1381, 3079), iProcessingMode);
        return FALSE;
    }
    stepNameStack[stepNameStackPtr++] = CloneString(StepName != nullptr ? StepName : "", debug);
    return TRUE;
}

const char* QueryStepName(int16_t iProcessingMode) {
    if (stepNameStackPtr == 0) {
        ReportWithoutPosition(MessageFor(iProcessingMode, 1382, 3080), iProcessingMode);
        return nullptr;
    }
    return stepNameStack[stepNameStackPtr - 1];
}

BOOLEAN PopStepName(int16_t iProcessingMode, int32_t debug) {
    if (stepNameStackPtr == 0) {
        ReportWithoutPosition(MessageFor(iProcessingMode, 1383, 3081), iProcessingMode);
        return FALSE;
    }
    --stepNameStackPtr;
    FreeString(stepNameStack[stepNameStackPtr], debug);
    stepNameStack[stepNameStackPtr] = nullptr;
    return TRUE;
}

int32_t ContextStackDepth() {
    return contextStackPtr;
}
int32_t StepNameStackDepth() {
    return stepNameStackPtr;
}

// A member whose analysis was abandoned (an allocation failure unwound it) can leave
// contexts and names behind; they are released here so the next member starts clean.
void InitializeContextStack(int32_t debug) {
    while (contextStackPtr > 0) {
        --contextStackPtr;
        DeleteInputContext(contextStack[contextStackPtr], debug);
        contextStack[contextStackPtr] = nullptr;
    }
}

void InitializeStepNameStack(int32_t debug) {
    while (stepNameStackPtr > 0) {
        --stepNameStackPtr;
        FreeString(stepNameStack[stepNameStackPtr], debug);
        stepNameStack[stepNameStackPtr] = nullptr;
    }
}

} // namespace kvr
