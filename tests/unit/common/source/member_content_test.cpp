// What a member's bytes are: EBCDIC records only when no workstation text can look like
// them; no text for archives, UTF-16 and binary data; text for everything else, stray
// control bytes included. EBCDIC records convert to the lines of the member's text form.
#include <gtest/gtest.h>

#include <string>

#include "kvrbase.h"
#include "source/ebcdic_members.h"
#include "source/member_content.h"

namespace {

using kvr::ConvertEbcdicRecords;
using kvr::IsEbcdicText;
using kvr::KindOfSample;
using kvr::MemberKind;

// One record: the bytes given, then EBCDIC blanks up to 80.
std::string Record(const std::string& bytes) {
    return bytes + std::string(80 - bytes.size(), '\x40');
}

// "//A JOB" and "//S EXEC PGM=P" in EBCDIC (the same bytes in IBM-1047 and IBM-037).
const std::string kJobCard = Record("\x61\x61\xC1\x40\xD1\xD6\xC2");
const std::string kExecCard = Record("\x61\x61\xE2\x40\xC5\xE7\xC5\xC3\x40\xD7\xC7\xD4\x7E\xD7");

MemberKind KindOf(const std::string& sample, std::string& what) {
    return KindOfSample(sample, what);
}

TEST(MemberContent, EbcdicRecordsAreRecognised) {
    EXPECT_TRUE(IsEbcdicText(kJobCard + kExecCard));
    EXPECT_TRUE(IsEbcdicText(Record("\x61\x61\x5C\x40\xC3") + kJobCard)); // a comment first
    EXPECT_TRUE(IsEbcdicText(Record("\x61\x5C\xD1\xD6\xC2"))); // "/*JOB" as the first card
    // Cards of blanks, "//" and "/*" alone are ASCII bytes too ("aa@@", "a\\@@"): a member
    // of nothing else is read as text.
    EXPECT_FALSE(IsEbcdicText(Record("\x61\x5C") + Record("\x61\x61")));
    // A short last record is allowed: a copy cut short still reads.
    EXPECT_TRUE(IsEbcdicText(kJobCard + kExecCard.substr(0, 30)));
}

TEST(MemberContent, WorkstationTextIsNeverEbcdic) {
    // ASCII without a line end, shorter than a record, made only of bytes EBCDIC text
    // holds ("aa" is EBCDIC "//", "@" its blank): valid UTF-8, so text.
    EXPECT_FALSE(IsEbcdicText("aa@@@@@@@@@@@@@@@@@@@@"));
    EXPECT_FALSE(IsEbcdicText(std::string("aa") + std::string(158, '@')));
    // UTF-8 beyond ASCII, still without blanks or line ends.
    EXPECT_FALSE(IsEbcdicText("aa@@\xC3\xA4@@@@@@@@\xE2\x82\xAC@@@@@@"));
    // Ordinary JCL, in any workstation code page: blanks 0x20, line ends.
    EXPECT_FALSE(IsEbcdicText("//A JOB\n//S EXEC PGM=P\n"));
    EXPECT_FALSE(IsEbcdicText("//A JOB (\xAC)"));
}

TEST(MemberContent, EbcdicRecordsNeedTheirShape) {
    EXPECT_FALSE(IsEbcdicText(""));
    EXPECT_FALSE(IsEbcdicText(Record("\xC1\xC2") + kJobCard)); // first card no "//" or "/*"
    std::string withLineEnd = kJobCard + kExecCard;
    withLineEnd[100] = '\x0A';
    EXPECT_FALSE(IsEbcdicText(withLineEnd));
    std::string withControl = kJobCard + kExecCard;
    withControl[10] = '\x15'; // the EBCDIC new line
    EXPECT_FALSE(IsEbcdicText(withControl));
    EXPECT_FALSE(IsEbcdicText("\x61\x61" + std::string(78, '\xC1'))); // hardly a blank
}

TEST(MemberContent, ArchivesUtf16AndBinaryAreNoText) {
    std::string what;
    EXPECT_EQ(KindOf(std::string("PK\x03\x04\x14\x00", 6), what), MemberKind::NotText);
    EXPECT_EQ(what, "a zip archive");
    EXPECT_EQ(KindOf("\x1F\x8B\x08\x00", what), MemberKind::NotText);
    EXPECT_EQ(what, "a gzip archive");
    EXPECT_EQ(KindOf("\xFF\xFE/\0/\0A\0", what), MemberKind::NotText);
    EXPECT_EQ(what, "UTF-16 text");
    EXPECT_EQ(KindOf(std::string("\0/\0/\0A\0 \0J\0O\0B\0\n", 16), what), MemberKind::NotText);
    EXPECT_EQ(what, "UTF-16 text"); // big-endian, without byte order mark
    EXPECT_EQ(KindOf(std::string("\xFF\xFE\0\0/\0\0\0", 8), what), MemberKind::NotText);
    EXPECT_EQ(what, "UTF-32 text");
    std::string program = "\x7F";
    program += "ELF";
    for (int byte = 0; byte < 256; ++byte)
        program += static_cast<char>(byte);
    EXPECT_EQ(KindOf(program, what), MemberKind::NotText);
    EXPECT_EQ(what, "binary data");
}

TEST(MemberContent, TextWithStrayControlBytesStaysText) {
    std::string what;
    // Five control bytes in a member of some 250 bytes.
    std::string member = "//PAYJOB   JOB  (ACCT),CLASS=A\n//S1       EXEC PGM=PAYROLL\n"
                         "//IN       DD   *\n";
    member += std::string("\x00\x01\x02 DATA \x7F\xFF\xFE\n/*\n", 17);
    member += "//S2       EXEC PGM=REPORT,PARM='\x0E\x81\x0F'\n"
              "//OUT      DD   DSN=PAY.REPORT.MONTHLY,DISP=(NEW,CATLG)\n"
              "//* THE REPORT GOES TO THE PAYROLL OFFICE EVERY MONTH\n";
    EXPECT_EQ(KindOf(member, what), MemberKind::Text);
    EXPECT_EQ(KindOf("", what), MemberKind::Text);
    EXPECT_EQ(KindOf("\x1A", what), MemberKind::Text); // an old editor's end mark
}

// Converted to the workstation code page CP1252, as a run without LANG converts.
class EbcdicConversion : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = KVRDBCS_GetCodepage(nullptr);
        KVRDBCS_SetEnvironment(nullptr, "CP1252");
    }
    void TearDown() override {
        KVR_SetEbcdicCodePage(nullptr);
        KVRDBCS_SetEnvironment(nullptr, saved_.c_str());
    }
    std::string saved_;
};

TEST_F(EbcdicConversion, RecordsBecomeLinesWithoutTrailingBlanks) {
    std::string text, failure;
    ASSERT_TRUE(ConvertEbcdicRecords(kJobCard + kExecCard + Record(""), text, failure));
    EXPECT_EQ(text, "//A JOB\n//S EXEC PGM=P\n\n");
    ASSERT_TRUE(ConvertEbcdicRecords(kJobCard + kExecCard.substr(0, 7), text, failure));
    EXPECT_EQ(text, "//A JOB\n//S EXE\n"); // the short last record as far as it goes
}

TEST_F(EbcdicConversion, TheCodePageDecidesTheBrackets) {
    // 0xAD 0xBD 0x5F: "[ ] ^" in IBM-1047, "Ý ¨ ¬" in IBM-037.
    const std::string card = Record("\x61\x61\x5C\x40\xAD\xBD\x5F");
    std::string text, failure;
    EXPECT_STREQ(KVR_GetEbcdicCodePage(), "IBM1047");
    ASSERT_TRUE(ConvertEbcdicRecords(card, text, failure));
    EXPECT_EQ(text, "//* []^\n");
    KVR_SetEbcdicCodePage("IBM037");
    ASSERT_TRUE(ConvertEbcdicRecords(card, text, failure));
    EXPECT_EQ(text, "//* \xDD\xA8\xAC\n");
    KVR_SetEbcdicCodePage("");
    EXPECT_STREQ(KVR_GetEbcdicCodePage(), "IBM1047");
}

TEST_F(EbcdicConversion, AnUnknownCodePageIsSaid) {
    KVR_SetEbcdicCodePage("NO-SUCH-EBCDIC");
    std::string text, failure;
    EXPECT_FALSE(ConvertEbcdicRecords(kJobCard, text, failure));
    EXPECT_NE(failure.find("NO-SUCH-EBCDIC"), std::string::npos);
}

} // namespace
