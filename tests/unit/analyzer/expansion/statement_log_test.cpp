// The statement log: which statements are not traced, and the message numbers of each log
// type in Velkor mode. Levels, labels, operations and parameters in whole runs:
// debug_deck_listing, debug_set_after_exec, debug_override_addition.
#include "expansion/statement_log.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "analyzer/statement_test_support.h"

namespace kvr::test {
namespace {

using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

StmtPtr MakeStatement(MemberContext& ctx, RD_JCL_STATEMENT_TYPE type, const char* label,
                      const char* op, const char* parms, SOURCE_REF ref, int32_t line) {
    StmtPtr stmt = test::MakeStatement(ctx, type, label, parms, line);
    std::snprintf(stmt->StatementOp, sizeof stmt->StatementOp, "%s", op);
    stmt->FileReference = ref;
    return stmt;
}

// The log is captured; the member's run traces (debug 1) unless a test says otherwise.
class StatementLogTest : public ::testing::Test {
  protected:
    void SetUp() override { member_.run.debug = 1; }
    MemberContext& Ctx() { return member_.ctx; }
    Strings LogLines() { return log_.Lines(); }
    Ints Raised() {
        Ints numbers;
        for (const std::string& line : LogLines())
            numbers.push_back(std::stoi(line.substr(3, 4)));
        return numbers;
    }
    MessageRecorder messages_;
    CapturedLog log_;
    TestMember member_;
};

TEST_F(StatementLogTest, WhatIsNotTraced) {
    auto dd = MakeStatement(Ctx(), RD_DD, "DD1", "DD", "DSN=A.B", 0, 3);
    Ctx().run.debug = 0; // not a debug run
    LogJCLStatement(Ctx(), dd.get(), RD_LOGNORM);
    Ctx().run.debug = 1;
    LogJCLStatement(Ctx(), dd.get(), static_cast<RD_LOG_TYPE>(7));
    auto madeUp = MakeStatement(Ctx(), RD_DD, "DD1", "DD", "DSN=A.B", -1, 0);
    LogJCLStatement(Ctx(), madeUp.get(), RD_LOGNORM);
    EXPECT_FALSE(JCLStatementShouldLog(madeUp.get()));
    for (RD_JCL_STATEMENT_TYPE type : {RD_COMMAND, RD_JES2, RD_COMMENT, RD_STEP_END, RD_UNKNOWN,
                                       RD_QUILLO_OPC, RD_CNTL, RD_XMIT, RD_SET, RD_OUTPUT}) {
        auto stmt = MakeStatement(Ctx(), type, "X", "OP", "A", 0, 1);
        const bool traced = type == RD_SET || type == RD_OUTPUT;
        EXPECT_EQ(JCLStatementShouldLog(stmt.get()) != 0, traced) << int(type);
        if (!traced) LogJCLStatement(Ctx(), stmt.get(), RD_LOGNORM);
    }
    EXPECT_EQ(LogLines(), Strings{});
}

TEST_F(StatementLogTest, VelkorNumbers) {
    VelkorCatalog velkor;
    auto dd = MakeStatement(Ctx(), RD_DD, "DD1", "DD", "DSN=A.B", 0, 3);
    Ctx().run.mode = kModeVelkor;
    for (RD_LOG_TYPE type :
         {RD_LOGNORM, RD_LOGSUBSTITUTION, RD_LOGOVERRIDE, RD_LOGADD, RD_LOGERROR})
        LogJCLStatement(Ctx(), dd.get(), type);
    EXPECT_EQ(Raised(), (Ints{3082, 3083, 3090, 3089, 3091}));
    EXPECT_EQ(LogLines()[0], "VAD3082I   0- 0 DD1      DD      DSN=A.B");
}

} // namespace
} // namespace kvr::test
