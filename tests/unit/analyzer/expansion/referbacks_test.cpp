// Backward references in PGM= and DSN=: which step and DD they find, what replaces them, the
// temporary name made up for a DD without a data set name, and the forms left as written.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>

#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

using ReferbackTest = JobModelTest;

// PGM=*.step.dd taking the member name, DSN=*.step.dd and *.dd, and an unknown step:
// text_referbacks. Here: PGM= searching from the first step, and its forms left as written.
TEST_F(ReferbackTest, ProgramReferbacksTakeTheMemberNameSearchingForward) {
    StartJob("PAYJOB");
    Exec("LINK", "PGM=IEWL");
    DD("SYSLMOD", "DSN=A.LOAD(MYPROG),DISP=SHR");
    DD("NOMEM", "DSN=A.LOAD,DISP=SHR");
    DD("OPEN", "DSN=A.LOAD(OPEN");
    Exec("LINK", "PGM=IEWL");
    DD("SYSLMOD", "DSN=LIB.TWO(SECONDPG)");
    const std::pair<const char*, const char*> cases[] = {
        {"*.LINK.SYSLMOD", "MYPROG"}, // PGM= looks from the first step on
        {"*.SYSLMOD", "*.SYSLMOD"},     {"*.LINK.NOMEM", "*.LINK.NOMEM"},
        {"*.LINK.OPEN", "*.LINK.OPEN"}, {"*.NOSUCH.SYSLMOD", "*.NOSUCH.SYSLMOD"},
        {"*.LINK.NODD", "*.LINK.NODD"}, {"*LINK.SYSLMOD", "*LINK.SYSLMOD"}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = "R" + std::to_string(i);
        Exec(name.c_str(), (std::string("PGM=") + cases[i].first).c_str());
        EXPECT_STREQ(Step(name.c_str())->ExecutableName, cases[i].second) << cases[i].first;
    }
    // DSN= looks from the current step back.
    Exec("RUN", "PGM=X");
    DD("COPY", "DSN=*.LINK.SYSLMOD");
    EXPECT_STREQ(FirstEntry(Step("RUN"), "COPY")->DatasetName, "LIB.TWO(SECONDPG)");
    EXPECT_EQ(KVRU005(), 0);
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
    DD("IN2", "DSN=*.STEP1.OUT"); // finds the name already stored
    const std::string temporary = "&&PAYJOB.STEP1." + time;
    EXPECT_STREQ(FirstEntry(Step("STEP1"), "OUT")->DatasetName, temporary.c_str());
    EXPECT_STREQ(FirstEntry(Step("STEP2"), "IN")->DatasetName, temporary.c_str());
    EXPECT_STREQ(FirstEntry(Step("STEP2"), "IN2")->DatasetName, temporary.c_str());

    // A fixed SOURCE_DATE_EPOCH gives the same name at any time: 45296 s is 12:34:56 UTC.
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone != nullptr ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    setenv("SOURCE_DATE_EPOCH", "45296", 1);
    SetLocalTimeField();
    EXPECT_STREQ(GetLocalTimeField(), "123456");
    setenv("SOURCE_DATE_EPOCH", "not a number", 1); // ignored: the clock again
    SetLocalTimeField();
    EXPECT_EQ(std::strlen(GetLocalTimeField()), 6u);
    unsetenv("SOURCE_DATE_EPOCH");
    if (zone != nullptr)
        setenv("TZ", savedZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
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
    EXPECT_STREQ(FirstEntry(Step("PSTEP2"), "IN")->DatasetName, "PROC.OUT");
    // *.CALL.PSTEP.OUT finding the procedure step: text_proc_referback.
    const std::pair<const char*, const char*> cases[] = {
        {"*.PSTEP.OUT", "*.PSTEP.OUT"}, // a procedure step is not found by its name alone
        {"*.OTHER.PSTEP.OUT", "*.OTHER.PSTEP.OUT"},
        {"*.CALL.PSTEP.EXTRA.OUT", "*.CALL.PSTEP.EXTRA.OUT"}}; // four names: no referback
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string dd = "IN" + std::to_string(i);
        DD(dd.c_str(), (std::string("DSN=") + cases[i].first).c_str());
        EXPECT_STREQ(FirstEntry(Step("AFTER"), dd.c_str())->DatasetName, cases[i].second)
            << cases[i].first;
    }
}

TEST_F(ReferbackTest, MalformedOrUnresolvedReferbacksStayAsWritten) {
    const char* forms[] = {"*.STEPX.DD1", "*.",     "*.A..B",      "*.S1.",
                           "*",           "*X.DD1", "*.A.B.C.DD1", "*.NODD"};
    const auto unchanged = [&forms] {
        for (const char* form : forms) {
            char* text = CloneString(form, 0);
            ProcessReferbackSyntax(&text, FALSE, 0, 0);
            EXPECT_STREQ(text, form);
            FreeString(text, 0);
        }
    };
    unchanged(); // without a job nothing can be found
    RD_DatasetConcatenation* concat = nullptr;
    RD_JobStep* step = nullptr;
    EXPECT_FALSE(FindReferbackDDStatement(nullptr, nullptr, "DD1", &concat, &step, FALSE, 0, 0));
    StartJob("J");
    Exec("S1", "PGM=X");
    DD("DD1", "DSN=REAL.NAME");
    Exec("S2", "PGM=X");
    unchanged();
    ASSERT_TRUE(FindReferbackDDStatement("S1", nullptr, "DD1", &concat, &step, FALSE, 0, 0));
    EXPECT_EQ(step, Step("S1"));
    EXPECT_STREQ(concat->DatasetName, "REAL.NAME");
    EXPECT_EQ(KVRU005(), 0);
}

} // namespace
} // namespace kvr::test
