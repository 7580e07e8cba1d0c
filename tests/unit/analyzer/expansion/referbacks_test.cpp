// Backward references in PGM= and DSN=: which step and DD they find, what replaces them, the
// temporary name made up for a DD without a data set name, and the forms left as written.
#include <cctype>

#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

using ReferbackTest = JobModelTest;

TEST_F(ReferbackTest, ProgramReferbackTakesTheMemberName) {
    StartJob("PAYJOB");
    Exec("LINK", "PGM=IEWL");
    DD("SYSLMOD", "DSN=A.LOAD(MYPROG),DISP=SHR");
    DD("NOMEM", "DSN=A.LOAD,DISP=SHR");
    DD("OPEN", "DSN=A.LOAD(OPEN");
    Exec("GO", "PGM=*.LINK.SYSLMOD");
    Exec("ONENAME", "PGM=*.SYSLMOD");
    Exec("NOMEMBER", "PGM=*.LINK.NOMEM");
    Exec("UNCLOSED", "PGM=*.LINK.OPEN");
    Exec("NOSTEP", "PGM=*.NOSUCH.SYSLMOD");
    Exec("NODD", "PGM=*.LINK.NODD");
    Exec("NOPERIOD", "PGM=*LINK.SYSLMOD");
    EXPECT_STREQ(Step("GO")->ExecutableName, "MYPROG");
    EXPECT_STREQ(Step("ONENAME")->ExecutableName, "*.SYSLMOD");
    EXPECT_STREQ(Step("NOMEMBER")->ExecutableName, "*.LINK.NOMEM");
    EXPECT_STREQ(Step("UNCLOSED")->ExecutableName, "*.LINK.OPEN");
    EXPECT_STREQ(Step("NOSTEP")->ExecutableName, "*.NOSUCH.SYSLMOD");
    EXPECT_STREQ(Step("NODD")->ExecutableName, "*.LINK.NODD");
    EXPECT_STREQ(Step("NOPERIOD")->ExecutableName, "*LINK.SYSLMOD");
    EXPECT_EQ(KVRU005(), 0);
}

TEST_F(ReferbackTest, ProgramsSearchForwardDataSetsBackward) {
    StartJob("J");
    Exec("LINK", "PGM=IEWL");
    DD("SYSLMOD", "DSN=LIB.ONE(FIRSTPGM)");
    Exec("LINK", "PGM=IEWL");
    DD("SYSLMOD", "DSN=LIB.TWO(SECONDPG)");
    // PGM= looks from the first step on, DSN= from the current step back.
    Exec("RUN", "PGM=*.LINK.SYSLMOD");
    DD("COPY", "DSN=*.LINK.SYSLMOD");
    EXPECT_STREQ(Step("RUN")->ExecutableName, "FIRSTPGM");
    EXPECT_STREQ(FirstEntry(Step("RUN"), "COPY")->DatasetName, "LIB.TWO(SECONDPG)");
    // *.ddname names a DD of the current step.
    DD("AGAIN", "DSN=*.COPY");
    EXPECT_STREQ(FirstEntry(Step("RUN"), "AGAIN")->DatasetName, "LIB.TWO(SECONDPG)");
}

TEST_F(ReferbackTest, DatasetWithoutNameGetsATemporaryName) {
    SetLocalTimeField();
    const std::string time = GetLocalTimeField();
    ASSERT_EQ(time.size(), 6u);
    for (char c : time)
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c))) << time;
    EXPECT_LT(std::stoi(time.substr(0, 2)), 24);
    EXPECT_LT(std::stoi(time.substr(2, 2)), 60);
    EXPECT_LT(std::stoi(time.substr(4, 2)), 61);

    StartJob("PAYJOB");
    Exec("STEP1", "PGM=A");
    DD("OUT", "UNIT=SYSDA,SPACE=(TRK,1)");
    Exec("STEP2", "PGM=B");
    DD("IN", "DSN=*.STEP1.OUT,DISP=(OLD,DELETE)");
    const std::string temporary = "&&PAYJOB.STEP1." + time;
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "OUT")->DatasetName, temporary.c_str());
    EXPECT_STREQ(FirstEntry(Step("STEP2"), "IN")->DatasetName, temporary.c_str());
    // A second referback finds the name already stored.
    DD("IN2", "DSN=*.STEP1.OUT");
    EXPECT_STREQ(FirstEntry(Step("STEP2"), "IN2")->DatasetName, temporary.c_str());
}

TEST_F(ReferbackTest, ProcedureStepsAreFoundThroughTheCallingStep) {
    StartJob("J");
    Exec("FIRST", "PGM=X");
    BeginProcedure("CALL");
    Exec("PSTEP", "PGM=Y");
    DD("OUT", "DSN=PROC.OUT");
    Exec("PSTEP2", "PGM=Y");
    DD("IN", "DSN=*.PSTEP.OUT"); // same procedure level: found by its own name
    EndProcedure();
    Exec("AFTER", "PGM=Z");
    DD("IN", "DSN=*.CALL.PSTEP.OUT");
    DD("IN2", "DSN=*.PSTEP.OUT"); // a procedure step is not found by its name alone
    DD("IN3", "DSN=*.OTHER.PSTEP.OUT");
    DD("IN4", "DSN=*.CALL.PSTEP.EXTRA.OUT"); // four names: not a referback form
    EXPECT_STREQ(FirstEntry(Step("PSTEP2"), "IN")->DatasetName, "PROC.OUT");
    EXPECT_STREQ(FirstEntry(Step("AFTER"), "IN")->DatasetName, "PROC.OUT");
    EXPECT_STREQ(FirstEntry(Step("AFTER"), "IN2")->DatasetName, "*.PSTEP.OUT");
    EXPECT_STREQ(FirstEntry(Step("AFTER"), "IN3")->DatasetName, "*.OTHER.PSTEP.OUT");
    EXPECT_STREQ(FirstEntry(Step("AFTER"), "IN4")->DatasetName, "*.CALL.PSTEP.EXTRA.OUT");
}

TEST_F(ReferbackTest, MalformedOrUnresolvedReferbacksStayAsWritten) {
    const char* forms[] = {"*.STEPX.DD1", "*.",     "*.A..B",      "*.S1.",
                           "*",           "*X.DD1", "*.A.B.C.DD1", "*.NODD"};
    // Without a job nothing can be found.
    for (const char* form : forms) {
        char* text = CloneString(form, 0);
        ProcessReferbackSyntax(&text, FALSE, 0, 0);
        EXPECT_STREQ(text, form);
        FreeString(text, 0);
    }
    RD_DatasetConcatenation* concat = nullptr;
    RD_JobStep* step = nullptr;
    EXPECT_FALSE(FindReferbackDDStatement(nullptr, nullptr, "DD1", &concat, &step, FALSE, 0, 0));

    StartJob("J");
    Exec("S1", "PGM=X");
    DD("DD1", "DSN=REAL.NAME");
    Exec("S2", "PGM=X");
    for (const char* form : forms) {
        char* text = CloneString(form, 0);
        ProcessReferbackSyntax(&text, FALSE, 0, 0);
        EXPECT_STREQ(text, form);
        FreeString(text, 0);
    }
    ASSERT_TRUE(FindReferbackDDStatement("S1", nullptr, "DD1", &concat, &step, FALSE, 0, 0));
    EXPECT_EQ(step, Step("S1"));
    EXPECT_STREQ(concat->DatasetName, "REAL.NAME");
    EXPECT_EQ(KVRU005(), 0);
}

} // namespace
} // namespace kvr::test
