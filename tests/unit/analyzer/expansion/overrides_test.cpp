// Override statements of a procedure call: which step and DD a label addresses, the walk of
// unlabelled statements, and the statements that are not applied.
#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

using Names = std::vector<std::string>;

// //J JOB; //FIRST EXEC PGM=X; //CALL EXEC P, where P has
//   STEP1 (SYSIN DSN=S1.IN, SYSPRINT SYSOUT=*), STEP2 (SYSIN DSN=OLD.IN, LIB L1+L2+L3),
//   STEP3 (X DSN=X.OLD) and a nested call INNER with NSTEP (DD1).
class OverrideTest : public JobModelTest {
  protected:
    RD_StepCursor* CallProcedure(int16_t mode = 0) {
        StartJob("J", mode);
        Exec("FIRST", "PGM=X", mode, 2);
        BeginProcedure("CALL", mode);
        Exec("STEP1", "PGM=A", mode, 10);
        DD("SYSIN", "DSN=S1.IN,DISP=SHR", mode, 11);
        DD("SYSPRINT", "SYSOUT=*", mode, 12);
        Exec("STEP2", "PGM=B", mode, 13);
        DD("SYSIN", "DSN=OLD.IN,DISP=SHR", mode, 14);
        DD("LIB", "DSN=L1,DISP=SHR", mode, 15);
        DD("", "DSN=L2,DISP=SHR", mode, 16);
        DD("", "DSN=L3,DISP=SHR", mode, 17);
        Exec("STEP3", "PGM=C", mode, 18);
        DD("X", "DSN=X.OLD", mode, 19);
        BeginProcedure("INNER", mode);
        Exec("NSTEP", "PGM=D", mode, 20);
        DD("DD1", "DSN=N.OLD", mode, 21);
        EndProcedure(mode);
        return EndProcedure(mode);
    }
};

// Merged elements, in-stream overrides and additions beyond a concatenation: text_overrides,
// text_override_instream. Here: step order, the remembered step, the walk's end, limits.
TEST_F(OverrideTest, QualifiedOverridesInAnyStepOrderAndTheUnlabelledWalk) {
    RD_StepCursor* start = CallProcedure();
    ASSERT_NE(start, nullptr);
    Override(start, "SYSPRINT", "SYSOUT=A"); // no period: the first step of the procedure
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "SYSPRINT")->Parms, "SYSOUT=A");
    Override(start, "STEP1.SYSIN", "DSN=*.FIRST.NONE"); // a referback is not resolved
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "SYSIN")->DatasetName, "*.FIRST.NONE");
    const std::pair<const char*, const char*> later[] = {
        {"STEP3", "X"}, {"STEP1", "SYSIN"}, {"STEP3", "Y"}, {"STEP2", "SYSIN"}};
    for (auto [step, dd] : later)
        Override(start, (std::string(step) + "." + dd).c_str(), (std::string("DSN=") + dd).c_str());
    for (auto [step, dd] : later)
        EXPECT_STREQ(FirstEntry(Step(step), dd)->DatasetName, dd) << step << "." << dd;
    // Same step name again right after: the remembered step.
    Override(start, "STEP2.LIB", "DSN=LX");
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP2"), "LIB")), (Names{"LX", "L2", "L3"}));
    // An unlabelled DD after an addition extends the added DD.
    Override(start, "STEP2.EXTRA", "DSN=E1");
    Override(start, "", "DSN=E2");
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP2"), "EXTRA")), (Names{"E1", "E2"}));
    EXPECT_EQ(KVRU005(), 0);

    // A step that is not found ends the walk: the next unlabelled DD follows no override.
    CapturedLog log;
    Override(start, "NOSUCH.LIB", "DSN=N1");
    Override(start, "", "DSN=E3");
    EXPECT_TRUE(Logged(log.Lines(), "KVR1396W"));
    EXPECT_TRUE(Logged(log.Lines(), "KVR1463W"));
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP2"), "EXTRA")), (Names{"E1", "E2"}));
    // So does the per-member reset.
    Override(start, "STEP3.X", "DSN=X1");
    InitializeOverrideState(0);
    Override(start, "", "DSN=X2");
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP3"), "X")), (Names{"X1"}));
}

TEST_F(OverrideTest, StatementsThatAreNotApplied) {
    RD_StepCursor* start = CallProcedure();
    CapturedLog log;
    // Steps of a nested procedure are out of reach.
    Override(start, "NSTEP.DD1", "DSN=A");
    EXPECT_EQ(DatasetNames(StepDD(Step("NSTEP"), "DD1")), Names{"N.OLD"});
    Override(start, "STEP2.ABCDEFGHIJKL", "DSN=A"); // 18 characters
    EXPECT_TRUE(Logged(log.Lines(), "KVR1395W"));
    EXPECT_EQ(StepDD(Step("STEP2"), "ABCDEFGHIJKL"), nullptr);
    Override(start, "STEP2.ABCDEFGHIJK", "DSN=A"); // 17 characters are accepted
    EXPECT_NE(StepDD(Step("STEP2"), "ABCDEFGHIJK"), nullptr);

    // A cursor on no step: an unqualified override has no step.
    RD_StepCursor* nowhere = DuplicateStepCursor(start, 0, 0);
    nowhere->StepNumber = QueryCurrentJob()->StepCount + 1;
    Override(nowhere, "SYSPRINT", "SYSOUT=B");
    DeleteStepCursor(nowhere, 0);
    EXPECT_TRUE(Logged(log.Lines(), "KVR1397W"));
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "SYSPRINT")->Parms, "SYSOUT=*");
    EXPECT_EQ(StepDD(Step("STEP1"), "DD1"), nullptr);
    EXPECT_EQ(StepDD(Step("STEP1"), ""), nullptr);
}

TEST_F(OverrideTest, VelkorNumbersAndTheStatementLog) {
    RD_StepCursor* start = CallProcedure(2);
    {
        VelkorCatalog velkor;
        CapturedLog log;
        Override(start, "", "DSN=A", 2);
        Override(start, "NOSUCH.DD1", "DSN=A", 2);
        EXPECT_TRUE(Logged(log.Lines(), "VAD3111W"));
        EXPECT_TRUE(Logged(log.Lines(), "VAD3087W"));
    }
    CapturedLog log;
    testing::internal::CaptureStdout();
    StatementPtr added = DDStatement("STEP1.ADDED", "DSN=ADD.IN", 41);
    Override(start, added.get(), 0, 1);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(Logged(log.Lines(), "KVR1398I")); // an addition; 1399: debug_deck_listing
}

} // namespace
} // namespace kvr::test
