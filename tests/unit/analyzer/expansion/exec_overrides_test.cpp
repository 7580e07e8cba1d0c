// EXEC parameter overrides of a procedure call: the rewrite of a procedure step's operand
// text keeps quoted and parenthesized values whole, tells EXEC keywords from symbolic
// parameters and from longer keywords that begin alike, and applies only the overrides
// of the innermost call being walked.
#include <gtest/gtest.h>

#include <string>

#include "analyzer/statement_test_support.h"
#include "expansion/exec_overrides.h"

namespace kvr {
namespace {

// The operand text a procedure step is left with once the overrides of the calls begun so
// far have been applied to it.
std::string Rewritten(MemberContext& ctx, const char* label, const char* parms) {
    test::StmtPtr step = test::MakeStatement(ctx, RD_EXEC, label, parms, 2);
    ApplyExecOverrides(ctx, step.get());
    char* text = nullptr;
    return JCLStatementParmText(step.get(), &text) ? std::string(text) : "<none>";
}

TEST(ExecOverrides, ValuesWithCommasApostrophesAndParenthesesStayWhole) {
    test::TestMember member;
    MemberContext& ctx = member.ctx;
    const int32_t blocksBefore = test::BlocksOutstanding();
    {
        test::StmtPtr call =
            test::MakeStatement(ctx, RD_EXEC, "S1", "CP4,PARM.PB=(X,'Y Z'),REGION=8M", 7);
        BeginExecOverrides(ctx, call.get());
        // PARM.PB is not for the first step; its REGION is replaced, parentheses and all.
        EXPECT_EQ(Rewritten(ctx, "PA", "PGM=A,REGION=(1,2),PARMDD=DDX"),
                  "PGM=A,REGION=8M,PARMDD=DDX");
        // The quoted PARM is replaced whole; "PARM=" inside ACCT's apostrophes is no keyword.
        EXPECT_EQ(Rewritten(ctx, "PB", "PGM=B,ACCT='A,PARM=B',PARM='A,B',COND=((4,LT),(8,GT))"),
                  "PGM=B,ACCT='A,PARM=B',PARM=(X,'Y Z'),COND=((4,LT),(8,GT)),REGION=8M");
        EndExecOverrides(ctx, call.get());
    }
    EXPECT_EQ(test::BlocksOutstanding(), blocksBefore);
}

TEST(ExecOverrides, SymbolicParametersAndProgramNamesAreNoOverrides) {
    test::MessageRecorder messages;
    test::TestMember member;
    MemberContext& ctx = member.ctx;
    test::StmtPtr call = test::MakeStatement(
        ctx, RD_EXEC, "S1", "P,MBR=X,PARMX=Z,RD=R,PGM.S1=Y,PROC.S1=Q,TIME=5,DYNAMNBR=2,(A.S1=1)",
        3);
    BeginExecOverrides(ctx, call.get());
    EXPECT_EQ(Rewritten(ctx, "S1", "PGM=A,TIME=1"), "PGM=A,TIME=5,RD=R,DYNAMNBR=2");
    // TIME goes to the first step only and is removed from the others.
    EXPECT_EQ(Rewritten(ctx, "S2", "PGM=B,TIME=1"), "PGM=B,RD=R,DYNAMNBR=2");
    EndExecOverrides(ctx, call.get());
    // PGM.S1, PROC.S1 and the positional (A.S1=1) are no overrides: nothing to report.
    EXPECT_EQ(messages.Count("KVR1481W"), 0);
}

TEST(ExecOverrides, QualifiedValueWinsAndEmptyValueNullifies) {
    test::TestMember member;
    MemberContext& ctx = member.ctx;
    test::StmtPtr call =
        test::MakeStatement(ctx, RD_EXEC, "S1", "P,PARM.S2=OWN,PARM=ALL,COND.S1=,COND=(0,NE)", 3);
    BeginExecOverrides(ctx, call.get());
    EXPECT_EQ(Rewritten(ctx, "S1", "PGM=A,COND=(4,LT),PARM=OLD"), "PGM=A,PARM=ALL");
    EXPECT_EQ(Rewritten(ctx, "S2", "PGM=B,PARM=OLD,PARM=TWICE"), "PGM=B,PARM=OWN,COND=(0,NE)");
    EXPECT_EQ(Rewritten(ctx, "", "PGM=C,PARM=OLD"), "PGM=C,COND=(0,NE)"); // an unnamed step
    EndExecOverrides(ctx, call.get());
}

TEST(ExecOverrides, OnlyTheInnermostCallApplies) {
    test::MessageRecorder messages;
    test::TestMember member;
    MemberContext& ctx = member.ctx;
    const char* untouched = "PGM=A,PARM=OLD";
    EXPECT_EQ(Rewritten(ctx, "S1", untouched), untouched); // no call is walked
    test::StmtPtr outer = test::MakeStatement(ctx, RD_EXEC, "C1", "OUTER,PARM.S1=OUT", 4);
    BeginExecOverrides(ctx, outer.get());
    // OUTER's step S2 calls INNER, whose step S1 the outer call cannot reach.
    EXPECT_EQ(Rewritten(ctx, "S2", "INNER"), "INNER");
    test::StmtPtr inner = test::MakeStatement(ctx, RD_EXEC, "S2", "INNER", 5);
    BeginExecOverrides(ctx, inner.get());
    EXPECT_EQ(Rewritten(ctx, "S1", untouched), untouched);
    EndExecOverrides(ctx, inner.get());
    EXPECT_EQ(messages.Count("KVR1481W"), 0);
    EndExecOverrides(ctx, outer.get());
    EXPECT_EQ(messages.Count("KVR1470I"), 1);
    EXPECT_EQ(messages.Count("KVR1481W"), 1);
    EXPECT_EQ(Rewritten(ctx, "S1", untouched), untouched); // every call has ended
}

TEST(ExecOverrides, AProcedureWithoutStepsMissesNoStep) {
    test::MessageRecorder messages;
    test::TestMember member;
    MemberContext& ctx = member.ctx;
    // A procedure that was not found is walked without statements.
    test::StmtPtr call = test::MakeStatement(ctx, RD_EXEC, "C1", "MISSING,PARM.S1=X", 4);
    BeginExecOverrides(ctx, call.get());
    EndExecOverrides(ctx, call.get());
    EXPECT_EQ(messages.Count("KVR1481W"), 0);
}

} // namespace
} // namespace kvr
