// The import file: opened under DD:ATTRBOUT (message 1680, Velkor mode 3101, when it cannot
// be), records cleaned of control characters, hexadecimal records, nothing written while
// the file is closed.
#include "services/import_file.h"

#include <gtest/gtest.h>

#include <string>

#include "common/services/message_fixture.h"
#include "kvrbase.h"

namespace {

using kvr::test::kTestEnglishCatalog;
using kvr::test::MessageTest;
using kvr::test::ReadFile;
using kvr::test::ScopedEnv;

class ImportFileTest : public MessageTest {
  protected:
    void SetUp() override {
        MessageTest::SetUp();
        WriteCatalog("kvrenus", std::string(kTestEnglishCatalog) +
                                    "1680\tKVR1680E  cannot open %1\n"
                                    "3101\tVAD3101W  cannot open %1\n");
        importPath_ = catalogs_.File("attrbout.txt");
        attrbout_.Set(importPath_);
        attrboutAlternate_.Unset();
    }
    void TearDown() override {
        KVR_CloseImportFile();
        MessageTest::TearDown();
    }

    std::string importPath_;
    ScopedEnv attrbout_{"DD:ATTRBOUT"};
    ScopedEnv attrboutAlternate_{"DD_ATTRBOUT"};
};

TEST_F(ImportFileTest, FailureToOpenIsReportedWithTheDDName) {
    // An unset name is pinned end to end (import_unset).
    KVROpenLogFile(FALSE, 0);
    attrbout_.Set("DUMMY");
    KVR_OpenImportFile("w", 2);
    attrbout_.Set(catalogs_.File("no-such-folder/out.txt"));
    KVR_OpenImportFile("w", 0);
    EXPECT_FALSE(kvr::ImportFileIsOpen());
    EXPECT_EQ(KVRU005(), 8);
    EXPECT_EQ(LogText(), "VAD3101W  cannot open DD:ATTRBOUT\nKVR1680E  cannot open DD:ATTRBOUT\n");
    KVRCloseLogFile();
}

TEST_F(ImportFileTest, RecordsAreCleanedAndWrittenOneALine) {
    char early[] = "EARLY";
    KVR_PutImportRecord(early); // before the file is open: dropped
    KVR_OpenImportFile("w", 0);
    ASSERT_TRUE(kvr::ImportFileIsOpen());
    char record[] = "JOB\tJOB1\x01 X\r";
    KVR_PutImportRecord(record);
    EXPECT_STREQ(record, "JOB JOB1  X "); // cleaned in place
    const unsigned char bytes[] = {0x00, 0x41, 0xFF};
    KVR_PutImportRecordHex("DD DATAX", bytes, 3, 0);
    KVR_PutImportRecordHex("EMPTY", bytes, 0, 0);
    const unsigned char tab[] = {'\t', 0x7F};
    KVR_PutImportRecordHex("RAW", tab, 2, 0); // the hexadecimal form is not cleaned
    EXPECT_EQ(ReadFile(importPath_), "");     // buffered, not flushed record by record
    KVR_CloseImportFile();
    EXPECT_FALSE(kvr::ImportFileIsOpen());
    char late[] = "LATE";
    KVR_PutImportRecord(late);
    KVR_PutImportRecordHex("LATE", bytes, 3, 0);
    KVR_CloseImportFile(); // closing twice is harmless
    EXPECT_EQ(ReadFile(importPath_), "JOB JOB1  X \nDD DATAX 0041FF\nEMPTY \nRAW 097F\n");
}

// An XML import file is UTF-8 whatever the members hold: bytes of the code page converted,
// UTF-8 passed under a single-byte code page, everything XML cannot carry as U+FFFD.
TEST_F(ImportFileTest, XmlRecordsAreWrittenInUtf8) {
    struct Case {
        const char* codePage;
        const char* record;
        const char* written;
    };
    const Case cases[] = {
        {"CP1252", "A\xAC=B \x80", "A\xC2\xAC=B \xE2\x82\xAC"}, // NOT SIGN, EURO SIGN
        {"CP1252", "UTF-8 \xC3\x84 and \xE2\x82\xAC", "UTF-8 \xC3\x84 and \xE2\x82\xAC"},
        {"CP1252", "cut \xC3", "cut \xC3\x83"},                 // half a UTF-8 "A" umlaut
        {"CP1252", "undefined \x81", "undefined \xEF\xBF\xBD"}, // no character in CP1252
        {"CP1252", "overlong \xC0\xAF", "overlong \xC3\x80\xC2\xAF"},
        {"UTF-8", "bad \xFF \xC3\x84", "bad \xEF\xBF\xBD \xC3\x84"},
        {"CP943", "\x82\xA0 lead\x82", "\xE3\x81\x82 lead "}, // HIRAGANA A; a lead at the end
        {"CP1363", "\xB0\xA1=\x81\x7F", "\xEA\xB0\x80=\xEF\xBF\xBD\x7F"},
        {"CP943", "so \x0E si \x0F", "so   si  "},      // control characters are blanks first
        {"NOSUCHCP", "\xE9t\xE9", "\xC3\xA9t\xC3\xA9"}, // unknown: the workstation's usual
    };
    KVR_SetMSG_Format(TRUE);
    KVR_OpenImportFile("w", 0);
    std::string expected;
    for (const Case& c : cases) {
        KVRDBCS_SetEnvironment(nullptr, c.codePage);
        std::string record = c.record;
        KVR_PutImportRecord(record.data());
        expected += std::string(c.written) + "\n";
    }
    KVR_CloseImportFile();
    KVR_SetMSG_Format(FALSE);
    KVRDBCS_SetEnvironment(nullptr, nullptr);
    EXPECT_EQ(ReadFile(importPath_), expected);

    // Text import files keep the members' bytes.
    KVR_OpenImportFile("w", 0);
    char record[] = "A\xAC=B \x81";
    KVR_PutImportRecord(record);
    KVR_CloseImportFile();
    EXPECT_EQ(ReadFile(importPath_), "A\xAC=B \x81\n");
}

TEST_F(ImportFileTest, UnderscoreSpellingAndAppendMode) {
    attrbout_.Unset();
    attrboutAlternate_.Set(importPath_);
    kvr::test::WriteFile(importPath_, "FIRST\n");
    KVR_OpenImportFile("a", 0);
    ASSERT_TRUE(kvr::ImportFileIsOpen());
    char record[] = "SECOND";
    KVR_PutImportRecord(record);
    KVR_OpenImportFile("a", 0); // opening again closes the earlier stream first
    KVR_PutImportRecord(record);
    KVR_CloseImportFile();
    EXPECT_EQ(ReadFile(importPath_), "FIRST\nSECOND\nSECOND\n");
    EXPECT_EQ(KVRU005(), 0);
}

} // namespace
