// The statement log of debug runs: each loggable statement that came from a card is
// traced with the procedure and IF nesting levels at which it was met and how it came
// about (as read, substituted, override, addition or in error).
#include "expansion/statement_log.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "model/job_model.h"

namespace kvr {
namespace {

constexpr RD_JCL_STATEMENT_TYPE ValidStatementTypesForLogging[] = {
    RD_SET,  RD_EXEC,  RD_DD,   RD_INCLUDE, RD_IF,     RD_JOB,
    RD_ELSE, RD_ENDIF, RD_PEND, RD_PROC,    RD_JCLLIB, RD_OUTPUT,
};


constexpr size_t kParmInsertMax = 254;

} // namespace

BOOLEAN JCLStatementShouldLog(const JCLStatement* iStmt) {
    if (iStmt == nullptr || JCLStmtFileReference(iStmt) == -1) return FALSE;
    const RD_JCL_STATEMENT_TYPE type = JCLStatementType(iStmt);
    for (RD_JCL_STATEMENT_TYPE logged : ValidStatementTypesForLogging)
        if (type == logged) return TRUE;
    return FALSE;
}

void LogJCLStatement(MemberContext& ctx, const JCLStatement* iStmt, RD_LOG_TYPE LogType) {
    if (!ctx.run.debug || !JCLStatementShouldLog(iStmt)) return;
    const int16_t mode = ctx.run.mode;
    uint32_t number = 0;
    switch (LogType) {
    case RD_LOGNORM:
        number = MessageFor(ctx, 1391, 3082);
        break;
    case RD_LOGSUBSTITUTION:
        number = MessageFor(ctx, 1392, 3083);
        break;
    case RD_LOGOVERRIDE:
        number = MessageFor(ctx, 1399, 3090);
        break;
    case RD_LOGADD:
        number = MessageFor(ctx, 1398, 3089);
        break;
    case RD_LOGERROR:
        number = MessageFor(ctx, 1400, 3091);
        break;
    default:
        return;
    }
    char level[32];
    std::snprintf(level, sizeof level, "%2d-%2d", QueryProcNestingLevel(ctx), QueryIfNesting(ctx));
    char label[kLabelMax + 2];
    std::snprintf(label, sizeof label, "%-8s", iStmt->StatementLabel);
    char operation[16];
    std::snprintf(operation, sizeof operation, "%-7s", iStmt->StatementOp);
    const char* text = iStmt->StatementParms;
    const std::string parms = text != nullptr && text[0] != '\0'
                                  ? std::string(text, ::strnlen(text, kParmInsertMax))
                                  : std::string(" ");
    KVRWriteMessageWithStrings(number, level, label, operation, parms.c_str());
}

} // namespace kvr
