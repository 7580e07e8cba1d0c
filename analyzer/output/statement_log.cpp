// The statement log of debug runs: each loggable statement that came from a card is
// traced with the procedure and IF nesting levels at which it was met and how it came
// about (as read, substituted, override, addition or in error).
#include "output/statement_log.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "driver/run_settings.h"
#include "model/job_model.h"

namespace kvr {
namespace {

struct ValidationRow {
    RD_JCL_STATEMENT_TYPE StatementType;
    BOOLEAN ShouldLog;
};

constexpr RD_JCL_STATEMENT_TYPE ValidStatementTypesForLogging[] = {
    RD_SET,  RD_EXEC,  RD_DD,   RD_INCLUDE, RD_IF,     RD_JOB,
    RD_ELSE, RD_ENDIF, RD_PEND, RD_PROC,    RD_JCLLIB, RD_OUTPUT,
};

ValidationRow StatementType[RD_TABLESIZE];
BOOLEAN TableIsInitialized = FALSE;

void InitializeTable() {
    for (int type = 0; type < RD_TABLESIZE; ++type)
        StatementType[type] = {static_cast<RD_JCL_STATEMENT_TYPE>(type), FALSE};
    for (RD_JCL_STATEMENT_TYPE type : ValidStatementTypesForLogging)
        StatementType[type].ShouldLog = TRUE;
    TableIsInitialized = TRUE;
}

constexpr size_t kParmInsertMax = 254;

} // namespace

BOOLEAN JCLStatementShouldLog(const JCLStatement* iStmt) {
    if (!TableIsInitialized) InitializeTable();
    if (iStmt == nullptr || JCLStmtFileReference(iStmt) == -1) return FALSE;
    const RD_JCL_STATEMENT_TYPE type = JCLStatementType(iStmt);
    return type < RD_TABLESIZE ? StatementType[type].ShouldLog : FALSE;
}

void LogJCLStatement(const JCLStatement* iStmt, RD_LOG_TYPE LogType, int16_t iProcessingMode,
                     int32_t debug) {
    if (!debug || !JCLStatementShouldLog(iStmt)) return;
    const int16_t mode = iProcessingMode;
    uint32_t number = 0;
    switch (LogType) {
    case RD_LOGNORM:
        number = MessageFor(mode, 1391, 3082);
        break;
    case RD_LOGSUBSTITUTION:
        number = MessageFor(mode, 1392, 3083);
        break;
    case RD_LOGOVERRIDE:
        number = MessageFor(mode, 1399, 3090);
        break;
    case RD_LOGADD:
        number = MessageFor(mode, 1398, 3089);
        break;
    case RD_LOGERROR:
        number = MessageFor(mode, 1400, 3091);
        break;
    default:
        return;
    }
    char level[32];
    std::snprintf(level, sizeof level, "%2d-%2d", QueryProcNestingLevel(), QueryIfNesting());
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
