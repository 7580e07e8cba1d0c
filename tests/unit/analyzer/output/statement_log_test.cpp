// The statement log: which statements are not traced, and the message numbers of each log
// type in Velkor mode. Levels, labels, operations and parameters in whole runs:
// debug_deck_listing, debug_set_after_exec, debug_override_addition.
#include "output/statement_log.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "analyzer/statement_test_support.h"
#include "driver/member_loop.h"
#include "driver/run_settings.h"
#include "model/deck_records.h"
#include "model/job_model.h"

namespace kvr::test {
namespace {

using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

StmtPtr MakeStatement(RD_JCL_STATEMENT_TYPE type, const char* label, const char* op,
                      const char* parms, SOURCE_REF ref, int32_t line) {
    StmtPtr stmt = test::MakeStatement(type, label, parms, line);
    std::snprintf(stmt->StatementOp, sizeof stmt->StatementOp, "%s", op);
    stmt->FileReference = ref;
    return stmt;
}

// A job may be made in the deck; the log is captured.
class StatementLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitializeFields(0);
        CreateList(&deck_, 0);
    }
    void TearDown() override {
        Free_arrayJclDeck(deck_, 0);
        InitializeFields(0);
    }
    Strings LogLines() { return log_.Lines(); }
    Ints Raised() {
        Ints numbers;
        for (const std::string& line : LogLines())
            numbers.push_back(std::stoi(line.substr(3, 4)));
        return numbers;
    }
    MessageRecorder messages_;
    CapturedLog log_;
    void* deck_ = nullptr;
};

TEST_F(StatementLogTest, WhatIsNotTraced) {
    auto dd = MakeStatement(RD_DD, "DD1", "DD", "DSN=A.B", 0, 3);
    LogJCLStatement(dd.get(), RD_LOGNORM, 0, 0); // not a debug run
    LogJCLStatement(dd.get(), static_cast<RD_LOG_TYPE>(7), 0, 1);
    auto madeUp = MakeStatement(RD_DD, "DD1", "DD", "DSN=A.B", -1, 0);
    LogJCLStatement(madeUp.get(), RD_LOGNORM, 0, 1);
    EXPECT_FALSE(JCLStatementShouldLog(madeUp.get()));
    for (RD_JCL_STATEMENT_TYPE type : {RD_COMMAND, RD_JES2, RD_COMMENT, RD_STEP_END, RD_UNKNOWN,
                                       RD_QUILLO_OPC, RD_CNTL, RD_XMIT, RD_SET, RD_OUTPUT}) {
        auto stmt = MakeStatement(type, "X", "OP", "A", 0, 1);
        const bool traced = type == RD_SET || type == RD_OUTPUT;
        EXPECT_EQ(JCLStatementShouldLog(stmt.get()) != 0, traced) << int(type);
        if (!traced) LogJCLStatement(stmt.get(), RD_LOGNORM, 0, 1);
    }
    EXPECT_EQ(LogLines(), Strings{});
}

TEST_F(StatementLogTest, VelkorNumbers) {
    VelkorCatalog velkor;
    auto dd = MakeStatement(RD_DD, "DD1", "DD", "DSN=A.B", 0, 3);
    for (RD_LOG_TYPE type :
         {RD_LOGNORM, RD_LOGSUBSTITUTION, RD_LOGOVERRIDE, RD_LOGADD, RD_LOGERROR})
        LogJCLStatement(dd.get(), type, kModeVelkor, 1);
    EXPECT_EQ(Raised(), (Ints{3082, 3083, 3090, 3089, 3091}));
    EXPECT_EQ(LogLines()[0], "VAD3082I   0- 0 DD1      DD      DSN=A.B");
}

} // namespace
} // namespace kvr::test
