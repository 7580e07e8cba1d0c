// The process's maximum message severity, from which the exit code and the completion
// letter of the import file are taken, and the identifier of the tool that runs.
#include "kvrbase.h"
#include "services/messages.h"

namespace kvr {

namespace {

int32_t sMaximumSeverity = 0;
int32_t sToolId = 0;

} // namespace

void SetSeverityFromMsg(const char* text) {
    const int16_t severity = KVRGetMessageType(text);
    if (severity > 0) SetMaximumSeverity(severity);
}

void ResetSeverityForTests() {
    sMaximumSeverity = 0;
    sToolId = 0;
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void KVRU001(const int32_t* iToolId) {
    if (iToolId != nullptr) sToolId = *iToolId;
}

KVR_API int32_t KVRU002(void) {
    return sToolId;
}

KVR_API int32_t KVRU005(void) {
    return sMaximumSeverity;
}

KVR_API char KVRU006(void) {
    return sMaximumSeverity <= 4 ? 'C' : 'E';
}

KVR_API void SetMaximumSeverity(int32_t CurrentSeverity) {
    if (CurrentSeverity > sMaximumSeverity) sMaximumSeverity = CurrentSeverity;
}

KVR_API void ResetMaximumSeverity(void) {
    sMaximumSeverity = 0;
}

} // extern "C"
