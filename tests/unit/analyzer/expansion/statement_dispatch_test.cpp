// Statement dispatch: a JOB statement in the walk is reported, and marker and control
// statements change nothing.
#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

TEST_F(JobModelTest, DispatchReportsJobsAndIgnoresMarkers) {
    const auto dispatch = [this](RD_JCL_STATEMENT_TYPE type, const char* label, int16_t mode) {
        StatementPtr stmt = MakeStatement(type, "X", label, "DSN=A.B", 7);
        ProcessOneStatement(deck, stmt.get(), "SITE", "JES2", mode, 0);
    };
    StartJob("J");
    Exec("STEP1", "PGM=X");
    {
        CapturedLog log;
        dispatch(RD_JOB, "SECOND", 0);
        EXPECT_TRUE(Logged(log.Lines(), "KVR1356W"));
    }
    {
        VelkorCatalog velkor;
        CapturedLog log;
        dispatch(RD_JOB, "THIRD", 2);
        EXPECT_TRUE(Logged(log.Lines(), "VAD3059W"));
    }
    EXPECT_STREQ(QueryCurrentJob()->JobName, "J");
    CapturedLog log;
    for (RD_JCL_STATEMENT_TYPE type :
         {RD_UNKNOWN, RD_COMMAND, RD_JCL_COMMAND, RD_COMMENT, RD_CNTL, RD_DELIMITER, RD_ENDCNTL,
          RD_INCLUDE, RD_JCLLIB, RD_EOJ, RD_PROC, RD_PEND, RD_XMIT, RD_JES2, RD_JOB_END,
          RD_STEP_END, RD_QUILLO_OPC})
        dispatch(type, "LBL", 0);
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(CountItemsInIntList(deck, 0), 2); // the job and its step
    EXPECT_EQ(QueryCurrentJob()->StepCount, 1);
    EXPECT_EQ(StepDD(Step("STEP1"), "LBL"), nullptr);
}

} // namespace
} // namespace kvr::test
