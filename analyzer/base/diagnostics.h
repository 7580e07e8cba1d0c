// Messages about the member in the run's mode: at a source position (the locator line
// first, both also as MSG records), without a position, and the report of a failed
// allocation.
#ifndef KVR_BASE_DIAGNOSTICS_H
#define KVR_BASE_DIAGNOSTICS_H

#include <cstdint>

#include "base/contexts.h"

namespace kvr {

// Message 1450 (3050) and its MSG record; the run is marked out of memory, so it ends after
// the member. Takes no memory.
void reportMemoryAllocationError(RunContext& run);
inline void reportMemoryAllocationError(MemberContext& ctx) {
    reportMemoryAllocationError(ctx.run);
}

// The message at a member's line: its locator and the message, both also as MSG records.
void ReportAt(MemberContext& ctx, uint32_t number, SOURCE_REF reference, int32_t line);

// The message without a position, also as MSG record.
void ReportWithoutPosition(MemberContext& ctx, uint32_t number);

} // namespace kvr

#endif
