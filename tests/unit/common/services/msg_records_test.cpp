// MSG records: continuation breaks joined, the record limit with the end whole, and nothing
// written when a record cannot be made. The text and XML forms: text_missing_proc,
// xml_msg_record.
#include "services/msg_records.h"

#include <gtest/gtest.h>

#include <string>

#include "common/services/message_fixture.h"
#include "kvrbase.h"

namespace {

using kvr::test::kTestEnglishCatalog;
using kvr::test::MessageTest;
using kvr::test::ReadFile;
using kvr::test::ScopedEnv;

class MsgRecordsTest : public MessageTest {
  protected:
    void SetUp() override {
        MessageTest::SetUp();
        WriteCatalog("kvrenus", std::string(kTestEnglishCatalog) +
                                    "1375\tKVR1375W  The member holds no job.\n"
                                    "1444\tKVR1444W  Cannot open %1 & <%2>.\n"
                                    "1778\tKVR1778E  Unknown word %1.\n");
        importPath_ = catalogs_.File("attrbout.txt");
        attrbout_.Set(importPath_);
        KVR_OpenImportFile("w", 0);
    }
    void TearDown() override {
        KVR_CloseImportFile();
        KVR_SetMSG_Format(FALSE);
        MessageTest::TearDown();
    }
    std::string Written() {
        KVR_CloseImportFile();
        return ReadFile(importPath_);
    }

    std::string importPath_;
    ScopedEnv attrbout_{"DD:ATTRBOUT"};
};

TEST_F(MsgRecordsTest, ContinuationBreaksAreJoinedAndOtherBreaksBlanked) {
    KVR_Write_MSG_RecordWithString("JCL", "KVR4000", 1778, "LONG\n         WORD");
    KVR_Write_MSG_RecordWithString("JCL", "KVR4000", 1778, "TWO\n        LINES");
    EXPECT_EQ(Written(), "MSG JCL KVR4000 8 1778 \"KVR1778E  Unknown word LONGWORD.\"\n"
                         "MSG JCL KVR4000 8 1778 \"KVR1778E  Unknown word TWO         LINES.\"\n");

    EXPECT_EQ(kvr::JoinContinuationLines("A\n         B\n         C"), "ABC");
    EXPECT_EQ(kvr::JoinContinuationLines("A\n          B"), "A B"); // ten blanks: one stays
    EXPECT_EQ(kvr::JoinContinuationLines("A\n        B\n"), "A\n        B\n");
    EXPECT_EQ(kvr::JoinContinuationLines("\n         "), "");
    EXPECT_EQ(kvr::EscapeXmlText("a<b&c>\"d'"), "a&lt;b&amp;c>\"d'");
}

TEST_F(MsgRecordsTest, RecordsStayWithinTheRecordLimitWithTheirEndWhole) {
    // Inserts of a full message buffer, escaped five times over in XML: the text gives way,
    // the closing quote and end tag stay.
    const std::string ampersands(600, '&');
    KVR_Write_MSG_RecordWithString("JCL", "KVR4000", 1778, ampersands.c_str());
    KVR_SetMSG_Format(TRUE);
    KVR_Write_MSG_RecordWithString("JCL", "KVR4000", 1778, ampersands.c_str());
    const std::vector<std::string> lines = kvr::test::SplitLines(Written());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_LT(lines[0].size(), 2048u);
    EXPECT_EQ(lines[0].back(), '"');
    const std::string& text = lines[6];
    EXPECT_LE(text.size(), 2047u);
    EXPECT_GT(text.size(), 2030u);
    EXPECT_EQ(text.substr(text.size() - 12), "&amp;</text>");
}

TEST_F(MsgRecordsTest, NothingIsWrittenWithoutFileTypeStepOrNumber) {
    KVR_Write_MSG_Record(nullptr, "KVR4000", 1375);
    KVR_Write_MSG_Record("JCL", nullptr, 1375);
    KVR_Write_MSG_RecordWithStrings("JCL", "KVR4000", 0, "X", nullptr, nullptr, nullptr);
    KVR_CloseImportFile();
    KVR_Write_MSG_Record("JCL", "KVR4000", 1375); // closed: dropped
    EXPECT_EQ(ReadFile(importPath_), "");
}

} // namespace
