// Procedure calls: an EXEC that names no program opens a symbol scope with its keyword
// parameters, has the procedure's statements built for this call and walks them in place
// with its EXEC parameter overrides applied to the procedure's steps, then applies the
// override statements that follow the EXEC to the expanded steps.
#include <cstring>
#include <string>

#include "base/contexts.h"
#include "expansion/deck_internal.h"
#include "expansion/exec_overrides.h"
#include "expansion/overrides.h"
#include "expansion/statement_dispatch.h"
#include "expansion/statement_lists.h"
#include "expansion/symbols.h"

namespace kvr {
namespace {

constexpr size_t kProcKeywordLength = 5; // "PROC=": the name starts at the sixth character

// What one call has set up so far; UnwindCall undoes it in reverse order.
struct ProcCall {
    bool scopeOpen = false;
    bool stepNamePushed = false;
    RD_ProcedureHeader* proc = nullptr;
    bool statementsBuilt = false; // the procedure's statement list was built by this call
    RD_InputContext* context = nullptr;
    bool contextPushed = false;
    bool nestingRaised = false;
};

// Splits NAME=VALUE at the first "=" and strips the value's apostrophes.
void SplitKeywordParm(const char* parm, std::string& name, std::string& value) {
    const char* equals = std::strchr(parm, '=');
    name.assign(parm, static_cast<size_t>(equals - parm));
    std::string work(equals + 1);
    value = StripApostrophes(work.data());
}

template <typename SetSymbol>
void SetKeywordSymbols(MemberContext& ctx, JCLStatement* iStmt, int32_t firstParm, SetSymbol set) {
    const int32_t count = JCLStatementParmCount(ctx, iStmt);
    std::string name;
    std::string value;
    for (int32_t sequence = count; sequence >= firstParm; --sequence) {
        char* parm = nullptr;
        if (!JCLStatementPositionalParm(ctx, iStmt, sequence, &parm) || parm == nullptr)
            continue;
        if (!ParmHasKeyword(parm)) continue;
        SplitKeywordParm(parm, name, value);
        set(name.c_str(), value.c_str());
    }
}

// Builds the statements of this call from the procedure's raw cards.
StatementList* BuildCallStatements(MemberContext& ctx, ProcCall& call, StatementList* inStream) {
    RD_ProcedureHeader* proc = call.proc;
    // Without cached cards there is nothing to build: a null cursor would make the builders
    // read on in the current source.
    void* cards = nullptr;
    if (proc->rawJclCardsList == nullptr ||
        KVR_CreateCursor(proc->rawJclCardsList, &cards, ctx.run.debug) == 0 || cards == nullptr)
        return proc->isInstreamProc ? proc->StatementList : nullptr;
    StatementList* list = nullptr;
    if (proc->isInstreamProc) {
        list = inStream != nullptr ? inStream : proc->StatementList;
        KVR4006_BuildInstreamProcStatementList(ctx, list, cards);
    } else {
        KVR4006_BuildCatalogedProcStatementList(ctx, &list, cards);
        proc->StatementList = list;
    }
    proc->isStatementListBuilt = TRUE;
    call.statementsBuilt = true;
    DeleteCursor(cards, ctx.run.debug);
    return list;
}

void ReleaseCallStatements(MemberContext& ctx, ProcCall& call) {
    if (call.statementsBuilt) {
        CleanProcedureStatements(call.proc);
        call.statementsBuilt = false;
    }
}

// Undoes a call that stops before its procedure was walked. A start record already in the
// deck gets its end record, so the deck stays balanced.
void UnwindCall(MemberContext& ctx, ProcCall& call) {
    if (call.proc != nullptr) AddEndProc(ctx);
    if (call.nestingRaised) DecrementProcNestingLevel(ctx);
    if (call.contextPushed) PopContext(ctx);
    DeleteInputContext(call.context);
    if (call.stepNamePushed) PopStepName(ctx);
    if (call.scopeOpen) EndSymbolScope(ctx);
    ReleaseCallStatements(ctx, call);
}

} // namespace

const char* QueryProcedureName(MemberContext& ctx, JCLStatement* iStmt) {
    char* parm = nullptr;
    if (!JCLStatementPositionalParm(ctx, iStmt, 1, &parm) || parm == nullptr)
        return "";
    if (!ParmHasKeyword(parm)) return parm;
    // PROC=name: the name starts after the five characters of "PROC=", whatever the keyword;
    // a shorter parameter names nothing rather than reading past its end.
    const size_t length = std::strlen(parm);
    return parm + (length < kProcKeywordLength ? length : kProcKeywordLength);
}

void ProcessProcExec(MemberContext& ctx, JCLStatement* iStmt) {
    SetKeywordSymbols(ctx, iStmt, 2, [&ctx](const char* name, const char* value) {
                          SetScopedSymbolValue(ctx, name, value, TRUE);
                      });
}

void ProcessProcHeader(MemberContext& ctx, JCLStatement* iStmt) {
    SetKeywordSymbols(ctx, iStmt, 1, [&ctx](const char* name, const char* value) {
                          SetScopedSymbolDefaultValue(ctx, name, value);
                      });
}

void ProcessProcInvocation(MemberContext& ctx, JCLStatement* iStmt) {
    const int16_t mode = ctx.run.mode;
    // The name points into the EXEC statement's parameters, which live through the call.
    const char* procName = QueryProcedureName(ctx, iStmt);
    ProcCall call;
    if (!BeginSymbolScope(ctx)) {
        reportMemoryAllocationError(ctx);
        return;
    }
    call.scopeOpen = true;
    ProcessProcExec(ctx, iStmt);
    const char* label = iStmt->StatementLabel;
    call.stepNamePushed = PushStepName(ctx, label[0] != '\0' ? label : "NULLNAME");
    if (!call.stepNamePushed || KVRU005() > 4) return UnwindCall(ctx, call);

    StatementList* inStream = nullptr;
    call.proc = GetProcedureStatementList(ctx, procName, &inStream, iStmt);
    if (call.proc == nullptr || KVRU005() > 4) return UnwindCall(ctx, call);
    // The procedure's statements are in use by an enclosing call: it calls itself, which
    // would nest to the depth limit with every call at every level (exponential work).
    if (call.proc->isStatementListBuilt) {
        ReportAtStatement(ctx, MessageFor(ctx, 1381, 3079), iStmt);
        return UnwindCall(ctx, call);
    }
    StatementList* list =
        BuildCallStatements(ctx, call, inStream);
    if (KVRU005() > 4) return UnwindCall(ctx, call);

    if (BeginInputContext(ctx, &call.context, list))
        call.contextPushed = PushContext(ctx, call.context);
    if (!call.contextPushed) return UnwindCall(ctx, call);
    IncrementProcNestingLevel(ctx);
    call.nestingRaised = true;
    // Without a job there is no step table: the procedure is not walked.
    RD_StepCursor* cursor = GetStepCursor(ctx);
    if (cursor == nullptr || KVRU005() > 4) {
        if (cursor != nullptr) DeleteStepCursor(cursor);
        return UnwindCall(ctx, call);
    }

    BeginExecOverrides(ctx, iStmt);
    ProcessProcStatements(ctx, call.context);
    EndExecOverrides(ctx, iStmt);
    AddEndProc(ctx);
    DecrementProcNestingLevel(ctx);
    PopContext(ctx);
    DeleteInputContext(call.context);
    PopStepName(ctx);

    InitializeOverrideState(ctx);
    if (!EndSymbolScopeForUpdate(ctx)) {
        ReportAtStatement(ctx, MessageFor(ctx, 1342, 3048), iStmt);
        DeleteStepCursor(cursor);
        EndSymbolScope(ctx);
        ReleaseCallStatements(ctx, call);
        return;
    }
    AdvanceStepCursor(cursor, TRUE);
    if (ContextStackDepth(ctx) > 0 && KVRU005() <= 4)
        ProcessOverrideStatements(ctx, QueryContext(ctx), cursor);
    InitializeOverrideState(ctx);
    DeleteStepCursor(cursor);
    if (!EndSymbolScope(ctx)) ReportAtStatement(ctx, MessageFor(ctx, 1342, 3048), iStmt);
    ReleaseCallStatements(ctx, call);
}

void ProcessProcStatements(MemberContext& ctx, RD_InputContext* Context) {
    const int16_t mode = ctx.run.mode;
    bool FirstPass = true;
    JCLStatement* cooked = nullptr;
    while (NextCookedStatement(ctx, Context, &cooked)) {
        bool endOfProcedure = false;
        switch (JCLStatementType(cooked)) {
        case RD_DELIMITER:
        case RD_PEND:
            endOfProcedure = true;
            break;
        case RD_INCLUDE:
            ProcessIncludeCard(ctx, cooked, Context);
            break;
        case RD_PROC:
            if (FirstPass)
                ProcessProcHeader(ctx, cooked);
            else
                ReportAtStatement(ctx, MessageFor(ctx, 1336, 3043), cooked);
            break;
        default:
            FirstPass = false;
            if (IsStatementValidInProcedure(cooked)) {
                if (JCLStatementType(cooked) == RD_EXEC) ApplyExecOverrides(ctx, cooked);
                ProcessOneStatement(ctx, cooked);
            } else {
                ReportAtStatement(ctx, MessageFor(ctx, 1380, 3078), cooked);
            }
            break;
        }
        DeleteJCLStatement(cooked, TRUE);
        if (endOfProcedure || KVRU005() > 4) break;
    }
}

void ProcessOverrideStatements(MemberContext& ctx, RD_InputContext* Context,
                               RD_StepCursor* StartCursor) {
    const int16_t mode = ctx.run.mode;
    JCLStatement* cooked = nullptr;
    while (NextCookedStatement(ctx, Context, &cooked)) {
        bool endOfStep = false;
        switch (JCLStatementType(cooked)) {
        case RD_DD: {
            // Every override starts its step search from the procedure's first step.
            RD_StepCursor* copy = DuplicateStepCursor(ctx, StartCursor);
            if (copy != nullptr) {
                ProcessDDOverrideOrAdd(ctx, cooked, copy);
                DeleteStepCursor(copy);
            }
            break;
        }
        case RD_EXEC:
            break;
        case RD_INCLUDE:
            ProcessIncludeCard(ctx, cooked, Context);
            break;
        case RD_STEP_END:
            endOfStep = true;
            break;
        case RD_QUILLO_OPC:
            AddQuilloOpc(ctx, cooked);
            break;
        default:
            ProcessOneStatement(ctx, cooked);
            break;
        }
        DeleteJCLStatement(cooked, TRUE);
        if (endOfStep || KVRU005() > 4) break;
    }
}

} // namespace kvr
