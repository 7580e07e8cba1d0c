// The walk over a member's expanded deck that writes its job, step, DD, procedure,
// IF/ELSE/ENDIF, comment and directive records in deck order.
#ifndef KVR_OUTPUT_DECK_WALK_H
#define KVR_OUTPUT_DECK_WALK_H

#include <cstdint>

#include "kvrbase.h"
#include "model/job_model.h"

namespace kvr {

// iRc: the result of the deck's expansion; when FALSE only the jobs' own records are
// written.
void NavigateExpandedDeck(void* arrayJclDeck, BOOLEAN iRc, int16_t iNormalizeGDG,
                          int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug);
void ProcessStepRecord(RD_JobStep* iStep, int32_t iStepNbr, int16_t iNormalizeGDG,
                       int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug);
// iStep is null for the job-level DDs.
void ProcessDDStatement(RD_JobStep* iStep, RD_DDStatement* DDStmt, int16_t iNormalizeGDG,
                        int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug);
// Message 1375 (3073) and its MSG record: the member holds no job.
void ReportMissingJobCard(int16_t iProcessingMode);
// Forgets the parameter-capture entry of the last step; called before each member.
void ResetDeckWalk();

} // namespace kvr

#endif
