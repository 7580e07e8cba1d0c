// Procedure calls: an EXEC that names no program opens a symbol scope with its keyword
// parameters, has the procedure's statements built for this call and walks them in place,
// then applies the override statements that follow the EXEC to the expanded steps.
#include <cstring>
#include <string>

#include "driver/run_settings.h"
#include "expansion/deck_internal.h"
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
void SetKeywordSymbols(JCLStatement* iStmt, int32_t firstParm, int16_t mode, int32_t debug,
                       SetSymbol set) {
    const int32_t count = JCLStatementParmCount(iStmt, mode, debug);
    std::string name;
    std::string value;
    for (int32_t sequence = count; sequence >= firstParm; --sequence) {
        char* parm = nullptr;
        if (!JCLStatementPositionalParm(iStmt, sequence, &parm, mode, debug) || parm == nullptr)
            continue;
        if (!ParmHasKeyword(parm)) continue;
        SplitKeywordParm(parm, name, value);
        set(name.c_str(), value.c_str());
    }
}

// Builds the statements of this call from the procedure's raw cards.
StatementList* BuildCallStatements(void* arrayJclDeck, ProcCall& call, StatementList* inStream,
                                   const char* jesVersion, int16_t mode, int32_t debug) {
    RD_ProcedureHeader* proc = call.proc;
    // Without cached cards there is nothing to build: a null cursor would make the builders
    // read on in the current source.
    void* cards = nullptr;
    if (proc->rawJclCardsList == nullptr ||
        KVR_CreateCursor(proc->rawJclCardsList, &cards, debug) == 0 || cards == nullptr)
        return proc->isInstreamProc ? proc->StatementList : nullptr;
    StatementList* list = nullptr;
    if (proc->isInstreamProc) {
        list = inStream != nullptr ? inStream : proc->StatementList;
        KVR4006_BuildInstreamProcStatementList(arrayJclDeck, list, cards, jesVersion, mode, debug);
    } else {
        KVR4006_BuildCatalogedProcStatementList(arrayJclDeck, &list, cards, jesVersion, mode,
                                                debug);
        proc->StatementList = list;
    }
    proc->isStatementListBuilt = TRUE;
    call.statementsBuilt = true;
    DeleteCursor(cards, debug);
    return list;
}

void ReleaseCallStatements(ProcCall& call, int32_t debug) {
    if (call.statementsBuilt) {
        CleanProcedureStatements(call.proc, debug);
        call.statementsBuilt = false;
    }
}

// Undoes a call that stops before its procedure was walked. A start record already in the
// deck gets its end record, so the deck stays balanced.
void UnwindCall(void* arrayJclDeck, ProcCall& call, int16_t mode, int32_t debug) {
    if (call.proc != nullptr) AddEndProc(arrayJclDeck, debug);
    if (call.nestingRaised) DecrementProcNestingLevel(mode);
    if (call.contextPushed) PopContext(mode);
    DeleteInputContext(call.context, debug);
    if (call.stepNamePushed) PopStepName(mode, debug);
    if (call.scopeOpen) EndSymbolScope(debug);
    ReleaseCallStatements(call, debug);
}

} // namespace

const char* QueryProcedureName(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    char* parm = nullptr;
    if (!JCLStatementPositionalParm(iStmt, 1, &parm, iProcessingMode, debug) || parm == nullptr)
        return "";
    if (!ParmHasKeyword(parm)) return parm;
    // PROC=name: the name starts after the five characters of "PROC=", whatever the keyword;
    // a shorter parameter names nothing rather than reading past its end.
    const size_t length = std::strlen(parm);
    return parm + (length < kProcKeywordLength ? length : kProcKeywordLength);
}

void ProcessProcExec(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    SetKeywordSymbols(iStmt, 2, iProcessingMode, debug,
                      [debug](const char* name, const char* value) {
                          SetScopedSymbolValue(name, value, TRUE, debug);
                      });
}

void ProcessProcHeader(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    SetKeywordSymbols(iStmt, 1, iProcessingMode, debug,
                      [debug](const char* name, const char* value) {
                          SetScopedSymbolDefaultValue(name, value, debug);
                      });
}

void ProcessProcInvocation(void* arrayJclDeck, JCLStatement* iStmt, const char* iSiteName,
                           const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    const int16_t mode = iProcessingMode;
    // The name points into the EXEC statement's parameters, which live through the call.
    const char* procName = QueryProcedureName(iStmt, mode, debug);
    ProcCall call;
    if (!BeginSymbolScope(mode, debug)) {
        reportMemoryAllocationError(mode);
        return;
    }
    call.scopeOpen = true;
    ProcessProcExec(iStmt, mode, debug);
    const char* label = iStmt->StatementLabel;
    call.stepNamePushed = PushStepName(label[0] != '\0' ? label : "NULLNAME", mode, debug);
    if (!call.stepNamePushed || KVRU005() > 4) return UnwindCall(arrayJclDeck, call, mode, debug);

    StatementList* inStream = nullptr;
    call.proc = GetProcedureStatementList(arrayJclDeck, procName, &inStream, iStmt, jesVersion,
                                          mode, debug);
    if (call.proc == nullptr || KVRU005() > 4) return UnwindCall(arrayJclDeck, call, mode, debug);
    // The procedure's statements are in use by an enclosing call: it calls itself, which
    // would nest to the depth limit with every call at every level (exponential work).
    if (call.proc->isStatementListBuilt) {
        ReportAtStatement(MessageFor(mode, 1381, 3079), iStmt, mode);
        return UnwindCall(arrayJclDeck, call, mode, debug);
    }
    StatementList* list =
        BuildCallStatements(arrayJclDeck, call, inStream, jesVersion, mode, debug);
    if (KVRU005() > 4) return UnwindCall(arrayJclDeck, call, mode, debug);

    if (BeginInputContext(&call.context, list, mode, debug))
        call.contextPushed = PushContext(call.context, mode, debug);
    if (!call.contextPushed) return UnwindCall(arrayJclDeck, call, mode, debug);
    IncrementProcNestingLevel(mode);
    call.nestingRaised = true;
    // Without a job there is no step table: the procedure is not walked.
    RD_StepCursor* cursor = GetStepCursor(mode, debug);
    if (cursor == nullptr || KVRU005() > 4) {
        if (cursor != nullptr) DeleteStepCursor(cursor, debug);
        return UnwindCall(arrayJclDeck, call, mode, debug);
    }

    ProcessProcStatements(arrayJclDeck, call.context, iSiteName, jesVersion, mode, debug);
    AddEndProc(arrayJclDeck, debug);
    DecrementProcNestingLevel(mode);
    PopContext(mode);
    DeleteInputContext(call.context, debug);
    PopStepName(mode, debug);

    InitializeOverrideState(debug);
    if (!EndSymbolScopeForUpdate()) {
        ReportAtStatement(MessageFor(mode, 1342, 3048), iStmt, mode);
        DeleteStepCursor(cursor, debug);
        EndSymbolScope(debug);
        ReleaseCallStatements(call, debug);
        return;
    }
    AdvanceStepCursor(cursor, TRUE);
    if (ContextStackDepth() > 0 && KVRU005() <= 4)
        ProcessOverrideStatements(arrayJclDeck, QueryContext(mode), cursor, iSiteName, jesVersion,
                                  mode, debug);
    InitializeOverrideState(debug);
    DeleteStepCursor(cursor, debug);
    if (!EndSymbolScope(debug)) ReportAtStatement(MessageFor(mode, 1342, 3048), iStmt, mode);
    ReleaseCallStatements(call, debug);
}

void ProcessProcStatements(void* arrayJclDeck, RD_InputContext* Context, const char* iSiteName,
                           const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    const int16_t mode = iProcessingMode;
    bool FirstPass = true;
    JCLStatement* cooked = nullptr;
    while (NextCookedStatement(Context, &cooked, mode, debug)) {
        bool endOfProcedure = false;
        switch (JCLStatementType(cooked)) {
        case RD_DELIMITER:
        case RD_PEND:
            endOfProcedure = true;
            break;
        case RD_INCLUDE:
            ProcessIncludeCard(arrayJclDeck, cooked, Context, jesVersion, mode, debug);
            break;
        case RD_PROC:
            if (FirstPass)
                ProcessProcHeader(cooked, mode, debug);
            else
                ReportAtStatement(MessageFor(mode, 1336, 3043), cooked, mode);
            break;
        default:
            FirstPass = false;
            if (IsStatementValidInProcedure(cooked))
                ProcessOneStatement(arrayJclDeck, cooked, iSiteName, jesVersion, mode, debug);
            else
                ReportAtStatement(MessageFor(mode, 1380, 3078), cooked, mode);
            break;
        }
        DeleteJCLStatement(cooked, TRUE, debug);
        if (endOfProcedure || KVRU005() > 4) break;
    }
}

void ProcessOverrideStatements(void* arrayJclDeck, RD_InputContext* Context,
                               RD_StepCursor* StartCursor, const char* iSiteName,
                               const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    const int16_t mode = iProcessingMode;
    JCLStatement* cooked = nullptr;
    while (NextCookedStatement(Context, &cooked, mode, debug)) {
        bool endOfStep = false;
        switch (JCLStatementType(cooked)) {
        case RD_DD: {
            // Every override starts its step search from the procedure's first step.
            RD_StepCursor* copy = DuplicateStepCursor(StartCursor, mode, debug);
            if (copy != nullptr) {
                ProcessDDOverrideOrAdd(cooked, copy, mode, debug);
                DeleteStepCursor(copy, debug);
            }
            break;
        }
        case RD_EXEC:
            break;
        case RD_INCLUDE:
            ProcessIncludeCard(arrayJclDeck, cooked, Context, jesVersion, mode, debug);
            break;
        case RD_STEP_END:
            endOfStep = true;
            break;
        case RD_QUILLO_OPC:
            AddQuilloOpc(arrayJclDeck, cooked, mode, debug);
            break;
        default:
            ProcessOneStatement(arrayJclDeck, cooked, iSiteName, jesVersion, mode, debug);
            break;
        }
        DeleteJCLStatement(cooked, TRUE, debug);
        if (endOfStep || KVRU005() > 4) break;
    }
}

} // namespace kvr
