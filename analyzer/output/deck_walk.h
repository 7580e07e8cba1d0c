// The walk over a member's expanded deck that writes its job, step, DD, procedure,
// IF/ELSE/ENDIF, comment and directive records in deck order.
#ifndef KVR_OUTPUT_DECK_WALK_H
#define KVR_OUTPUT_DECK_WALK_H

#include <cstdint>

#include "kvrbase.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {

// iRc: the result of the deck's expansion; when FALSE only the jobs' own records are
// written.
void NavigateExpandedDeck(MemberContext& ctx, BOOLEAN iRc);
void ProcessStepRecord(MemberContext& ctx, RD_JobStep* iStep, int32_t iStepNbr);
// iStep is null for the job-level DDs.
void ProcessDDStatement(MemberContext& ctx, RD_JobStep* iStep, RD_DDStatement* DDStmt);
// Message 1375 (3073) and its MSG record: the member holds no job.
void ReportMissingJobCard(MemberContext& ctx);

} // namespace kvr

#endif
