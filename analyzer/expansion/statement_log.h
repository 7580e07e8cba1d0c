// The statement log of debug runs: one message per statement with the procedure and IF
// nesting levels and how the statement came about.
#ifndef KVR_OUTPUT_STATEMENT_LOG_H
#define KVR_OUTPUT_STATEMENT_LOG_H

#include "reader/jcl_statement.h"
#include "base/contexts.h"

namespace kvr {

enum RD_LOG_TYPE : int32_t {
    RD_LOGNORM = 0,
    RD_LOGSUBSTITUTION = 1,
    RD_LOGOVERRIDE = 2,
    RD_LOGADD = 3,
    RD_LOGERROR = 4,
};

BOOLEAN JCLStatementShouldLog(const JCLStatement* iStmt);
void LogJCLStatement(MemberContext& ctx, const JCLStatement* iStmt, RD_LOG_TYPE LogType);

} // namespace kvr

#endif
