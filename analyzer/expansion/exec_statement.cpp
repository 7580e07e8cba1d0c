// EXEC statements: telling a program step (PGM=) from a procedure call, which decides
// whether the deck processor opens a symbol scope and expands a procedure in its place.
#include "expansion/exec_statement.h"

#include "driver/run_settings.h"

namespace kvr {

BOOLEAN ExecInvokesProgram(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    if (iStmt == nullptr) return FALSE;
    if (JCLStatementParmCount(iStmt, iProcessingMode, debug) == 0) {
        // Nothing names a program, so the statement is taken as a procedure call.
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1371, 3070), FALSE,
                                    iStmt->FileReference, iStmt->fileLine, iProcessingMode);
        return FALSE;
    }
    char* parm = nullptr;
    return JCLStatementKeywordParm(iStmt, "PGM", &parm, iProcessingMode, debug);
}

} // namespace kvr
