// Statement dispatch: each statement type reaches its model operation, a JOB statement in the
// walk is reported, and marker and control statements change nothing.
#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

class DispatchTest : public JobModelTest {
  protected:
    void Dispatch(RD_JCL_STATEMENT_TYPE type, const char* op, const char* label, const char* parms,
                  int16_t mode = 0) {
        StatementPtr stmt = MakeStatement(type, op, label, parms, 7);
        ProcessOneStatement(deck, stmt.get(), "SITE", "JES2", mode, 0);
    }

    std::vector<int16_t> DeckTypes() const {
        std::vector<int16_t> types;
        void* cursor = nullptr;
        if (!KVR_CreateCursor(deck, &cursor, 0)) return types;
        void* data = nullptr;
        while (GetDataAtCursor(cursor, &data)) {
            types.push_back(static_cast<RD_JclCommon*>(data)->structureType);
            if (!AdvanceCursor(cursor)) break;
        }
        DeleteCursor(cursor, 0);
        return types;
    }
};

TEST_F(DispatchTest, StatementsReachTheJobModel) {
    StartJob("J");
    Dispatch(RD_EXEC, "EXEC", "STEP1", "PGM=IEFBR14");
    Dispatch(RD_DD, "DD", "DD1", "DSN=A.B,DISP=SHR");
    Dispatch(RD_IF, "IF", "CHK", "(RC = 0) THEN");
    Dispatch(RD_ELSE, "ELSE", "", nullptr);
    Dispatch(RD_ENDIF, "ENDIF", "", nullptr);
    Dispatch(RD_OUTPUT, "OUTPUT", "OUT1", "FCB=STD3");
    ASSERT_NE(Step("STEP1"), nullptr);
    EXPECT_STREQ(Step("STEP1")->ExecutableName, "IEFBR14");
    ASSERT_NE(FirstEntry(Step("STEP1"), "DD1"), nullptr);
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "DD1")->Status, "SHR");
    EXPECT_EQ(DeckTypes(), (std::vector<int16_t>{RD_STRUCT_JOB, RD_STRUCT_STEP, RD_STRUCT_IF,
                                                 RD_STRUCT_ELSE, RD_STRUCT_ENDIF}));
    EXPECT_EQ(QueryIfNesting(), 0);
    EXPECT_EQ(QueryCurrentJob()->IfStmtCount, 1);
    // OUTPUT after the first step belongs to that step.
    EXPECT_NE(Step("STEP1")->StepOutputSpecificationList, nullptr);
    EXPECT_EQ(KVRU005(), 0);
}

TEST_F(DispatchTest, JobStatementInTheWalkIsReported) {
    StartJob("J");
    {
        CapturedLog log;
        Dispatch(RD_JOB, "JOB", "SECOND", "(ACCT)");
        EXPECT_TRUE(Logged(log.Lines(), "KVR1356W"));
    }
    {
        VelkorCatalog velkor;
        CapturedLog log;
        Dispatch(RD_JOB, "JOB", "THIRD", "(ACCT)", 2);
        EXPECT_TRUE(Logged(log.Lines(), "VAD3059W"));
    }
    EXPECT_STREQ(QueryCurrentJob()->JobName, "J");
    EXPECT_EQ(DeckTypes(), std::vector<int16_t>{RD_STRUCT_JOB});
}

TEST_F(DispatchTest, MarkersAndControlStatementsChangeNothing) {
    StartJob("J");
    Dispatch(RD_EXEC, "EXEC", "STEP1", "PGM=X");
    const RD_JCL_STATEMENT_TYPE ignored[] = {
        RD_UNKNOWN, RD_COMMAND, RD_JCL_COMMAND, RD_COMMENT,  RD_CNTL,      RD_DELIMITER,
        RD_ENDCNTL, RD_INCLUDE, RD_JCLLIB,      RD_EOJ,      RD_PROC,      RD_PEND,
        RD_XMIT,    RD_JES2,    RD_JOB_END,     RD_STEP_END, RD_QUILLO_OPC};
    CapturedLog log;
    for (RD_JCL_STATEMENT_TYPE type : ignored)
        Dispatch(type, "X", "LBL", "DSN=A.B");
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(DeckTypes(), (std::vector<int16_t>{RD_STRUCT_JOB, RD_STRUCT_STEP}));
    EXPECT_EQ(QueryCurrentJob()->StepCount, 1);
    EXPECT_EQ(StepDD(Step("STEP1"), "LBL"), nullptr);
}

} // namespace
} // namespace kvr::test
