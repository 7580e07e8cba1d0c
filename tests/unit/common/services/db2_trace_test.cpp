// The DB2 statement trace: its frame, numbered statement and import lines, elapsed
// times on the wrapping millisecond clock, and staying off outside debug runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "common/scoped_env.h"
#include "kvrbase.h"
#include "services/db2_trace.h"

namespace {

using kvr::test::ReadFile;
using kvr::test::ScopedEnv;
using kvr::test::SplitLines;
using kvr::test::TempDir;

int32_t sFakeNow = 0;

class Db2TraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tracePath_ = dir_.File("db2trace.txt");
        trace_.Set(tracePath_);
        traceAlternate_.Unset();
        kvr::SetDb2TraceClock([] { return sFakeNow; });
    }
    void TearDown() override {
        db2TraceClose();
        kvr::SetDb2TraceClock(nullptr);
    }

    TempDir dir_;
    std::string tracePath_;
    ScopedEnv trace_{"DD:DB2TRACE"};
    ScopedEnv traceAlternate_{"DD_DB2TRACE"};
};

TEST_F(Db2TraceTest, StatementsRecordsAndElapsedTimes) {
    db2TraceOpen(1);
    sFakeNow = 5000;
    db2TraceBefore("SELECT 1");
    db2TraceAfter(); // no measurable time
    db2TraceBefore("UPDATE T");
    sFakeNow = 5250;
    db2TraceAfter();
    db2TraceInputRecord("PGM");
    db2TraceInputRecord("TABLE");
    sFakeNow = 1048575900; // the clock wraps during the next statement
    db2TraceBefore("INSERT");
    sFakeNow = 100;
    db2TraceAfter();
    db2TraceClose();
    db2TraceBefore("after close"); // the trace is off again

    const std::vector<std::string> lines = SplitLines(ReadFile(tracePath_));
    const std::vector<std::string> expected = {
        "DB2 TRACE START",      "===============",
        "T 00001 SELECT 1",     "T",
        "T 00002 UPDATE T",     "T Elapsed 250 milliseconds",
        "T 00001  IMPORT: PGM", "T 00002  IMPORT: TABLE",
        "T 00003 INSERT",       "T Elapsed 200 milliseconds",
        "==============",       "DB2 TRACE STOP",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (expected[i].front() == 'T') {
            EXPECT_TRUE(std::regex_match(line.substr(0, 8), std::regex("\\d\\d:\\d\\d:\\d\\d")))
                << line; // each statement line starts with the time of day
            line = "T" + line.substr(8);
        }
        EXPECT_EQ(line, expected[i]);
    }
}

TEST_F(Db2TraceTest, OffOutsideDebugRunsAndWithoutAFile) {
    db2TraceOpen(0);
    db2TraceBefore("SELECT 1");
    db2TraceInputRecord("PGM");
    db2TraceClose();
    EXPECT_FALSE(std::filesystem::exists(tracePath_));

    trace_.Unset();
    ::testing::internal::CaptureStdout();
    db2TraceOpen(1);
    ::testing::internal::GetCapturedStdout();
    db2TraceBefore("SELECT 1");
    db2TraceAfter();
    db2TraceClose();
    EXPECT_FALSE(std::filesystem::exists(tracePath_));
}

TEST(Db2TraceClock, WrapsEvery1048576Seconds) {
    EXPECT_EQ(kvr::Db2TraceElapsed(7, 7), 0);
    EXPECT_EQ(kvr::Db2TraceElapsed(1000, 3500), 2500);
    EXPECT_EQ(kvr::Db2TraceElapsed(1048575999, 0), 1);
    const int32_t now = kvr::Db2TraceSystemClock();
    EXPECT_GE(now, 0);
    EXPECT_LT(now, 1048576000);
}

} // namespace
