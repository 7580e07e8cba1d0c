// Parameter capture: the control file and its patterns, and the entry reader that hands a selected DD's data to the import writer.
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

TEST_F(ParameterCaptureTest, EntryReaderRecords) {
    Ctx().run.mode = 1;
    StepRunning("PAYROLL");
    InstreamDD("SYSIN", {"CARD ONE", "CARD TWO"}, 10);
    const std::string exact(80, 'X');
    DatasetDD("", DataSetWith("f.txt", exact + "\nSHORT\r\n"), "DSN=X", 13);
    DatasetDD("", DataSetFor(dir_.File("gone.txt")), "DSN=X", 14);
    DatasetDD("", "", "SYSOUT=*", 15);
    RD_DDStatement* dd = QueryCurrentStep(Ctx().model.currentJob)->CurrentDDStatement;

    void* cursor = CreateConcatenationCursor(Ctx(), dd);
    std::vector<std::string> records;
    std::vector<BOOLEAN> opened;
    for (RD_DatasetConcatenation* entry = QueryConcatenationCursor(cursor); entry != nullptr;
         AdvanceConcatenationCursor(cursor), entry = QueryConcatenationCursor(cursor)) {
        void* control = nullptr;
        opened.push_back(OpenConcatenationData(Ctx(), entry, &control));
        EXPECT_NE(control, nullptr);
        char* record = nullptr;
        int32_t length = 0;
        while (ReadConcatenationData(Ctx(), control, &record, &length))
            records.push_back(std::string(record, static_cast<size_t>(length)));
        EXPECT_EQ(CloseConcatenationData(Ctx(), control), TRUE);
    }
    DeleteConcatenationCursor(cursor);

    EXPECT_EQ(opened, (std::vector<BOOLEAN>{TRUE, TRUE, FALSE, FALSE}));
    EXPECT_EQ(records, (std::vector<std::string>{"CARD ONE", "CARD TWO", exact, "SHORT\n"}));
    // Not opened: 1444 without location, each also a MSG record with its insert.
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1444, 1444}));
    const std::vector<std::string> lines = ImportLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "DD DATALINES 1 11 12"); // Dravix mode, before the in-stream data
    EXPECT_NE(lines[1].find(dir_.File("gone.txt")), std::string::npos);
    EXPECT_NE(lines[2].find("No DSN"), std::string::npos);
}

} // namespace
} // namespace kvr
