// Where the jobs of a member end while the member is read: at the next JOB statement, and
// at a null statement, after which the cards up to the next JOB statement belong to no job.
#ifndef KVR_READER_JOB_BOUNDARIES_H
#define KVR_READER_JOB_BOUNDARIES_H

#include "base/contexts.h"

namespace kvr {

// A null statement ends the job being read, or the procedure or INCLUDE member being read
// from its cards (cursor). Before the member's first JOB statement it ends the member.
void EndAtNullStatement(MemberContext& ctx, const SourceLine& nullCard, void* cursor);
// True when the card is a JOB statement after the one of the job being read: it is pushed
// back, to be read again once this job has been expanded.
bool StartsNextJob(MemberContext& ctx, const SourceLine& card, void* cursor);

} // namespace kvr

#endif
