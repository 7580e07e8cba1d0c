// Reading the raw cards of procedures: an in-stream procedure's cards up to its PEND card
// and every card of a cataloged procedure's member, kept as lists of SourceLine copies.
#ifndef KVR_EXPANSION_PROCEDURES_H
#define KVR_EXPANSION_PROCEDURES_H

#include "expansion/statement_lists.h"
#include "base/contexts.h"

namespace kvr {

// Cards from the current source until a "//" card whose operation is PEND has been kept;
// message 1407 (3096) when the source ends first. outList is null when no list was made.
void BuildInstreamProcRawCardList(MemberContext& ctx, void** outList);
// Every card until the source ends.
void BuildCatalogedProcRawCardList(MemberContext& ctx, void** outList);

} // namespace kvr

#endif
