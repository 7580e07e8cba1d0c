// EXEC statements: telling a program step (PGM=) from a procedure call, which decides
// whether the deck processor opens a symbol scope and expands a procedure in its place.
#include "expansion/exec_statement.h"
#include "base/contexts.h"


namespace kvr {

BOOLEAN ExecInvokesProgram(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt == nullptr) return FALSE;
    if (JCLStatementParmCount(ctx, iStmt) == 0) {
        // Nothing names a program, so the statement is taken as a procedure call.
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1371, 3070), FALSE,
                                    iStmt->FileReference, iStmt->fileLine, ctx.run.mode);
        return FALSE;
    }
    char* parm = nullptr;
    return JCLStatementKeywordParm(ctx, iStmt, "PGM", &parm);
}

} // namespace kvr
