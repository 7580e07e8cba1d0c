// Parameter capture: the control file and its patterns. The entry reader's records in whole
// runs: capture_patterns, capture_systsin, capture_dataset_file, capture_xml.
#include "analyzer/rununits/rununits_fixture.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {

using test::RunUnitsTest;
using test::ScopedEnv;

class ParameterCaptureTest : public RunUnitsTest {
  protected:
    void Control(const std::string& content, int32_t debug = 0) {
        control_.Set(FileWith("kvrpctl.txt", content));
        Ctx().run.debug = debug;
        ASSERT_EQ(InitializeParameterCaptureControl(Ctx().run), TRUE);
        Ctx().run.debug = 0;
    }
    // The DD names (of those asked) that the program's control entry selects; "-" when the
    // program is not selected.
    std::string Selected(const char* program, std::vector<const char*> dds) {
        void* node = reinterpret_cast<void*>(1);
        if (!CheckProgramForParmLogging(Ctx().run, program, &node)) return node == nullptr ? "-" : "?";
        std::string names;
        for (const char* dd : dds)
            if (CheckDDForParmLogging(node, dd))
                names += std::string(names.empty() ? "" : ",") + dd;
        return names;
    }
    ScopedEnv control_{"DD:KVRPCTL"};
};

TEST_F(ParameterCaptureTest, ControlFileLinesAndPatterns) {
    testing::internal::CaptureStdout();
    Control("* a comment\n"
            "PAY*,SYSIN,CNTL*\n"
            "PAYROLL,OTHER\n"             // the first line of a program wins
            "DFSRRC00 ,DDITV02\n"         // the blank stays in the pattern
            "IKJ*,SYSTSIN  TRAILING,X?\n" // a DD name is cut at its blank
            "\n"                          // no parameters: nothing
            "*,ALL\n",                    // not a comment: every program
            1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "PARM DUMP PGM=IKJ*\n     DUMP DD=SYSTSIN\n     DUMP DD=X?\n"),
              std::string::npos);
    EXPECT_EQ(Selected("PAYROLL", {"SYSIN", "CNTL01", "OTHER", "sysin"}), "SYSIN,CNTL01");
    EXPECT_EQ(Selected("IKJEFT01", {"SYSTSIN", "XY", "XYZ", "ALL"}), "SYSTSIN,XY");
    EXPECT_EQ(Selected("DFSRRC00", {"DDITV02", "ALL"}), "ALL");
    EXPECT_FALSE(CheckDDForParmLogging(nullptr, "SYSIN"));

    Ctx().run.capture.Clear();
    EXPECT_EQ(Selected("PAYROLL", {"SYSIN"}), "-");
    for (const char* setting : {"DUMMY", "/no/such/file"}) {
        control_.Set(setting);
        EXPECT_EQ(InitializeParameterCaptureControl(Ctx().run), TRUE);
        EXPECT_EQ(Selected("PAYROLL", {"SYSIN"}), "-");
    }
    EXPECT_TRUE(LoggedNumbers().empty());
}

} // namespace
} // namespace kvr
