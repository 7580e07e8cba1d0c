// The walk over a member's expanded deck that writes its job records.
#ifndef KVR_OUTPUT_DECK_WALK_H
#define KVR_OUTPUT_DECK_WALK_H

#include <cstdint>

namespace kvr {

// Message 1375 (3073) and its MSG record: the member holds no job.
void ReportMissingJobCard(int16_t iProcessingMode);

} // namespace kvr

#endif
