// Dispatch of a cooked statement that the deck processor does not handle itself: DD, IF,
// ELSE, ENDIF and OUTPUT statements go to the job model, SET statements to the symbol
// scopes, EXEC statements become a program step or a procedure call.
#include "expansion/statement_dispatch.h"

#include "driver/run_settings.h"
#include "expansion/deck_processor.h"
#include "expansion/exec_statement.h"
#include "expansion/symbols.h"
#include "model/dd_statements.h"
#include "model/output_statements.h"

namespace kvr {
namespace {

void ProcessExecStatement(void* arrayJclDeck, JCLStatement* iStmt, const char* iSiteName,
                          const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    const BOOLEAN runsProgram = ExecInvokesProgram(iStmt, iProcessingMode, debug);
    if (KVRU005() > 4) return;
    if (runsProgram)
        ProcessExecCard(arrayJclDeck, iStmt, iProcessingMode, debug);
    else
        ProcessProcInvocation(arrayJclDeck, iStmt, iSiteName, jesVersion, iProcessingMode, debug);
}

} // namespace

void ProcessOneStatement(void* arrayJclDeck, JCLStatement* iStmt, const char* iSiteName,
                         const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    if (iStmt == nullptr) return;
    switch (JCLStatementType(iStmt)) {
    case RD_DD:
        ProcessDDCard(arrayJclDeck, iStmt, iSiteName, iProcessingMode, debug);
        break;
    case RD_EXEC:
        ProcessExecStatement(arrayJclDeck, iStmt, iSiteName, jesVersion, iProcessingMode, debug);
        break;
    case RD_IF:
        AddIf(arrayJclDeck, iStmt, iProcessingMode, debug);
        break;
    case RD_ELSE:
        AddElse(arrayJclDeck, iStmt, debug);
        break;
    case RD_ENDIF:
        AddEndIf(arrayJclDeck, iStmt, iProcessingMode, debug);
        break;
    case RD_OUTPUT:
        ProcessOutputCard(iStmt, iProcessingMode, debug);
        break;
    case RD_SET:
        ProcessSetCard(iStmt, iProcessingMode, debug);
        break;
    case RD_JOB:
        // Only the first statement of a member may be its JOB statement.
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1356, 3059), TRUE,
                                    JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                    iProcessingMode);
        break;
    default:
        // Markers, commands, comments, JCLLIB, INCLUDE, PROC/PEND and the like: nothing.
        break;
    }
}

} // namespace kvr
