// EXEC parameter overrides of a procedure call: keyword.procstep=value on the calling EXEC
// changes that keyword on the EXEC of procedure step procstep, keyword=value changes it on
// every step of the procedure (PARM and TIME: the first step only).
#ifndef KVR_EXPANSION_EXEC_OVERRIDES_H
#define KVR_EXPANSION_EXEC_OVERRIDES_H

#include "base/contexts.h"
#include "reader/jcl_statement.h"

namespace kvr {

// Takes the overrides coded on the calling EXEC for the procedure about to be walked.
void BeginExecOverrides(MemberContext& ctx, JCLStatement* callingExec);
// Rewrites the operands of an EXEC statement of the walked procedure's own level with the
// overrides of its call that apply to it.
void ApplyExecOverrides(MemberContext& ctx, JCLStatement* procedureExec);
// Reports each qualified override whose step the procedure lacks (message 1481, at the
// calling EXEC; not for a procedure without steps, which was not found), then drops the
// call's overrides.
void EndExecOverrides(MemberContext& ctx, JCLStatement* callingExec);

} // namespace kvr

#endif
