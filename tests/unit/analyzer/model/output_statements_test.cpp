// OUTPUT statements and the SYSOUT summary: what an OUTPUT statement keeps, default OUTPUT
// statements of the step and of the job, named references, and the texts passed through.
// Named references, the job default, the forms texts and an unknown name are pinned by
// text_output_sysout.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

class OutputTest : public test::ModelTest {
  protected:
    void Output(const char* name, const char* parms) {
        ProcessOutputCard(Stmt(name, RD_OUTPUT, parms, ++line_), 0, 0);
    }
    static RD_OutputSpecification* Find(void* list, const char* name) {
        void* data = nullptr;
        return FindItemWithKey(list, name, &data) ? static_cast<RD_OutputSpecification*>(data)
                                                  : nullptr;
    }
    std::string Summary(const char* parms, bool jobLevel = false) {
        return ProcessOutputSpecs(jobLevel ? nullptr : QueryCurrentStep(QueryCurrentJob()), parms,
                                  0, 0);
    }
    int32_t line_ = 1;
};

TEST_F(OutputTest, OutputStatementKeepsWholeFormParametersAndTheDefaultFlag) {
    Job();
    const char* cases[][3] = {// name, operands, default?
                              {"O1", "CLASS=A,FCB=STD3,FORMS=1PRT,DEFAULT=YES", "Y"},
                              {"O2", "FORMDEF=A1,DEFAULT=Y", "Y"},
                              {"O3", "DEFAULT=NO,FORMS=X", ""},
                              {"O4", "DEFAULT=,FCB=F", ""},
                              {"O5", "DEFAULT=N", ""},
                              {"O6", "COPIES=2", ""}};
    for (const auto& c : cases)
        Output(c[0], c[1]);
    void* list = QueryJobOutputSpecificationList(QueryCurrentJob());
    for (const auto& c : cases)
        EXPECT_EQ(QueryIsOutputSpecificationDefault(Find(list, c[0])), *c[2] ? TRUE : FALSE)
            << c[1];
    RD_OutputSpecification* o1 = Find(list, "O1");
    EXPECT_EQ(QueryOutputSpecificationFORMDEF(o1), nullptr);
    char* none = OrphanFormattedFormsInfoForOneOutput(Find(list, "O6"), 0);
    EXPECT_STREQ(none, "");
    FreeString(none, 0);
}

TEST_F(OutputTest, DefaultOutputStatementsOfStepAndJob) {
    Job();
    Step("S1", 2);
    // No OUTPUT statement at all: the very text comes back.
    const char* sysoutA = "SYSOUT=A";
    EXPECT_EQ(ProcessOutputSpecs(QueryCurrentStep(QueryCurrentJob()), sysoutA, 0, 0), sysoutA);

    KVR4007_InitializeFields();
    Job();
    Output("JO", "DEFAULT=YES,FORMS=STD");
    Output("JX", "FCB=NOTDEF");
    Step("S1", 10);
    Output("SO", "DEFAULT=Y,FCB=STP,FORMDEF=FD");
    EXPECT_EQ(Summary("SYSOUT=A"), "SYSOUT: FCB=STP, FORMDEF=FD");
    EXPECT_EQ(Summary("SYSOUT=A", true), "SYSOUT: FORMS=STD"); // a job-level DD
    Output("SO2", "DEFAULT=YES,FORMS=TWO");
    EXPECT_EQ(Summary("SYSOUT=(A,,F1)"), "SYSOUT: FCB=STP, FORMDEF=FD FORMS=TWO");
    // A step default without form keywords appends nothing and still hides the job's.
    Step("S2", 20);
    Output("EMPTY", "DEFAULT=YES,COPIES=3");
    EXPECT_EQ(Summary("SYSOUT=A,HOLD=YES"), "SYSOUT=A,HOLD=YES");
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(OutputTest, NamedReferencesAndPassedThroughTexts) {
    Job();
    Output("O1", "FORMS=F1");
    Step("STEP1", 5);
    Output("O2", "FCB=C2,DEFAULT=YES");
    Output("OUT1", "FCB=X");
    // Named references do not pick up defaults: OUTPUT= decides alone.
    EXPECT_EQ(Summary("OUTPUT=*.O1,SYSOUT=B"), "SYSOUT: FORMS=F1");
    // No SYSOUT= parameter, or OUTPUT= inside another value: the text stays as it is.
    for (const char* text :
         {"DSN=A.B,OUTPUT=*.O1", "DSN=A.B,DEST='SYSOUT=A'", "SYSOUT=A,DEST='OUTPUT=X'"})
        EXPECT_EQ(Summary(text), text);
    EXPECT_EQ(ProcessOutputSpecs(QueryCurrentStep(QueryCurrentJob()), nullptr, 0, 0), nullptr);
    EXPECT_TRUE(LoggedNumbers().empty());

    // A step-qualified reference is looked up as STEP1.OUT1 and not found.
    EXPECT_EQ(Summary("SYSOUT=A,OUTPUT=(*.STEP1.OUT1,*.O1)"), "SYSOUT: FORMS=F1");
    EXPECT_EQ(LogLines().back(), Text(1445, "STEP1.OUT1"));
    // A job-level DD sees only the job's OUTPUT statements.
    EXPECT_EQ(Summary("SYSOUT=A,OUTPUT=*.OUT1", true), "SYSOUT=A,OUTPUT=*.OUT1");
    EXPECT_EQ(LogLines().back(), Text(1445, "OUT1"));
    EXPECT_TRUE(ImportLines().empty()); // no MSG records, no locator
    EXPECT_EQ(LogLines().size(), 2u);
    EXPECT_EQ(KVRU005(), 4);
}

TEST_F(OutputTest, SummaryIsCutAt511Characters) {
    Job();
    const std::string forms = "FORMS=" + std::string(90, 'F');
    std::string references;
    std::string expected = "SYSOUT:";
    for (int i = 1; i <= 7; ++i) {
        const std::string name = "O" + std::to_string(i);
        Output(name.c_str(), forms.c_str());
        references += (i > 1 ? ",*." : "*.") + name;
        expected += " " + forms;
    }
    Step("S1", 20);
    EXPECT_EQ(Summary(("SYSOUT=A,OUTPUT=(" + references + ")").c_str()), expected.substr(0, 511));
    // One statement's own summary is cut the same way.
    const std::string longFcb = "FCB=" + std::string(600, 'C');
    Output("BIG", (longFcb + ",FORMS=X").c_str());
    char* one = OrphanFormattedFormsInfoForOneOutput(
        Find(QueryStepOutputSpecificationList(QueryCurrentStep(QueryCurrentJob())), "BIG"), 0);
    EXPECT_EQ(std::string(one), longFcb.substr(0, 511));
    FreeString(one, 0);
}

} // namespace
} // namespace kvr
