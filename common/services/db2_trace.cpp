// A time-stamped trace of DB2 statement processing for the analyzers that handle DB2
// statements in debug runs: one line before and after each statement (with its elapsed
// time) and one per import record, in the file named by DD:DB2TRACE.
#include "services/db2_trace.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "kvrbase.h"
#include "platform/dd_names.h"

namespace kvr {

namespace {

constexpr int64_t kClockWrapSeconds = 1048576;
constexpr int32_t kClockWrapMilliseconds = 1048576000;

FILE* sTrace = nullptr;
int32_t sStatementCount = 0;
int32_t sInputRecordCount = 0;
int32_t sStatementStart = 0;
Db2TraceClock sClock = Db2TraceSystemClock;

// The local time of day as HH:MM:SS.
void TimeText(char (&text)[16]) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (std::strftime(text, sizeof text, "%H:%M:%S", &local) == 0) text[0] = '\0';
}

} // namespace

int32_t Db2TraceSystemClock() {
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    const int64_t millis = duration_cast<milliseconds>(sinceEpoch).count();
    const int64_t seconds = millis / 1000;
    return static_cast<int32_t>((seconds % kClockWrapSeconds) * 1000 + millis % 1000);
}

void SetDb2TraceClock(Db2TraceClock clock) {
    sClock = clock ? clock : Db2TraceSystemClock;
}

int32_t Db2TraceElapsed(int32_t start, int32_t now) {
    int32_t elapsed = now - start;
    if (elapsed < 0) elapsed += kClockWrapMilliseconds;
    return elapsed;
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void db2TraceOpen(int32_t debug) {
    if (!debug) return;
    if (sTrace != nullptr) std::fclose(sTrace); // a second open starts a new trace
    sTrace = platform::OpenDDFile("DD:DB2TRACE", "w", debug);
    if (sTrace == nullptr) return;
    std::fputs("DB2 TRACE START\n", sTrace);
    std::fputs("===============\n", sTrace);
    std::fflush(sTrace);
    sStatementCount = 0;
    sInputRecordCount = 0;
}

KVR_API void db2TraceBefore(const char* iTraceString) {
    if (sTrace == nullptr) return;
    char time[16];
    TimeText(time);
    ++sStatementCount;
    std::fprintf(sTrace, "%s %05i %s\n", time, sStatementCount, iTraceString ? iTraceString : "");
    std::fflush(sTrace);
    sStatementStart = sClock();
}

KVR_API void db2TraceAfter(void) {
    if (sTrace == nullptr) return;
    char time[16];
    TimeText(time);
    const int32_t elapsed = Db2TraceElapsed(sStatementStart, sClock());
    if (elapsed == 0) {
        std::fprintf(sTrace, "%s\n", time);
    } else {
        std::fprintf(sTrace, "%s Elapsed %i milliseconds\n", time, elapsed);
    }
    std::fflush(sTrace);
}

KVR_API void db2TraceInputRecord(const char* iRecordType) {
    if (sTrace == nullptr) return;
    char time[16];
    TimeText(time);
    ++sInputRecordCount;
    std::fprintf(sTrace, "%s %05i  IMPORT: %s\n", time, sInputRecordCount,
                 iRecordType ? iRecordType : "");
    std::fflush(sTrace);
}

KVR_API void db2TraceClose(void) {
    if (sTrace == nullptr) return;
    std::fputs("==============\n", sTrace);
    std::fputs("DB2 TRACE STOP\n", sTrace);
    std::fflush(sTrace);
    std::fclose(sTrace);
    sTrace = nullptr;
}

} // extern "C"
