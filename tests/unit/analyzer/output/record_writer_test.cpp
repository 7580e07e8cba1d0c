// The record writer: records keep their structure within 2047 characters (escapes never
// split), and the XML elements an interrupted walk left open are closed before the member
// ends. Long values shortened with "..." in whole runs: text_long_parm_shortened.
#include "output/record_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "analyzer/statement_test_support.h"

namespace kvr {
namespace {

class RecordWriterTest : public ::testing::Test {
  protected:
    void TearDown() override { KVR_SetMSG_Format(FALSE); }
    MemberContext& Ctx() { return member_->ctx; }
    void Xml() {
        member_->run.formatXML = TRUE;
        KVR_SetMSG_Format(TRUE);
    }
    // The next member, in the mode given.
    void NextMember(int16_t mode) {
        member_ = std::make_unique<test::TestMember>();
        member_->run.mode = mode;
    }
    test::MessageRecorder messages_;
    std::unique_ptr<test::TestMember> member_ = std::make_unique<test::TestMember>();
};

TEST_F(RecordWriterTest, RecordsThatFitAreWrittenAsFormatted) {
    PutTextRecord(Ctx(), "STEP %d %s %s \"%s\" %s", 7, "S1", "PGM", "A,B", "");
    PutTextRecord(Ctx(), "DD DATA %.*s", 3, "ABCDEF");
    PutTextRecord(Ctx(), "END JCL %d %c 100%%", 4, 'C');
    const std::string exact(kMaxRecordLength - 8, 'X');
    PutTextRecord(Ctx(), "DD PARM %s", exact.c_str());
    const std::vector<std::string> lines = messages_.ImportLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "STEP 7 S1 PGM \"A,B\" ");
    EXPECT_EQ(lines[1], "DD DATA ABC");
    EXPECT_EQ(lines[2], "END JCL 4 C 100%");
    EXPECT_EQ(lines[3], "DD PARM " + exact); // exactly 2047: not shortened
    EXPECT_TRUE(messages_.Ids().empty());
}

TEST_F(RecordWriterTest, XmlValuesAreCutBeforeAnEscapeAndEndTagsStay) {
    Xml();
    // An element line with an escaped value: the cut falls before "&amp;", never inside it.
    // 2047 - "<parm>" line parts leave 2019 characters before the mark: 2000 "V", three
    // whole escapes and a fourth that would be split.
    std::string value(2000, 'V');
    value += "&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;";
    PutRecord(Ctx(), "            <parm>%s</parm>", value.c_str());
    // A text record standing between the elements is escaped and shortened on its own.
    const std::string data(3000, '&');
    PutTextRecord(Ctx(), "DD DATA %s", data.c_str());
    PutRecord(Ctx(), "          <jobcard data=\"%s\">", std::string(4000, 'J').c_str());
    const std::vector<std::string> lines = messages_.ImportLines();
    ASSERT_EQ(lines.size(), 10u); // the warning's message element stands after the first
    EXPECT_EQ(lines[0],
              "            <parm>" + std::string(2000, 'V') + "&amp;&amp;&amp;...</parm>");
    EXPECT_EQ(lines[1], "<message>");
    EXPECT_EQ(lines[6],
              "  <text>KVR1690W  " + test::MessageLine(1690, "&lt;parm>").substr(10) + "</text>");
    const std::string& text = lines[8];
    EXPECT_LE(text.size(), kMaxRecordLength);
    EXPECT_EQ(text.rfind("DD DATA &amp;&amp;", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 8), "&amp;...");
    // The jobcard attribute keeps its closing quote and the tag its end.
    const std::string& jobcard = lines[9];
    EXPECT_EQ(jobcard.size(), kMaxRecordLength);
    EXPECT_EQ(jobcard.substr(jobcard.size() - 6), "J...\">");
}

TEST_F(RecordWriterTest, ElementsLeftOpenAreClosedInsideTheJclElement) {
    Xml();
    PutRecord(Ctx(), "      <jcl>");
    PutRecord(Ctx(), "        <job name=\"%s\">", "J1");
    PutRecord(Ctx(), "          <jobcard data=\"%s\">", "CLASS=A");
    PutRecord(Ctx(), "          </jobcard>");
    PutRecord(Ctx(), "          <step>");
    PutRecord(Ctx(), "            <sequence>%d</sequence>", 1);
    PutTextRecord(Ctx(), "DD LINES %i %i %i", 1, 2, 2); // text records do not count
    PutRecord(Ctx(), "                <dd>");
    PutRecord(Ctx(), "<message>"); // a complete element written by kvrbase in pieces: balanced
    PutRecord(Ctx(), "</message>");
    CloseOpenElements(Ctx());
    CloseOpenElements(Ctx()); // nothing more to close
    PutRecord(Ctx(), "      </jcl>");
    CloseOpenElements(Ctx()); // outside a member: nothing to close
    const std::vector<std::string> lines = messages_.ImportLines();
    const std::vector<std::string> closing(lines.end() - 4, lines.end());
    EXPECT_EQ(closing, (std::vector<std::string>{"                </dd>", "          </step>",
                                                 "        </job>", "      </jcl>"}));
}

} // namespace
} // namespace kvr
