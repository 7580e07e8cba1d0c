// EXEC statements: whether an EXEC runs a program or calls a procedure.
#ifndef KVR_EXPANSION_EXEC_STATEMENT_H
#define KVR_EXPANSION_EXEC_STATEMENT_H

#include "reader/jcl_statement.h"
#include "base/contexts.h"

namespace kvr {

// TRUE when the EXEC has a PGM keyword parameter; without any parameter message 1371
// (3070) is written and the statement counts as a procedure call.
BOOLEAN ExecInvokesProgram(MemberContext& ctx, JCLStatement* iStmt);

} // namespace kvr

#endif
