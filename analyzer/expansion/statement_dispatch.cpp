// Dispatch of a cooked statement that the deck processor does not handle itself: DD, IF,
// ELSE, ENDIF and OUTPUT statements go to the job model, SET statements to the symbol
// scopes, EXEC statements become a program step or a procedure call.
#include "expansion/statement_dispatch.h"
#include "base/contexts.h"

#include "expansion/deck_processor.h"
#include "expansion/exec_statement.h"
#include "expansion/symbols.h"
#include "expansion/dd_statements.h"
#include "model/output_statements.h"

namespace kvr {
namespace {

void ProcessExecStatement(MemberContext& ctx, JCLStatement* iStmt) {
    const BOOLEAN runsProgram = ExecInvokesProgram(ctx, iStmt);
    if (KVRU005() > 4) return;
    if (runsProgram)
        ProcessExecCard(ctx, iStmt);
    else
        ProcessProcInvocation(ctx, iStmt);
}

} // namespace

void ProcessOneStatement(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt == nullptr) return;
    switch (JCLStatementType(iStmt)) {
    case RD_DD:
        ProcessDDCard(ctx, iStmt);
        break;
    case RD_EXEC:
        ProcessExecStatement(ctx, iStmt);
        break;
    case RD_IF:
        AddIf(ctx, iStmt);
        break;
    case RD_ELSE:
        AddElse(ctx, iStmt);
        break;
    case RD_ENDIF:
        AddEndIf(ctx, iStmt);
        break;
    case RD_OUTPUT:
        ProcessOutputCard(ctx, iStmt);
        break;
    case RD_SET:
        ProcessSetCard(ctx, iStmt);
        break;
    case RD_JOB:
        // Only the first statement of a member may be its JOB statement.
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1356, 3059), TRUE,
                                    JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                    ctx.run.mode);
        break;
    default:
        // Markers, commands, comments, JCLLIB, INCLUDE, PROC/PEND and the like: nothing.
        break;
    }
}

} // namespace kvr
