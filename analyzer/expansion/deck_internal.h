// Pieces of the deck processor shared between its source files: the walks of a procedure
// and of the override statements after a call, the scheduler-directive record and the
// message helpers used by all of them.
#ifndef KVR_EXPANSION_DECK_INTERNAL_H
#define KVR_EXPANSION_DECK_INTERNAL_H

#include <string>

#include "expansion/deck_processor.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {

// A message at the statement's member and line, also as MSG record.
// The context's next statement with its symbols substituted (owned by the caller); FALSE at
// the end of the context or when the substitution fails, which ends the caller's walk.
bool NextCookedStatement(MemberContext& ctx, RD_InputContext* Context, JCLStatement** outCooked);

void ReportAtStatement(MemberContext& ctx, uint32_t iMsg, const JCLStatement* iStmt);

// Appends an RD_Quillo_Opc record for a //*%OPC directive to the deck with an empty key.
void AddQuilloOpc(MemberContext& ctx, JCLStatement* iStmt);

// The job walk of one member; FirstPass decides whether a JOB statement is accepted.
void ProcessJobStatements(MemberContext& ctx, RD_InputContext* Context);
// The walk of one procedure call's statements, up to its PEND or delimiter.
void ProcessProcStatements(MemberContext& ctx, RD_InputContext* Context);
// The EXEC's keyword parameters from the second on into the call scope (first one wins).
void ProcessProcExec(MemberContext& ctx, JCLStatement* iStmt);
// The PROC statement's keyword parameters as defaults of the call scope.
void ProcessProcHeader(MemberContext& ctx, JCLStatement* iStmt);
// The statements after a calling EXEC up to the next end of step, applied as overrides.
void ProcessOverrideStatements(MemberContext& ctx, RD_InputContext* Context,
                               RD_StepCursor* StartCursor);

// Entries on the context stack, asked without the empty-stack message.
int32_t ContextStackDepth(const MemberContext& ctx);
int32_t StepNameStackDepth(const MemberContext& ctx);

} // namespace kvr

#endif
