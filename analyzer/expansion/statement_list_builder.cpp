// The loop that reads a source into a statement list, shared by the job list, the list of
// a cataloged procedure call and the list of an INCLUDE member: SET statements take effect
// at once, procedure calls open their read-time symbol scope, every EXEC is preceded by an
// end-of-step marker, and everything else goes to a callback particular to the list.
#include "expansion/statement_list_builder.h"

#include <cstdio>
#include <string>

#include "driver/run_settings.h"
#include "expansion/exec_statement.h"
#include "expansion/symbols.h"
#include "reader/instream_data.h"
#include "reader/statement_parser.h"

namespace kvr {

JCLStatement* AppendStatement(StatementList* iStmtList, JCLStatement* iStmt,
                              int16_t iProcessingMode, int32_t debug) {
    if (iStmtList == nullptr) return nullptr;
    JCLStatement* copy = nullptr;
    if (!AddStmtToList(iStmt, iStmtList, &copy, debug) || copy == nullptr) {
        reportMemoryAllocationError(iProcessingMode);
        return nullptr;
    }
    return copy;
}

void AppendMarker(StatementList* iStmtList, MarkerMaker makeMarker, int16_t iProcessingMode,
                  int32_t debug) {
    if (iStmtList == nullptr) return;
    JCLStatement* marker = nullptr;
    if (!makeMarker(&marker, debug) || marker == nullptr) {
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    AppendStatement(iStmtList, marker, iProcessingMode, debug);
    DeleteJCLStatement(marker, TRUE, debug);
}

void ReportAtStatement(const JCLStatement* iStmt, uint32_t iMsg, int16_t iProcessingMode) {
    KVRWriteMessageWithFileLine(iMsg, TRUE, iStmt->FileReference, iStmt->fileLine, iProcessingMode);
}

void ReleaseReadingRecordData(JCLStatement* iStmt, int32_t debug) {
    if (iStmt->inStreamData == nullptr) return;
    DeleteInstreamSpool(iStmt->inStreamData, debug);
    iStmt->inStreamData = nullptr;
}

// Splits the statement's operands and puts every NAME=VALUE into the update scope, from
// the last parameter to the first, so that with replacement the first occurrence wins.
void AddStmtParmsToCurrentScope(int16_t iProcessingMode, JCLStatement* procStmt,
                                BOOLEAN replaceIfExist, int32_t debug) {
    char* parmText = nullptr;
    if (procStmt == nullptr || !JCLStatementParmText(procStmt, &parmText)) return;
    void* parms = nullptr;
    CreateParmStructure(&parms, parmText, FALSE, iProcessingMode, debug);
    if (parms == nullptr) return;
    for (int32_t index = QueryParmCount(parms); index >= 1; --index) {
        char* parm = nullptr;
        if (!QueryPositionalParm(index, parms, &parm) || !ParmHasKeyword(parm)) continue;
        const std::string text(parm);
        const size_t equals = text.find('=');
        const std::string name = text.substr(0, equals);
        std::string value = text.substr(equals + 1);
        SetScopedSymbolValue(name.c_str(), StripApostrophes(value.data()), replaceIfExist, debug);
    }
    DeleteParmStructure(parms, static_cast<BOOLEAN>(debug != 0));
}

// Appends a DD statement; the data cards that follow it go to the list's own copy, which
// keeps them, in a procedure or an INCLUDE member as in the job (a SYSTSIN in a procedure
// holds the DSN RUN command the run-unit detection looks for).
void AppendDDWithData(StatementList* stmtList, JCLStatement* stmt, const char* jesVersion,
                      int16_t iProcessingMode, int32_t debug) {
    JCLStatement* copy = AppendStatement(stmtList, stmt, iProcessingMode, debug);
    if (copy != nullptr) BypassInstreamData(copy, jesVersion, iProcessingMode, debug);
}

namespace {

// Read-time call scope: an EXEC that calls a procedure puts its keyword parameters into a
// new scope, so that the override DD statements after it are read with the call's values.
// The statement reader closes the scope at the first statement that is not an override.
void HandleProcOverrideSymbolScope(JCLStatement* iStmt, BOOLEAN* lastExecWasProcInvocation,
                                   int16_t iProcessingMode, int32_t debug) {
    if (JCLStatementType(iStmt) != RD_EXEC) return;
    if (ExecInvokesProgram(iStmt, iProcessingMode, debug)) return;
    if (!BeginSymbolScope(iProcessingMode, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    AddStmtParmsToCurrentScope(iProcessingMode, iStmt, TRUE, debug);
    *lastExecWasProcInvocation = TRUE;
}

void AppendExec(StatementList* iStmtList, JCLStatement* iStmt, int16_t iProcessingMode,
                int32_t debug) {
    setExecFound(1);
    AppendMarker(iStmtList, CreateEndOfStepStmt, iProcessingMode, debug);
    if (KVRU005() > 4) return;
    JCLStatement* copy = AppendStatement(iStmtList, iStmt, iProcessingMode, debug);
    if (copy != nullptr) setCurrentStepStmt(copy);
}

// Handles one statement just read; FALSE when reading must stop.
bool HandleStatement(void* arrayJclDeck, JCLStatement* stmt, StatementList* list,
                     StatementListCallback FctArg, BOOLEAN* lastExecWasProcInvocation,
                     const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    if (JCLStatementType(stmt) == RD_SET) {
        ProcessSetCard(stmt, iProcessingMode, debug);
        if (KVRU005() > 4) return false;
    }
    HandleProcOverrideSymbolScope(stmt, lastExecWasProcInvocation, iProcessingMode, debug);
    if (KVRU005() > 4) return false;
    if (JCLStatementType(stmt) == RD_EXEC)
        AppendExec(list, stmt, iProcessingMode, debug);
    else
        FctArg(arrayJclDeck, stmt, list, jesVersion, iProcessingMode, debug);
    ReleaseReadingRecordData(stmt, debug);
    return KVRU005() <= 4;
}

// The callback of the job list.
void ProcessJobStatement(void* arrayJclDeck, JCLStatement* stmt, StatementList* stmtList,
                         const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    switch (JCLStatementType(stmt)) {
    case RD_JOB:
        setJobCount(getJobCount() + 1);
        if (getJobCount() > 1) {
            // The end of the last step comes first: it ends the override statements of a
            // procedure call that closes the job before, which would else take this job's
            // JOB statement for one of their own.
            AppendMarker(stmtList, CreateEndOfStepStmt, iProcessingMode, debug);
            AppendMarker(stmtList, CreateEndOfJobStmt, iProcessingMode, debug);
            setExecFound(0);
        }
        AppendStatement(stmtList, stmt, iProcessingMode, debug);
        break;
    case RD_DD:
        AppendDDWithData(stmtList, stmt, jesVersion, iProcessingMode, debug);
        break;
    case RD_PROC: {
        JCLStatement* cooked = nullptr;
        if (SubstituteStmtSymbolics(stmt, &cooked, iProcessingMode, debug) == 0) break;
        StoreInstreamProcedure(arrayJclDeck, cooked, jesVersion, iProcessingMode, debug);
        DeleteJCLStatement(cooked, TRUE, debug);
        break;
    }
    default:
        AppendStatement(stmtList, stmt, iProcessingMode, debug);
        break;
    }
}

// The callback of a cataloged procedure's list.
void ProcessProcStatement(void* /*arrayJclDeck*/, JCLStatement* stmt, StatementList* stmtList,
                          const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    const RD_JCL_STATEMENT_TYPE type = JCLStatementType(stmt);
    if (getStmtCount() == 1 && type != RD_PROC) {
        AppendMarker(stmtList, CreateStartOfProcStmt, iProcessingMode, debug);
        if (KVRU005() > 4) return;
    }
    switch (type) {
    case RD_PROC:
        if (getStmtCount() > 1) {
            ReportAtStatement(stmt, MessageFor(iProcessingMode, 1336, 3043), iProcessingMode);
            break;
        }
        AppendStatement(stmtList, stmt, iProcessingMode, debug);
        if (KVRU005() > 4) break;
        AddStmtParmsToCurrentScope(iProcessingMode, stmt, FALSE, debug);
        break;
    case RD_PEND:
    case RD_DELIMITER:
        AppendMarker(stmtList, CreateEndOfStepStmt, iProcessingMode, debug);
        if (KVRU005() > 4) break;
        AppendStatement(stmtList, stmt, iProcessingMode, debug);
        break;
    case RD_DD:
        AppendDDWithData(stmtList, stmt, jesVersion, iProcessingMode, debug);
        break;
    default:
        AppendStatement(stmtList, stmt, iProcessingMode, debug);
        break;
    }
}

// The callback of an INCLUDE member's list: job-level and procedure-framing statements
// have no place in an included member.
void ProcessIncludeStatement(void* /*arrayJclDeck*/, JCLStatement* stmt, StatementList* stmtList,
                             const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    switch (JCLStatementType(stmt)) {
    case RD_PROC:
    case RD_PEND:
    case RD_JOB:
    case RD_JCLLIB:
    case RD_JES2:
        ReportAtStatement(stmt, MessageFor(iProcessingMode, 1340, 3046), iProcessingMode);
        break;
    case RD_DD:
        AppendDDWithData(stmtList, stmt, jesVersion, iProcessingMode, debug);
        break;
    default:
        AppendStatement(stmtList, stmt, iProcessingMode, debug);
        break;
    }
}

// Every list builder starts without a current step: the EXEC copy of an earlier list may
// already have been freed with that list.
void ResetStepTracking() {
    setExecFound(0);
    setCurrentStepStmt(nullptr);
}

} // namespace

void BuildStatementList(void* arrayJclDeck, void* rawProcCardsListCursor,
                        StatementList** outStmtList, StatementListCallback FctArg,
                        const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    *outStmtList = nullptr;
    StatementList* list = nullptr;
    JCLStatement* stmt = nullptr;
    if (!CreateStmtList(&list, debug) || !CreateJCLStatement(&stmt, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        if (list != nullptr) DeleteStmtList(list, debug);
        return;
    }
    setStmtCount(0);
    void* const outerCursor = getReadingCursor();
    setReadingCursor(rawProcCardsListCursor);
    BOOLEAN lastExecWasProcInvocation = FALSE;
    while (BuildJCLStatement(arrayJclDeck, stmt, jesVersion, iProcessingMode,
                             rawProcCardsListCursor, &lastExecWasProcInvocation, debug) &&
           KVRU005() <= 4) {
        setStmtCount(getStmtCount() + 1);
        if (!HandleStatement(arrayJclDeck, stmt, list, FctArg, &lastExecWasProcInvocation,
                             jesVersion, iProcessingMode, debug))
            break;
    }
    // A procedure call at the very end of the source leaves its read-time scope open: no
    // further statement came to close it, and later values must not land in it.
    if (lastExecWasProcInvocation) EndSymbolScope(debug);
    setReadingCursor(outerCursor);
    DeleteJCLStatement(stmt, TRUE, debug);
    *outStmtList = list;
}

void BuildJobStatementList(void* arrayJclDeck, StatementList** outStmtList, const char* jesVersion,
                           int16_t iProcessingMode, int32_t debug) {
    setJobCount(0);
    ResetStepTracking();
    BuildStatementList(arrayJclDeck, nullptr, outStmtList, ProcessJobStatement, jesVersion,
                       iProcessingMode, debug);
    AppendMarker(*outStmtList, CreateEndOfStepStmt, iProcessingMode, debug);
    reportStmtList("Job", *outStmtList, debug);
}

void KVR4006_BuildCatalogedProcStatementList(void* arrayJclDeck, StatementList** outStmtList,
                                             void* rawProcCardsListCursor, const char* jesVersion,
                                             int16_t iProcessingMode, int32_t debug) {
    ResetStepTracking();
    BuildStatementList(arrayJclDeck, rawProcCardsListCursor, outStmtList, ProcessProcStatement,
                       jesVersion, iProcessingMode, debug);
    AppendMarker(*outStmtList, CreateEndOfStepStmt, iProcessingMode, debug);
    AppendMarker(*outStmtList, CreateEndOfProcStmt, iProcessingMode, debug);
    reportStmtList("Proc", *outStmtList, debug);
}

void BuildIncludeStatementList(void* arrayJclDeck, StatementList** outStmtList,
                               const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    ResetStepTracking();
    BuildStatementList(arrayJclDeck, nullptr, outStmtList, ProcessIncludeStatement, jesVersion,
                       iProcessingMode, debug);
    reportStmtList("Include", *outStmtList, debug);
}

void reportStmtList(const char* title, StatementList* iStmtList, int32_t debug) {
    if (debug == 0 || iStmtList == nullptr) return;
    if (CountItemsInIntList(iStmtList->LinkedList, debug) == 0) return;
    void* cursor = nullptr;
    if (!CreateStmtCursor(iStmtList, &cursor, debug)) return;
    std::printf("%s stmtList\n", title);
    std::printf("================\n");
    JCLStatement* stmt = nullptr;
    while (GetStmtViaCursor(cursor, &stmt))
        std::printf("%s\n", reportStatementType(JCLStatementType(stmt)));
    std::printf("================\n");
    DeleteStmtCursor(cursor, debug);
}

} // namespace kvr
