// The walk over a member's expanded deck that writes its job, step and DD records; a
// member without any job gets only a message and its MSG record.
#include "output/deck_walk.h"

#include "driver/run_settings.h"
#include "reader/jcl_statement.h"

namespace kvr {

void ReportMissingJobCard(int16_t iProcessingMode) {
    const uint32_t number = MessageFor(iProcessingMode, 1375, 3073);
    KVRWriteMessage(number);
    KVR_Write_MSG_Record("JCL", MsgProgramId(iProcessingMode), static_cast<int32_t>(number));
}

} // namespace kvr
