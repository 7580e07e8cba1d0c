// OUTPUT statements and the SYSOUT summary: what an OUTPUT statement keeps, default OUTPUT
// statements of the step and of the job, named references, and the texts passed through.
#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;
using Numbers = std::vector<int>;

class OutputTest : public ModelTest {
  protected:
    void Output(const char* name, const char* parms) {
        ProcessOutputCard(Stmt(name, RD_OUTPUT, parms, ++line_), 0, 0);
    }
    RD_OutputSpecification* Find(void* list, const char* name) {
        void* data = nullptr;
        return FindItemWithKey(list, name, &data) ? static_cast<RD_OutputSpecification*>(data)
                                                  : nullptr;
    }
    RD_JobStep* CurrentStep() { return QueryCurrentStep(QueryCurrentJob()); }
    std::string Summary(const char* parms, RD_JobStep* step) {
        return ProcessOutputSpecs(step, parms, 0, 0);
    }
    int32_t line_ = 1;
};

TEST_F(OutputTest, OutputStatementKeepsWholeFormParametersAndTheDefaultFlag) {
    Job();
    Output("O1", "CLASS=A,FCB=STD3,FORMS=1PRT,DEFAULT=YES");
    Output("O2", "FORMDEF=A1,DEFAULT=Y");
    Output("O3", "DEFAULT=NO,FORMS=X");
    Output("O4", "DEFAULT=,FCB=F");
    Output("O5", "DEFAULT=N");
    Output("O6", "COPIES=2");
    void* list = QueryJobOutputSpecificationList(QueryCurrentJob());
    RD_OutputSpecification* o1 = Find(list, "O1");
    ASSERT_NE(o1, nullptr);
    EXPECT_STREQ(QueryOutputSpecificationName(o1), "O1");
    EXPECT_STREQ(QueryOutputSpecificationFCB(o1), "FCB=STD3");
    EXPECT_EQ(QueryOutputSpecificationFORMDEF(o1), nullptr);
    EXPECT_STREQ(QueryOutputSpecificationFORMS(o1), "FORMS=1PRT");
    EXPECT_EQ(QueryIsOutputSpecificationDefault(o1), TRUE);
    EXPECT_STREQ(QueryOutputSpecificationFORMDEF(Find(list, "O2")), "FORMDEF=A1");
    EXPECT_EQ(QueryIsOutputSpecificationDefault(Find(list, "O2")), TRUE);
    for (const char* name : {"O3", "O4", "O5", "O6"})
        EXPECT_EQ(QueryIsOutputSpecificationDefault(Find(list, name)), FALSE) << name;
    RD_OutputSpecification* o6 = Find(list, "O6");
    EXPECT_EQ(QueryOutputSpecificationFCB(o6), nullptr);
    EXPECT_EQ(QueryOutputSpecificationFORMS(o6), nullptr);

    char* one = OrphanFormattedFormsInfoForOneOutput(o1, 0);
    EXPECT_STREQ(one, "FCB=STD3, FORMS=1PRT");
    FreeString(one, 0);
    char* none = OrphanFormattedFormsInfoForOneOutput(o6, 0);
    EXPECT_STREQ(none, "");
    FreeString(none, 0);
}

TEST_F(OutputTest, DefaultOutputStatementsOfStepAndJob) {
    Job();
    Step("S1", 2);
    // No OUTPUT statement at all: the text comes back as it was.
    const char* sysoutA = "SYSOUT=A";
    EXPECT_EQ(ProcessOutputSpecs(CurrentStep(), sysoutA, 0, 0), sysoutA);

    KVR4007_InitializeFields();
    Job();
    Output("JO", "DEFAULT=YES,FORMS=STD");
    Output("JX", "FCB=NOTDEF");
    Step("S1", 10);
    EXPECT_EQ(Summary("SYSOUT=A", CurrentStep()), "SYSOUT: FORMS=STD");
    EXPECT_EQ(Summary("SYSOUT=A", nullptr), "SYSOUT: FORMS=STD"); // job-level DD
    Output("SO", "DEFAULT=Y,FCB=STP,FORMDEF=FD");
    EXPECT_EQ(Summary("SYSOUT=A", CurrentStep()), "SYSOUT: FCB=STP, FORMDEF=FD");
    EXPECT_EQ(Summary("SYSOUT=A", nullptr), "SYSOUT: FORMS=STD");
    Output("SO2", "DEFAULT=YES,FORMS=TWO");
    EXPECT_EQ(Summary("SYSOUT=(A,,F1)", CurrentStep()), "SYSOUT: FCB=STP, FORMDEF=FD FORMS=TWO");

    // A step default without form keywords is found, appends nothing and still hides the
    // job's defaults.
    Step("S2", 20);
    Output("EMPTY", "DEFAULT=YES,COPIES=3");
    EXPECT_EQ(Summary("SYSOUT=A,HOLD=YES", CurrentStep()), "SYSOUT=A,HOLD=YES");
    EXPECT_TRUE(LoggedNumbers().empty());
}

TEST_F(OutputTest, NamedOutputStatementsAreLookedUpInStepThenJob) {
    Job();
    Output("O1", "FORMS=F1");
    Step("S1", 5);
    Output("O2", "FCB=C2,DEFAULT=YES");
    EXPECT_EQ(Summary("SYSOUT=*,OUTPUT=(*.O1,*.O2)", CurrentStep()), "SYSOUT: FORMS=F1 FCB=C2");
    EXPECT_EQ(Summary("SYSOUT=*,OUTPUT=*.O1", CurrentStep()), "SYSOUT: FORMS=F1");
    // Named references do not pick up defaults: OUTPUT= decides alone.
    EXPECT_EQ(Summary("OUTPUT=*.O1,SYSOUT=B", CurrentStep()), "SYSOUT: FORMS=F1");
    EXPECT_TRUE(LoggedNumbers().empty());

    // No SYSOUT= parameter: passed through, OUTPUT= notwithstanding.
    EXPECT_EQ(Summary("DSN=A.B,OUTPUT=*.O1", CurrentStep()), "DSN=A.B,OUTPUT=*.O1");
    EXPECT_EQ(Summary("DSN=A.B,DEST='SYSOUT=A'", CurrentStep()), "DSN=A.B,DEST='SYSOUT=A'");
    // OUTPUT= inside another parameter's value names nothing; the text stays as it is.
    EXPECT_EQ(Summary("SYSOUT=A,DEST='OUTPUT=X'", CurrentStep()), "SYSOUT=A,DEST='OUTPUT=X'");
    EXPECT_TRUE(LoggedNumbers().empty());
    EXPECT_EQ(ProcessOutputSpecs(CurrentStep(), nullptr, 0, 0), nullptr);
}

TEST_F(OutputTest, UnknownReferencesAreReportedWithoutLocation) {
    Job();
    Output("O1", "FORMS=F1");
    Step("STEP1", 5);
    Output("OUT1", "FCB=X");
    EXPECT_EQ(Summary("SYSOUT=A,OUTPUT=*.NOPE", CurrentStep()), "SYSOUT=A,OUTPUT=*.NOPE");
    EXPECT_EQ(LogLines(), (std::vector<std::string>{Text(1445, "NOPE")}));
    // A step-qualified reference is looked up as STEP1.OUT1 and not found.
    EXPECT_EQ(Summary("SYSOUT=A,OUTPUT=(*.STEP1.OUT1,*.O1)", CurrentStep()), "SYSOUT: FORMS=F1");
    EXPECT_EQ(LogLines().back(), Text(1445, "STEP1.OUT1"));
    // A job-level DD sees only the job's OUTPUT statements.
    EXPECT_EQ(Summary("SYSOUT=A,OUTPUT=*.OUT1", nullptr), "SYSOUT=A,OUTPUT=*.OUT1");
    EXPECT_EQ(LogLines().back(), Text(1445, "OUT1"));
    EXPECT_EQ(LoggedNumbers(), (Numbers{1445, 1445, 1445}));
    EXPECT_TRUE(ImportLines().empty()); // no MSG records
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
    ASSERT_GT(expected.size(), 511u);
    Step("S1", 20);
    const std::string text = "SYSOUT=A,OUTPUT=(" + references + ")";
    EXPECT_EQ(Summary(text.c_str(), CurrentStep()), expected.substr(0, 511));

    // One statement's own summary is cut the same way.
    const std::string longFcb = "FCB=" + std::string(600, 'C');
    Output("BIG", (longFcb + ",FORMS=X").c_str());
    char* one = OrphanFormattedFormsInfoForOneOutput(
        static_cast<RD_OutputSpecification*>([&] {
            void* data = nullptr;
            FindItemWithKey(QueryStepOutputSpecificationList(CurrentStep()), "BIG", &data);
            return data;
        }()),
        0);
    EXPECT_EQ(std::string(one), longFcb.substr(0, 511));
    FreeString(one, 0);
}

} // namespace
} // namespace kvr
