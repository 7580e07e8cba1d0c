// Messages tied to a card: the locator chosen by the message's severity, the member and
// line it names (also for bad references) and the MSG records written with logMSG.
// A warning's locator and MSG records in a whole run are pinned by text_missing_proc.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;

TEST_F(SourceTest, LocatorDependsOnTheSeverityOfTheMessage) {
    std::string lib = Container("LIB", {{"FIRST", "X\n"}, {"SECOND", "Y\n"}});
    ASSERT_EQ(OpenMain(lib, "FIRST"), TRUE);
    ASSERT_EQ(OpenMain(lib, "SECOND"), TRUE);
    KVRWriteMessageWithFileLine(1300, FALSE, 1, 3, 0);  // an error: plain locator
    KVRWriteMessageWithFileLine(1377, FALSE, 0, 1, 0);  // information: plain locator
    KVRWriteMessageWithFileLine(1413, FALSE, -1, 2, 0); // a negative reference means 1
    KVRWriteMessageWithFileLine(1413, FALSE, 2, 9, 0);  // no such entry: empty member name
    EXPECT_TRUE(ImportLines().empty());                 // without logMSG no records
    KVRWriteMessageWithStringsAndFileLine(1201, "CONT", "MEMB", nullptr, nullptr, TRUE, 0, 5, 0);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "KVR1471I  In member SECOND at line 3:",
                              "KVR1300E  The container name is longer than 254 characters.",
                              "KVR1471I  In member FIRST at line 1:",
                              "KVR1377I  JOBCAT DD statement recorded for the job.",
                              "KVR1470I  Warning in member SECOND at line 2:",
                              "KVR1413W  Invalid source reference.",
                              "KVR1470I  Warning in member  at line 9:",
                              "KVR1413W  Invalid source reference.",
                              "KVR1471I  In member FIRST at line 5:",
                              "KVR1201I  Analyzing member MEMB of container CONT.",
                          }));
    EXPECT_EQ(ImportLines(),
              (std::vector<std::string>{
                  "MSG JCL KVR4000 0 1471 \"KVR1471I  In member FIRST at line 5:\"",
                  // only the first insert: the second marker stays unfilled
                  "MSG JCL KVR4000 0 1201 \"KVR1201I  Analyzing member %2 of container CONT.\"",
              }));
    EXPECT_EQ(KVRU005(), 8);
}

TEST_F(SourceTest, VelkorLocatorsAndProgramId) {
    setMessageDll("pjwenus.dll");
    std::string lib = Container("LIB", {{"JOB1", "X\n"}});
    ASSERT_EQ(OpenMain(lib, "JOB1", 2), TRUE);
    KVRWriteMessageWithStringsAndFileLine(3028, "M", nullptr, nullptr, nullptr, TRUE, 0, 4, 2);
    KVRWriteMessageWithFileLine(3019, FALSE, 0, 5, 2);
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{3130, 3028, 3131, 3019}));
    std::vector<std::string> records = ImportLines();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0],
              "MSG JCL VADIRADO 0 3130 \"VAD3130I  Warning in member JOB1 at line 4:\"");
    EXPECT_EQ(records[1].rfind("MSG JCL VADIRADO 4 3028 \"VAD3028W  Member M ", 0), 0u);
}

} // namespace
