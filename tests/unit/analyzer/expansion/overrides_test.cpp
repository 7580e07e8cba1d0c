// Override statements of a procedure call: which step and DD a label addresses, overrides
// and additions member by member of a concatenation, and the statements that are not applied.
#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

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

TEST_F(OverrideTest, QualifiedOverridesAndAdditions) {
    RD_StepCursor* start = CallProcedure();
    ASSERT_NE(start, nullptr);
    ASSERT_EQ(QueryStepCursor(start), Step("STEP1"));
    {
        StatementPtr sysin = DDStatement("STEP2.SYSIN", "*", 30);
        AttachInstreamData(sysin.get(), {"DATA CARD"});
        void* spool = sysin->inStreamData;
        Override(start, sysin.get());
        RD_DatasetConcatenation* entry = FirstEntry(Step("STEP2"), "SYSIN");
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->inStreamData, spool);
        EXPECT_EQ(sysin->inStreamData, nullptr);
        EXPECT_STREQ(entry->DatasetName, "");
        EXPECT_STREQ(entry->Parms, "*");
        EXPECT_EQ(entry->fileLine, 30);
    }
    Override(start, "STEP2.NEWDD", "DSN=A.B,DISP=SHR");
    RD_DDStatement* added = StepDD(Step("STEP2"), "NEWDD");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(DatasetNames(added), std::vector<std::string>{"A.B"});
    EXPECT_STREQ(Entries(added)[0]->Status, "SHR");
    EXPECT_STREQ(Entries(added)[0]->Parms, "DSN=A.B,DISP=SHR"); // added, not merged

    // No period: the first step of the procedure.
    Override(start, "SYSPRINT", "SYSOUT=A");
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "SYSPRINT")->Parms, "SYSOUT=A");
    // A referback in an override is not resolved.
    Override(start, "STEP1.SYSIN", "DSN=*.FIRST.NONE");
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "SYSIN")->DatasetName, "*.FIRST.NONE");
    EXPECT_STREQ(FirstEntry(Step("STEP2"), "SYSIN")->DatasetName, "");
    EXPECT_EQ(KVRU005(), 0);
}

TEST_F(OverrideTest, UnlabelledStatementsWalkTheConcatenation) {
    RD_StepCursor* start = CallProcedure();
    Override(start, "STEP2.LIB", "DSN=X");
    Override(start, "", "DSN=Y");
    Override(start, "", "DSN=Z");
    RD_DDStatement* lib = StepDD(Step("STEP2"), "LIB");
    EXPECT_EQ(DatasetNames(lib), (std::vector<std::string>{"X", "Y", "Z"}));
    Override(start, "", "DSN=W");
    Override(start, "", "DSN=V");
    EXPECT_EQ(DatasetNames(lib), (std::vector<std::string>{"X", "Y", "Z", "W", "V"}));
    // Merged entries keep the procedure's DISP; appended ones have none.
    EXPECT_STREQ(Entries(lib)[2]->Status, "SHR");
    EXPECT_STREQ(Entries(lib)[3]->Status, "");

    // An unlabelled DD after an addition extends the added DD.
    Override(start, "STEP2.EXTRA", "DSN=E1");
    Override(start, "", "DSN=E2");
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP2"), "EXTRA")), (std::vector<std::string>{"E1", "E2"}));
    EXPECT_EQ(KVRU005(), 0);

    // A step that is not found ends the walk: the next unlabelled DD follows no override.
    CapturedLog log;
    Override(start, "NOSUCH.LIB", "DSN=N1");
    Override(start, "", "DSN=E3");
    std::vector<std::string> lines = log.Lines();
    EXPECT_TRUE(Logged(lines, "KVR1396W"));
    EXPECT_TRUE(Logged(lines, "KVR1463W"));
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP2"), "EXTRA")), (std::vector<std::string>{"E1", "E2"}));
}

TEST_F(OverrideTest, StepsMayBeNamedInAnyOrder) {
    RD_StepCursor* start = CallProcedure();
    Override(start, "STEP3.X", "DSN=X.NEW");
    Override(start, "STEP1.SYSIN", "DSN=S1.NEW");
    Override(start, "STEP3.Y", "DSN=Y.NEW");
    Override(start, "STEP2.SYSIN", "DSN=S2.NEW");
    EXPECT_STREQ(FirstEntry(Step("STEP3"), "X")->DatasetName, "X.NEW");
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "SYSIN")->DatasetName, "S1.NEW");
    EXPECT_STREQ(FirstEntry(Step("STEP3"), "Y")->DatasetName, "Y.NEW");
    EXPECT_STREQ(FirstEntry(Step("STEP2"), "SYSIN")->DatasetName, "S2.NEW");
    // Same step name again right after: the remembered step.
    Override(start, "STEP2.LIB", "DSN=LX");
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP2"), "LIB")),
              (std::vector<std::string>{"LX", "L2", "L3"}));
    EXPECT_EQ(KVRU005(), 0);
}

TEST_F(OverrideTest, StatementsThatAreNotApplied) {
    RD_StepCursor* start = CallProcedure();
    CapturedLog log;
    Override(start, "", "DSN=FIRST.UNLABELLED");
    std::vector<std::string> lines = log.Lines();
    EXPECT_TRUE(Logged(lines, "KVR1463W"));
    // The message stands at the first procedure step's EXEC (line 10).
    EXPECT_TRUE(Logged(lines, "at line 10"));

    Override(start, "NOSUCH.DD1", "DSN=A");
    EXPECT_TRUE(Logged(log.Lines(), "KVR1396W"));
    // Steps of a nested procedure are out of reach.
    Override(start, "NSTEP.DD1", "DSN=A");
    EXPECT_EQ(DatasetNames(StepDD(Step("NSTEP"), "DD1")), std::vector<std::string>{"N.OLD"});

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

    EXPECT_STREQ(FirstEntry(Step("STEP1"), "SYSIN")->DatasetName, "S1.IN");
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
        std::vector<std::string> lines = log.Lines();
        EXPECT_TRUE(Logged(lines, "VAD3111W"));
        EXPECT_TRUE(Logged(lines, "VAD3087W"));
    }
    CapturedLog log;
    testing::internal::CaptureStdout();
    StatementPtr merged = DDStatement("STEP1.SYSIN", "DSN=NEW.IN", 40);
    Override(start, merged.get(), 0, 1);
    StatementPtr added = DDStatement("STEP1.ADDED", "DSN=ADD.IN", 41);
    Override(start, added.get(), 0, 1);
    testing::internal::GetCapturedStdout();
    std::vector<std::string> lines = log.Lines();
    EXPECT_TRUE(Logged(lines, "KVR1399I")); // override
    EXPECT_TRUE(Logged(lines, "KVR1398I")); // addition
}

TEST_F(OverrideTest, InitializeForgetsTheOverriddenDD) {
    RD_StepCursor* start = CallProcedure();
    Override(start, "STEP2.LIB", "DSN=X");
    InitializeOverrideState(0);
    CapturedLog log;
    Override(start, "", "DSN=Y");
    EXPECT_TRUE(Logged(log.Lines(), "KVR1463W"));
    EXPECT_EQ(DatasetNames(StepDD(Step("STEP2"), "LIB")),
              (std::vector<std::string>{"X", "L2", "L3"}));
}

} // namespace
} // namespace kvr::test
