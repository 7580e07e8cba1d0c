// EXEC statements: a PGM keyword makes a program step; a procedure name, PROC= or no
// parameters at all (reported with message 1371) make a procedure call.
#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "driver/run_settings.h"
#include "expansion/exec_statement.h"

namespace kvr {
namespace {

TEST(ExecStatement, OnlyAPgmKeywordRunsAProgram) {
    test::MessageRecorder messages;
    auto invokes = [](const char* parms, int16_t mode = kModeStandard) {
        test::StmtPtr stmt = test::MakeStatement(RD_EXEC, "STEP1", parms, 4);
        return ExecInvokesProgram(stmt.get(), mode, 0);
    };
    for (const char* parms : {"PGM=IEFBR14", "PGM=X,PARM='A'", "REGION=0M,PGM=X"})
        EXPECT_TRUE(invokes(parms)) << parms;
    for (const char* parms : {"PROC=P", "P", "P,PARM.S1='PGM=X'", "PGMX=1"})
        EXPECT_FALSE(invokes(parms)) << parms;
    EXPECT_EQ(messages.Count("KVR1371W"), 0);
    EXPECT_FALSE(invokes(nullptr));
    EXPECT_EQ(messages.Count("KVR1371W"), 1);
    test::VelkorCatalog velkor;
    EXPECT_FALSE(invokes(nullptr, kModeVelkor));
    EXPECT_EQ(messages.Count("VAD3070W"), 1);
}

} // namespace
} // namespace kvr
