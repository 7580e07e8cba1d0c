// EXEC statements: a PGM keyword makes a program step; a procedure name, PROC= or no
// parameters at all (reported with message 1371) make a procedure call, whose name and
// symbols the EXEC gives.
#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "driver/run_settings.h"
#include "expansion/deck_internal.h"
#include "expansion/deck_processor.h"
#include "expansion/exec_statement.h"
#include "expansion/symbols.h"

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

TEST(ExecStatement, ProcedureNameAndCallSymbols) {
    const std::pair<const char*, const char*> names[] = {
        {"PAYROLL,A=1", "PAYROLL"},
        {"PROC=PAYROLL,A=1", "PAYROLL"},
        {"XYZW=PAYROLL", "PAYROLL"}, // from the sixth character on, whatever the keyword
        {"A=B", ""}, // shorter than "PROC=": the empty name, not the bytes beyond it
        {nullptr, ""}};
    for (auto [parms, name] : names) {
        test::StmtPtr exec = test::MakeStatement(RD_EXEC, "S", parms);
        EXPECT_STREQ(QueryProcedureName(exec.get(), 0, 0), name) << (parms ? parms : "null");
    }
    auto symbol = [](const char* name) {
        char value[kSymbolValueSize] = {};
        return std::string(GetScopedSymbolValue(name, value) ? value : "<undefined>");
    };
    InitializeScopedSymbolData(0);
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    test::StmtPtr exec = test::MakeStatement(RD_EXEC, "C", "P,A='X Y',B=2,A=3,PGMX");
    ProcessProcExec(exec.get(), 0, 0);
    EXPECT_EQ(symbol("A"), "X Y"); // first occurrence wins, apostrophes stripped
    EXPECT_EQ(symbol("B"), "2");
    EXPECT_EQ(symbol("PGMX"), "<undefined>"); // a positional parameter sets nothing
    test::StmtPtr header = test::MakeStatement(RD_PROC, "P", "A=9,C=4,C=5");
    ProcessProcHeader(header.get(), 0, 0);
    EXPECT_EQ(symbol("A"), "X Y"); // the EXEC's value stays
    EXPECT_EQ(symbol("C"), "5");   // defaults go from the last down and never replace
    InitializeScopedSymbolData(0);
}

} // namespace
} // namespace kvr
