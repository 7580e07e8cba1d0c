// EXEC statements: a PGM keyword makes a program step; a procedure name, PROC= or no
// parameters at all (reported with message 1371) make a procedure call, whose name and
// symbols the EXEC gives.
#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "expansion/deck_internal.h"
#include "expansion/deck_processor.h"
#include "expansion/exec_statement.h"
#include "reader/symbols.h"

namespace kvr {
namespace {

TEST(ExecStatement, OnlyAPgmKeywordRunsAProgram) {
    test::MessageRecorder messages;
    test::TestMember member;
    auto invokes = [&member](const char* parms, int16_t mode = kModeStandard) {
        member.run.mode = mode;
        test::StmtPtr stmt = test::MakeStatement(member.ctx, RD_EXEC, "STEP1", parms, 4);
        return ExecInvokesProgram(member.ctx, stmt.get());
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
    test::TestMember member;
    MemberContext& ctx = member.ctx;
    for (auto [parms, name] : names) {
        test::StmtPtr exec = test::MakeStatement(ctx, RD_EXEC, "S", parms);
        EXPECT_STREQ(QueryProcedureName(ctx, exec.get()), name) << (parms ? parms : "null");
    }
    auto symbol = [&ctx](const char* name) {
        char value[kSymbolValueSize] = {};
        return std::string(GetScopedSymbolValue(ctx, name, value) ? value : "<undefined>");
    };
    ASSERT_TRUE(BeginSymbolScope(ctx));
    test::StmtPtr exec = test::MakeStatement(ctx, RD_EXEC, "C", "P,A='X Y',B=2,A=3,PGMX");
    ProcessProcExec(ctx, exec.get());
    EXPECT_EQ(symbol("A"), "X Y"); // first occurrence wins, apostrophes stripped
    EXPECT_EQ(symbol("B"), "2");
    EXPECT_EQ(symbol("PGMX"), "<undefined>"); // a positional parameter sets nothing
    test::StmtPtr header = test::MakeStatement(ctx, RD_PROC, "P", "A=9,C=4,C=5");
    ProcessProcHeader(ctx, header.get());
    EXPECT_EQ(symbol("A"), "X Y"); // the EXEC's value stays
    EXPECT_EQ(symbol("C"), "5");   // defaults go from the last down and never replace
}

} // namespace
} // namespace kvr
