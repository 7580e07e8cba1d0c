// Pieces of the deck processor shared between its source files: the walks of a procedure
// and of the override statements after a call, the scheduler-directive record and the
// message helpers used by all of them.
#ifndef KVR_EXPANSION_DECK_INTERNAL_H
#define KVR_EXPANSION_DECK_INTERNAL_H

#include <string>

#include "expansion/deck_processor.h"
#include "model/job_model.h"

namespace kvr {

// A message at the statement's member and line, also as MSG record.
// The context's next statement with its symbols substituted (owned by the caller); FALSE at
// the end of the context or when the substitution fails, which ends the caller's walk.
bool NextCookedStatement(RD_InputContext* Context, JCLStatement** outCooked,
                         int16_t iProcessingMode, int32_t debug);

void ReportAtStatement(uint32_t iMsg, const JCLStatement* iStmt, int16_t iProcessingMode);
// A message without source position, also as MSG record.
void ReportWithoutPosition(uint32_t iMsg, int16_t iProcessingMode);

// Appends an RD_Quillo_Opc record for a //*%OPC directive to the deck with an empty key.
void AddQuilloOpc(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);

// The job walk of one member; FirstPass decides whether a JOB statement is accepted.
void ProcessJobStatements(void* arrayJclDeck, RD_InputContext* Context, BOOLEAN ignoreJCLLIB,
                          const char* iSiteName, const char* jesVersion, int16_t iProcessingMode,
                          BOOLEAN iFormatXML, int32_t debug);
// The walk of one procedure call's statements, up to its PEND or delimiter.
void ProcessProcStatements(void* arrayJclDeck, RD_InputContext* Context, const char* iSiteName,
                           const char* jesVersion, int16_t iProcessingMode, int32_t debug);
// The EXEC's keyword parameters from the second on into the call scope (first one wins).
void ProcessProcExec(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
// The PROC statement's keyword parameters as defaults of the call scope.
void ProcessProcHeader(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
// The statements after a calling EXEC up to the next end of step, applied as overrides.
void ProcessOverrideStatements(void* arrayJclDeck, RD_InputContext* Context,
                               RD_StepCursor* StartCursor, const char* iSiteName,
                               const char* jesVersion, int16_t iProcessingMode, int32_t debug);

// Entries on the context stack, asked without the empty-stack message.
int32_t ContextStackDepth();
int32_t StepNameStackDepth();

} // namespace kvr

#endif
