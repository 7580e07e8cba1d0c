// Internal clock of the DB2 statement trace, replaceable so tests can measure "no time"
// and clock wraps exactly.
#ifndef KVR_SERVICES_DB2_TRACE_H
#define KVR_SERVICES_DB2_TRACE_H

#include <cstdint>

namespace kvr {

// Milliseconds on a clock that wraps every 1048576 seconds.
using Db2TraceClock = int32_t (*)();

// The system clock: (seconds modulo 1048576) * 1000 + milliseconds of the current time.
int32_t Db2TraceSystemClock();

// Replaces the clock the trace reads; null puts the system clock back.
void SetDb2TraceClock(Db2TraceClock clock);

// Milliseconds from start to now on the wrapping clock.
int32_t Db2TraceElapsed(int32_t start, int32_t now);

} // namespace kvr

#endif
