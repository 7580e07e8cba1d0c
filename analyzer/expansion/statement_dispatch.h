// Dispatch of cooked statements to the job model, EXEC statements of programs, and the
// resolution of backward references (*.ddname, *.step.ddname, *.step.procstep.ddname).
#ifndef KVR_EXPANSION_STATEMENT_DISPATCH_H
#define KVR_EXPANSION_STATEMENT_DISPATCH_H

#include "model/job_model.h"

namespace kvr {

void ProcessOneStatement(void* arrayJclDeck, JCLStatement* iStmt, const char* iSiteName,
                         const char* jesVersion, int16_t iProcessingMode, int32_t debug);
void ProcessExecCard(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode,
                     int32_t debug);
// Replaces the owned string *iReferback by its resolution (freeing the old one), or leaves
// it unchanged. iExecPGM: TRUE for PGM= of an EXEC, FALSE for DSN= of a DD.
void ProcessReferbackSyntax(char** iReferback, BOOLEAN iExecPGM, int16_t iProcessingMode,
                            int32_t debug);
BOOLEAN FindReferbackDDStatement(const char* iStepName, const char* iProcStepName,
                                 const char* iDDName, RD_DatasetConcatenation** outConcat,
                                 RD_JobStep** outJobStep, BOOLEAN iExecPGM,
                                 int16_t iProcessingMode, int32_t debug);
// The local time of day (HHMMSS) fixed once per member.
void SetLocalTimeField();
const char* GetLocalTimeField();

} // namespace kvr

#endif
