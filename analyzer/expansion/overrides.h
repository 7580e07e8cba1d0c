// Override statements: the DD statements after an EXEC that calls a procedure override or
// add DDs of the expanded procedure's steps, member by member of a concatenation.
#ifndef KVR_EXPANSION_OVERRIDES_H
#define KVR_EXPANSION_OVERRIDES_H

#include "model/job_model.h"

namespace kvr {

void InitializeOverrideState(int32_t debug);
// Applies the cooked DD statement; CursorArg stands on the first step of the procedure.
void ProcessDDOverrideOrAdd(JCLStatement* iStmt, RD_StepCursor* CursorArg,
                            int16_t iProcessingMode, int32_t debug);

} // namespace kvr

#endif
