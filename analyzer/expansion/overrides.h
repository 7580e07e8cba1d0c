// Override statements: the DD statements after an EXEC that calls a procedure override or
// add DDs of the expanded procedure's steps, member by member of a concatenation.
#ifndef KVR_EXPANSION_OVERRIDES_H
#define KVR_EXPANSION_OVERRIDES_H

#include "model/job_model.h"
#include "base/contexts.h"

namespace kvr {

void InitializeOverrideState(MemberContext& ctx);
// Applies the cooked DD statement; CursorArg stands on the first step of the procedure.
void ProcessDDOverrideOrAdd(MemberContext& ctx, JCLStatement* iStmt, RD_StepCursor* CursorArg);

} // namespace kvr

#endif
