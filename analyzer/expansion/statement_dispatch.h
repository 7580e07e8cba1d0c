// Dispatch of cooked statements to the job model, EXEC statements of programs, and the
// resolution of backward references (*.ddname, *.step.ddname, *.step.procstep.ddname).
#ifndef KVR_EXPANSION_STATEMENT_DISPATCH_H
#define KVR_EXPANSION_STATEMENT_DISPATCH_H

#include "model/job_model.h"
#include "base/contexts.h"

namespace kvr {

void ProcessOneStatement(MemberContext& ctx, JCLStatement* iStmt);
void ProcessExecCard(MemberContext& ctx, JCLStatement* iStmt);
// Replaces the owned string ioReferback by its resolution (freeing the old one), or leaves
// it unchanged. iExecPGM: TRUE for PGM= of an EXEC, FALSE for DSN= of a DD.
void ProcessReferbackSyntax(MemberContext& ctx, OwnedText& ioReferback, BOOLEAN iExecPGM);
BOOLEAN FindReferbackDDStatement(MemberContext& ctx, const char* iStepName, const char* iProcStepName,
                                 const char* iDDName, RD_DatasetConcatenation** outConcat,
                                 RD_JobStep** outJobStep, BOOLEAN iExecPGM);
// The local time of day (HHMMSS) fixed once per member.
void SetLocalTimeField(MemberContext& ctx);
const char* GetLocalTimeField(MemberContext& ctx);

} // namespace kvr

#endif
