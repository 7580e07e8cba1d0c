// The loop that reads a source into a statement list, shared by the job list, the list of
// a cataloged procedure call and the list of an INCLUDE member: SET statements take effect
// at once, procedure calls open their read-time symbol scope, every EXEC is preceded by an
// end-of-step marker, and everything else goes to a callback particular to the list.
#include "expansion/statement_list_builder.h"
#include "base/contexts.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "expansion/exec_statement.h"
#include "expansion/symbols.h"
#include "reader/card_reader.h"
#include "reader/instream_data.h"
#include "reader/statement_parser.h"

namespace kvr {

JCLStatement* AppendStatement(MemberContext& ctx, StatementList* iStmtList, JCLStatement* iStmt) {
    if (iStmtList == nullptr) return nullptr;
    JCLStatement* copy = nullptr;
    if (!AddStmtToList(ctx, iStmt, iStmtList, &copy) || copy == nullptr) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    return copy;
}

void AppendMarker(MemberContext& ctx, StatementList* iStmtList, MarkerMaker makeMarker) {
    if (iStmtList == nullptr) return;
    JCLStatement* marker = nullptr;
    if (!makeMarker(ctx, &marker) || marker == nullptr) {
        reportMemoryAllocationError(ctx);
        return;
    }
    AppendStatement(ctx, iStmtList, marker);
    DeleteJCLStatement(marker, TRUE);
}

void ReportAtStatement(MemberContext& ctx, const JCLStatement* iStmt, uint32_t iMsg) {
    KVRWriteMessageWithFileLine(iMsg, TRUE, iStmt->FileReference, iStmt->fileLine, ctx.run.mode);
}

void ReleaseReadingRecordData(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt->inStreamData == nullptr) return;
    DeleteInstreamSpool(iStmt->inStreamData);
    iStmt->inStreamData = nullptr;
}

// Splits the statement's operands and puts every NAME=VALUE into the update scope, from
// the last parameter to the first, so that with replacement the first occurrence wins.
void AddStmtParmsToCurrentScope(MemberContext& ctx, JCLStatement* procStmt,
                                BOOLEAN replaceIfExist) {
    char* parmText = nullptr;
    if (procStmt == nullptr || !JCLStatementParmText(procStmt, &parmText)) return;
    void* parms = nullptr;
    CreateParmStructure(&parms, parmText, FALSE, ctx.run.mode, ctx.run.debug);
    if (parms == nullptr) return;
    for (int32_t index = QueryParmCount(parms); index >= 1; --index) {
        char* parm = nullptr;
        if (!QueryPositionalParm(index, parms, &parm) || !ParmHasKeyword(parm)) continue;
        const std::string text(parm);
        const size_t equals = text.find('=');
        const std::string name = text.substr(0, equals);
        std::string value = text.substr(equals + 1);
        SetScopedSymbolValue(ctx, name.c_str(), StripApostrophes(value.data()), replaceIfExist);
    }
    DeleteParmStructure(parms, static_cast<BOOLEAN>(ctx.run.debug != 0));
}

// Appends a DD statement; the data cards that follow it go to the list's own copy, which
// keeps them, in a procedure or an INCLUDE member as in the job (a SYSTSIN in a procedure
// holds the DSN RUN command the run-unit detection looks for).
void AppendDDWithData(MemberContext& ctx, StatementList* stmtList, JCLStatement* stmt) {
    JCLStatement* copy = AppendStatement(ctx, stmtList, stmt);
    if (copy != nullptr) BypassInstreamData(ctx, copy);
}

bool KeptAsComments(MemberContext& ctx, const JCLStatement* stmt) {
    if (JCLStatementType(stmt) != RD_JOB_SCHEDULING) return false;
    for (const KeptCard& card : ctx.parser.keptCards)
        SaveJclComment(ctx, card.fileLine, card.text.c_str());
    ctx.parser.keptCards.clear();
    return true;
}

void PassOverCardsNotOfTheJob(MemberContext& ctx, JCLStatement* stmt) {
    void* const cursor = ctx.listBuilder.readingCursor;
    if (JCLStatementType(stmt) == RD_CNTL) {
        SkipControlStatements(ctx, cursor);
    } else if (JCLStatementType(stmt) == RD_XMIT) {
        // As after a DD statement, the first two characters of DLM= delimit.
        char delimiter[16] = "/*";
        if (!CheckForDLM(ctx, stmt, delimiter) || std::strlen(delimiter) < 2)
            std::strcpy(delimiter, "/*");
        delimiter[2] = '\0';
        if (KVRU005() <= 4) SkipTransmittedCards(ctx, delimiter, cursor);
    }
}

namespace {

// Read-time call scope: an EXEC that calls a procedure puts its keyword parameters into a
// new scope, so that the override DD statements after it are read with the call's values.
// The statement reader closes the scope at the first statement that is not an override.
void HandleProcOverrideSymbolScope(MemberContext& ctx, JCLStatement* iStmt, BOOLEAN* lastExecWasProcInvocation) {
    if (JCLStatementType(iStmt) != RD_EXEC) return;
    if (ExecInvokesProgram(ctx, iStmt)) return;
    if (!BeginOverrideReadScope(ctx)) {
        reportMemoryAllocationError(ctx);
        return;
    }
    AddStmtParmsToCurrentScope(ctx, iStmt, TRUE);
    *lastExecWasProcInvocation = TRUE;
}

void AppendExec(MemberContext& ctx, StatementList* iStmtList, JCLStatement* iStmt) {
    ctx.listBuilder.execFound = 1;
    AppendMarker(ctx, iStmtList, CreateEndOfStepStmt);
    if (KVRU005() > 4) return;
    JCLStatement* copy = AppendStatement(ctx, iStmtList, iStmt);
    if (copy != nullptr) ctx.listBuilder.currentStepStatement = copy;
}

// Handles one statement just read; FALSE when reading must stop.
bool HandleStatement(MemberContext& ctx, JCLStatement* stmt, StatementList* list,
                     StatementListCallback FctArg, BOOLEAN* lastExecWasProcInvocation) {
    if (KeptAsComments(ctx, stmt)) return KVRU005() <= 4;
    if (JCLStatementType(stmt) == RD_SET) {
        ProcessSetCard(ctx, stmt);
        if (KVRU005() > 4) return false;
    }
    HandleProcOverrideSymbolScope(ctx, stmt, lastExecWasProcInvocation);
    if (KVRU005() > 4) return false;
    if (JCLStatementType(stmt) == RD_EXEC)
        AppendExec(ctx, list, stmt);
    else
        FctArg(ctx, stmt, list);
    ReleaseReadingRecordData(ctx, stmt);
    PassOverCardsNotOfTheJob(ctx, stmt);
    return KVRU005() <= 4;
}

// The callback of the job list.
void ProcessJobStatement(MemberContext& ctx, JCLStatement* stmt, StatementList* stmtList) {
    switch (JCLStatementType(stmt)) {
    case RD_JOB:
        // A further JOB statement never reaches a job's list: it starts the next list.
        ++ctx.listBuilder.jobCount;
        ++ctx.listBuilder.jobsInList;
        AppendStatement(ctx, stmtList, stmt);
        break;
    case RD_DD:
        AppendDDWithData(ctx, stmtList, stmt);
        break;
    case RD_PROC: {
        JCLStatement* cooked = nullptr;
        if (SubstituteStmtSymbolics(ctx, stmt, &cooked) == 0) break;
        StoreInstreamProcedure(ctx, cooked);
        DeleteJCLStatement(cooked, TRUE);
        break;
    }
    default:
        AppendStatement(ctx, stmtList, stmt);
        break;
    }
}

// The callback of a cataloged procedure's list.
void ProcessProcStatement(MemberContext& ctx, JCLStatement* stmt, StatementList* stmtList) {
    const RD_JCL_STATEMENT_TYPE type = JCLStatementType(stmt);
    if (ctx.listBuilder.statementCount == 1 && type != RD_PROC) {
        AppendMarker(ctx, stmtList, CreateStartOfProcStmt);
        if (KVRU005() > 4) return;
    }
    switch (type) {
    case RD_PROC:
        if (ctx.listBuilder.statementCount > 1) {
            ReportAtStatement(ctx, stmt, MessageFor(ctx, 1336, 3043));
            break;
        }
        AppendStatement(ctx, stmtList, stmt);
        if (KVRU005() > 4) break;
        AddStmtParmsToCurrentScope(ctx, stmt, FALSE);
        break;
    case RD_PEND:
    case RD_DELIMITER:
        AppendMarker(ctx, stmtList, CreateEndOfStepStmt);
        if (KVRU005() > 4) break;
        AppendStatement(ctx, stmtList, stmt);
        break;
    case RD_DD:
        AppendDDWithData(ctx, stmtList, stmt);
        break;
    default:
        AppendStatement(ctx, stmtList, stmt);
        break;
    }
}

// The callback of an INCLUDE member's list: job-level and procedure-framing statements
// have no place in an included member.
void ProcessIncludeStatement(MemberContext& ctx, JCLStatement* stmt, StatementList* stmtList) {
    switch (JCLStatementType(stmt)) {
    case RD_PROC:
    case RD_PEND:
    case RD_JOB:
    case RD_JCLLIB:
    case RD_JES2:
        ReportAtStatement(ctx, stmt, MessageFor(ctx, 1340, 3046));
        break;
    case RD_DD:
        AppendDDWithData(ctx, stmtList, stmt);
        break;
    default:
        AppendStatement(ctx, stmtList, stmt);
        break;
    }
}

// Every list builder starts without a current step: the EXEC copy of an earlier list may
// already have been freed with that list.
void ResetStepTracking(MemberContext& ctx) {
    ctx.listBuilder.execFound = 0;
    ctx.listBuilder.currentStepStatement = nullptr;
}

} // namespace

void BuildStatementList(MemberContext& ctx, void* rawProcCardsListCursor,
                        StatementList** outStmtList, StatementListCallback FctArg) {
    *outStmtList = nullptr;
    StatementList* list = nullptr;
    JCLStatement* stmt = nullptr;
    if (!CreateStmtList(ctx, &list) || !CreateJCLStatement(ctx, &stmt)) {
        reportMemoryAllocationError(ctx);
        if (list != nullptr) DeleteStmtList(list);
        return;
    }
    ctx.listBuilder.statementCount = 0;
    void* const outerCursor = ctx.listBuilder.readingCursor;
    ctx.listBuilder.readingCursor = rawProcCardsListCursor;
    BOOLEAN lastExecWasProcInvocation = FALSE;
    while (BuildJCLStatement(ctx, stmt,
                             rawProcCardsListCursor, &lastExecWasProcInvocation) &&
           KVRU005() <= 4) {
        ctx.listBuilder.statementCount = ctx.listBuilder.statementCount + 1;
        if (!HandleStatement(ctx, stmt, list, FctArg, &lastExecWasProcInvocation))
            break;
    }
    // A procedure call at the very end of the source leaves its read-time scope open: no
    // further statement came to close it, and later values must not land in it.
    if (lastExecWasProcInvocation) EndSymbolScope(ctx);
    ctx.listBuilder.readingCursor = outerCursor;
    DeleteJCLStatement(stmt, TRUE);
    *outStmtList = list;
}

void BuildJobStatementList(MemberContext& ctx, StatementList** outStmtList) {
    ResetStepTracking(ctx);
    ctx.listBuilder.readingJob = true;
    ctx.listBuilder.jobsInList = 0;
    ctx.listBuilder.nextJobWaiting = false;
    BuildStatementList(ctx, nullptr, outStmtList, ProcessJobStatement);
    ctx.listBuilder.readingJob = false;
    AppendMarker(ctx, *outStmtList, CreateEndOfStepStmt);
    reportStmtList(ctx, "Job", *outStmtList);
}

void KVR4006_BuildCatalogedProcStatementList(MemberContext& ctx, StatementList** outStmtList,
                                             void* rawProcCardsListCursor) {
    ResetStepTracking(ctx);
    BuildStatementList(ctx, rawProcCardsListCursor, outStmtList, ProcessProcStatement);
    AppendMarker(ctx, *outStmtList, CreateEndOfStepStmt);
    AppendMarker(ctx, *outStmtList, CreateEndOfProcStmt);
    reportStmtList(ctx, "Proc", *outStmtList);
}

void BuildIncludeStatementList(MemberContext& ctx, StatementList** outStmtList,
                               void* rawCardsListCursor) {
    ResetStepTracking(ctx);
    BuildStatementList(ctx, rawCardsListCursor, outStmtList, ProcessIncludeStatement);
    reportStmtList(ctx, "Include", *outStmtList);
}

void reportStmtList(MemberContext& ctx, const char* title, StatementList* iStmtList) {
    if (ctx.run.debug == 0 || iStmtList == nullptr) return;
    if (CountItemsInIntList(iStmtList->LinkedList, ctx.run.debug) == 0) return;
    void* cursor = nullptr;
    if (!CreateStmtCursor(ctx, iStmtList, &cursor)) return;
    std::printf("%s stmtList\n", title);
    std::printf("================\n");
    JCLStatement* stmt = nullptr;
    while (GetStmtViaCursor(cursor, &stmt))
        std::printf("%s\n", reportStatementType(JCLStatementType(stmt)));
    std::printf("================\n");
    DeleteStmtCursor(cursor);
}

} // namespace kvr
