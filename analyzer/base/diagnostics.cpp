// Messages about the member: each goes to the log through kvrbase and, where the member's
// readers need it, to the import file as MSG record.
#include "base/diagnostics.h"

namespace kvr {

void reportMemoryAllocationError(RunContext& run) {
    run.outOfMemory = true;
    const uint32_t number = MessageFor(run.mode, 1450, 3050);
    KVRWriteMessage(number);
    KVR_Write_MSG_Record("JCL", MsgProgramId(run.mode), static_cast<int32_t>(number));
}

void ReportAt(MemberContext& ctx, uint32_t number, SOURCE_REF reference, int32_t line) {
    KVRWriteMessageWithFileLine(number, TRUE, reference, line, ctx.run.mode);
}

void ReportWithoutPosition(MemberContext& ctx, uint32_t number) {
    KVRWriteMessage(number);
    KVR_Write_MSG_Record("JCL", MsgProgramId(ctx), static_cast<int32_t>(number));
}

} // namespace kvr
