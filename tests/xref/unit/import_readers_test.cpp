#include <gtest/gtest.h>

#include <fstream>

#include "import_error.h"
#include "import_reader.h"
#include "import_xml_reader.h"
#include "member_assembler.h"

namespace xref {
namespace {

std::string WriteFile(const std::string& content) {
    // ctest runs the tests side by side, each in a process of its own: the test's name
    // keeps their files apart.
    static int count = 0;
    const std::string path = testing::TempDir() + "/xref_reader_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() +
                             "_" + std::to_string(++count);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::vector<ImportMember> Read(const std::string& content) {
    std::vector<ImportMember> members;
    ReadImportFile(WriteFile(content),
                   [&](ImportMember&& member) { members.push_back(std::move(member)); });
    return members;
}

// The message of the ImportError reading `content` gives, after the file name.
std::string ReadError(const std::string& content) {
    const std::string path = WriteFile(content);
    try {
        ReadImportFile(path, [](ImportMember&&) {});
    } catch (const ImportError& error) {
        const std::string what = error.what();
        return what.rfind(path, 0) == 0 ? what.substr(path.size()) : what;
    }
    return "no error";
}

// A job whose first step comes from a cataloged procedure (with a concatenated STEPLIB
// and an override from the job member) and whose second step from an INCLUDE member,
// with a JOBLIB, a missing procedure and its messages.
const char* const kTextMember = R"(START JCL
MSG JCL KVR4000 0 1470 "KVR1470I  Warning in member MEM at line 7:"
MSG JCL KVR4000 4 1309 "KVR1309W  Member NOPROC was not found in any library of the search list."
JOB START J1
JOB LINES 1 1 1
JOB PARM CLASS=A
DD START JOBLIB
DD LINES 1 2 2
DD SEQ  1
DD DSN  MY.LOAD
DD STAT SHR
DD PARMS DSN=MY.LOAD,DISP=SHR
DD END
PROC PARM PAYPROC
PROC PARM HLQ=PROD
PROC PROD.PROCLIB PAYPROC RM=NTFS
STEP 1 CALL PGM1 "'A B'" PS1
STEP LINES 2 2 4
STEP PARM REGION=4M
RU PGM1
DD START STEPLIB
DD LINES 2 3 3
DD SEQ  1
DD DSN  A.LOAD
DD STAT SHR
DD END
DD START STEPLIB
DD LINES 2 4 4
DD SEQ  2
DD DSN  B.LOAD
DD STAT SHR
DD END
DD START OUT
DD LINES 1 5 5
DD SEQ  1
DD DSN  PROD.OUT(+1)
DD STAT NEW
DD DISP CATLG
DD PARM DSN=PROD.OUT(+1)
DD PARM DISP=(NEW,CATLG)
DD PARMS DSN=PROD.OUT(+1),DISP=(NEW,CATLG)
DD END
DD START SYSPRINT
DD LINES 2 5 5
DD SEQ  1
DD PARMS SYSOUT=*
DD END
PROC PARM NOPROC
PROC PARM X=1
INCL 3 INC1 INCS RM=NTFS
STEP 2 S2 IKJEFT01 "" 
STEP LINES 3 1 1
RU RPT PLAN=P1 DSN=DB2P
DD START SYSTSIN
DD LINES 3 2 3
DD SEQ  1
DD PARMS *
DD END
JCL_IF LABEL X
CMT 6 //* A COMMENT
JOB END
INCL 0 MEM LIB
INCL 2 PAYPROC PROD.PROCLIB
INCL 1 INC1 INCS
END JCL 4 C
)";

TEST(TextImport, MemberJobsStepsAndSources) {
    const std::vector<ImportMember> members = Read(kTextMember);
    ASSERT_EQ(members.size(), 1u);
    const ImportMember& member = members[0];
    EXPECT_EQ(member.name.container, "LIB"); // from the closing INCL 0 record
    EXPECT_EQ(member.name.member, "MEM");
    EXPECT_EQ(member.severity, 4);
    EXPECT_EQ(member.completion, 'C');
    ASSERT_EQ(member.sources.size(), 3u);
    EXPECT_EQ(member.sources[1].kind, SourceKind::Procedure);
    EXPECT_EQ(member.sources[2].kind, SourceKind::Include);

    ASSERT_EQ(member.jobs.size(), 1u);
    const Job& job = member.jobs[0];
    EXPECT_EQ(job.name, "J1");
    ASSERT_EQ(job.dds.size(), 1u); // JOBLIB, before the first step
    EXPECT_EQ(job.dds[0].name, "JOBLIB");
    ASSERT_EQ(job.steps.size(), 2u);

    const Step& first = job.steps[0];
    EXPECT_EQ(first.source.kind, SourceKind::Procedure);
    EXPECT_EQ(first.source.name.container, "PROD.PROCLIB");
    EXPECT_EQ(first.source.name.member, "PAYPROC");
    EXPECT_EQ(first.parm, "'A B'");
    EXPECT_EQ(first.lines.source, 2);
    ASSERT_TRUE(first.runUnit.has_value());
    EXPECT_EQ(first.runUnit->program, "PGM1");
    // The two STEPLIB groups are one DD statement: the second continues the sequence.
    ASSERT_EQ(first.dds.size(), 3u);
    ASSERT_EQ(first.dds[0].elements.size(), 2u);
    EXPECT_EQ(first.dds[0].elements[1].dsn, "B.LOAD");
    EXPECT_EQ(first.dds[0].elements[1].seq, 2);
    EXPECT_EQ(first.dds[0].elements[1].lines.first, 4);
    const DataSetElement& out = first.dds[1].elements[0];
    EXPECT_EQ(out.dsn, "PROD.OUT(+1)");
    EXPECT_EQ(out.status, "NEW");
    EXPECT_EQ(out.disposition, "CATLG");
    EXPECT_EQ(out.lines.source, 1); // an override from the job member
    EXPECT_TRUE(first.dds[2].elements[0].kind.sysout);

    const Step& second = job.steps[1];
    EXPECT_EQ(second.source.kind, SourceKind::Include);
    EXPECT_EQ(second.source.name.member, "INC1");
    EXPECT_EQ(second.runUnit->plan, "P1");
    EXPECT_EQ(second.runUnit->db2Subsystem, "DB2P");
    EXPECT_TRUE(second.dds[0].elements[0].kind.instream);

    // Two procedure calls: each starts at its name; the missing one expands to nothing.
    ASSERT_EQ(job.calls.size(), 2u);
    EXPECT_EQ(job.calls[0].name, "PAYPROC");
    EXPECT_EQ(job.calls[0].parms, std::vector<std::string>{"HLQ=PROD"});
    EXPECT_EQ(job.calls[0].nextStep, 0u);
    EXPECT_EQ(job.calls[1].name, "NOPROC");
    EXPECT_EQ(job.calls[1].nextStep, 1u);

    // The locator's member and line go with the message after it.
    ASSERT_EQ(member.messages.size(), 1u);
    EXPECT_EQ(member.messages[0].number, 1309);
    EXPECT_EQ(member.messages[0].atMember, "MEM");
    EXPECT_EQ(member.messages[0].atLine, 7);
    EXPECT_EQ(MissingMemberName(member.messages[0]), "NOPROC");
}

TEST(TextImport, SameDdNameStartingAgainIsANewStatement) {
    const auto members = Read("START JCL\nJOB START J\nINCL 0 M L\nSTEP 1 S P \"\" \nRU P\n"
                              "DD START D\nDD SEQ  1\nDD DSN  A\nDD END\n"
                              "DD START D\nDD SEQ  1\nDD DSN  B\nDD END\n"
                              "DD START E\nDD SEQ  2\nDD DSN  C\nDD END\n"
                              "JOB END\nINCL 0 M L\nEND JCL 0 C\n");
    const Step& step = members.at(0).jobs.at(0).steps.at(0);
    ASSERT_EQ(step.dds.size(), 3u);
    EXPECT_EQ(step.dds[1].elements[0].dsn, "B");
    EXPECT_EQ(step.dds[2].name, "E");
}

TEST(TextImport, DravixVelkorAndUnopenedMembers) {
    const auto members = Read(
        // Dravix: LIBR and MEMB name the member; capture records are passed over.
        "LIBR \"My Lib\":\r\nMEMB MEM JCL\r\nSTART JCL\r\nJOB START J\r\n"
        "PROC PARM P\r\nPROC LINES 1 2 2\r\nPROC My.PROCS P\r\nSTEP 1 S PGM \"\" PS\r\n"
        "DD START IN\r\nDD LINES 1 3 3\r\nDD SEQ  1\r\nDD PARM *\r\nDD DATALINES 1 4 4\r\n"
        "DD DATAX 00C1\r\nDD DATA X\r\nDD END\r\nPROCEND\r\nJOB END\r\n"
        "INCL 0 MEM \"My Lib\"\r\nINCL 2 P My.PROCS\r\nEND JCL 0 C\r\n"
        // A member that could not be opened names itself nowhere.
        "START JCL\nEND JCL 8 E\n"
        // Velkor: every source is PROC; unnamed step; parameter details.
        "START JCL\nJOB START V\nPROC LIB MEM\nSTEP 1  PGMV \"\" \nRU PGMV\n"
        "DD START OUT\nDD SEQ  1\nDD STAT NEW\nDD DISP PASS\nDD PARM DISP=(NEW,PASS)\n"
        "DD PRMn DISP (NEW,PASS)\nDD DSP3 NEW PASS\nDD PRM1 X\nDD SPC4 TRK 1 1\nDD END\n"
        "JOB END\nINCL 0 MEM LIB\nEND JCL 0 C");
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].name.container, "My Lib");
    EXPECT_EQ(members[0].name.member, "MEM");
    EXPECT_TRUE(members[0].jobs[0].steps[0].dds[0].elements[0].kind.instream);
    EXPECT_EQ(members[1].name.member, "");
    EXPECT_EQ(members[1].severity, 8);
    EXPECT_EQ(members[1].completion, 'E');
    const Step& velkor = members[2].jobs[0].steps[0];
    EXPECT_EQ(velkor.name, "");
    EXPECT_EQ(velkor.source.name.member, "MEM");
    EXPECT_EQ(velkor.dds[0].elements[0].status, "NEW");
    EXPECT_EQ(velkor.dds[0].elements[0].dsn, "");
}

TEST(TextImport, UnreadableRecordsNameTheLine) {
    EXPECT_EQ(ReadError("START JCL\nJOB START J\nBOGUS RECORD\n"),
              ":3: unknown record 'BOGUS RECORD'");
    EXPECT_EQ(ReadError("JOB START J\n"), ":1: expected START JCL, found 'JOB START J'");
    EXPECT_EQ(ReadError("START JCL\nJOB START J\nDD DSN  X\n"), ":3: record outside a DD data set");
    EXPECT_EQ(ReadError("START JCL\nJOB START J\nJOB LINES 1 x 1\n"),
              ":3: first line is not a number: 'x'");
    EXPECT_EQ(ReadError("START JCL\nJOB START J\nINCL 0 M L\nSTEP 1 S P \"\" \nRU P\nRU Q\n"),
              ":6: a second run unit for the step");
    EXPECT_EQ(ReadError("START JCL\nJOB START J\n"),
              ":2: the file ends inside a member (no END JCL)");
    EXPECT_EQ(ReadError("START JCL\nEND JCL 0\n"), ":2: END JCL needs a severity and C or E");
}

// The member of kTextMember as the XML form writes it.
const char* const kXmlMember = R"(<?xml version="1.0"?>
  <container>
    <name>LIB</name>
    <file>
      <name>MEM</name>
      <languageCd>JCL</languageCd>
      <jcl>
<message>
  <type>JCL</type>
  <step>KVR4000</step>
  <returnCode>0</returnCode>
  <number>1470</number>
  <text>KVR1470I  Warning in member MEM at line 7:</text>
</message>
<message>
  <type>JCL</type>
  <step>KVR4000</step>
  <returnCode>4</returnCode>
  <number>1309</number>
  <text>KVR1309W  Member NOPROC was not found in any library of the search list.</text>
</message>
        <job name="J1">
          <jobcard data="CLASS=A">
          </jobcard>
          <joblibDDcard name="JOBLIB">
DD LINES 1 2 2
            <concat sequence="1">
              <dsn>MY.LOAD</dsn>
              <stat>SHR</stat>
              <parm>DSN=MY.LOAD,DISP=SHR</parm>
            </concat>
          </joblibDDcard>
PROC PARM PAYPROC
PROC PARM HLQ=PROD
          <step>
            <sequence>1</sequence>
            <name>CALL</name>
            <exec>
              <name>PGM1</name>
            </exec>
            <parm>'A B'</parm>
            <proc>PS1</proc>
            <sourceRef>
              <container>PROD.PROCLIB</container>
              <file>PAYPROC</file>
            </sourceRef>
            <runUnit>
              <name>PGM1</name>
            </runUnit>
            <dd>
              <name>STEPLIB</name>
DD LINES 2 3 3
              <concat sequence="1">
                <dsn>A.LOAD</dsn>
                <stat>SHR</stat>
              </concat>
DD LINES 2 4 4
              <concat sequence="2">
                <dsn>B.LOAD</dsn>
                <stat>SHR</stat>
              </concat>
            </dd>
            <dd>
              <name>OUT</name>
DD LINES 1 5 5
              <concat sequence="1">
                <dsn>PROD.OUT(+1)</dsn>
                <stat>NEW</stat>
                <dispnor>CATLG</dispnor>
                <parm>DSN=PROD.OUT(+1),DISP=(NEW,CATLG)</parm>
              </concat>
            </dd>
            <dd>
              <name>SYSPRINT</name>
DD LINES 2 5 5
              <concat sequence="1">
                <parm>SYSOUT=*</parm>
              </concat>
            </dd>
          </step>
PROC PARM NOPROC
PROC PARM X=1
          <step>
            <sequence>2</sequence>
            <name>S2</name>
            <exec>
              <name>IKJEFT01</name>
            </exec>
            <sourceRef>
              <container>INCS</container>
              <file>INC1</file>
            </sourceRef>
            <runUnit>
              <name>RPT</name>
              <plan>P1</plan>
              <db2Subsystem>DB2P</db2Subsystem>
            </runUnit>
            <dd>
              <name>SYSTSIN</name>
DD LINES 3 2 3
              <concat sequence="1">
                <parm>*</parm>
              </concat>
            </dd>
          </step>
        </job>
INCL 0 MEM LIB
INCL 2 PAYPROC PROD.PROCLIB
INCL 1 INC1 INCS
        <returnCode>4</returnCode>
        <completionCode>C</completionCode>
      </jcl>
    </file>
  </container>
)";

// What both forms carry; the XML form has no JOB and STEP LINES records.
void ExpectSameMember(const ImportMember& text, const ImportMember& xml) {
    EXPECT_EQ(xml.name.container, text.name.container);
    EXPECT_EQ(xml.name.member, text.name.member);
    EXPECT_EQ(xml.severity, text.severity);
    EXPECT_EQ(xml.sources.size(), text.sources.size());
    ASSERT_EQ(xml.messages.size(), text.messages.size());
    EXPECT_EQ(xml.messages[0].atLine, text.messages[0].atLine);
    ASSERT_EQ(xml.jobs.size(), text.jobs.size());
    for (size_t j = 0; j < text.jobs.size(); ++j) {
        const Job& a = text.jobs[j];
        const Job& b = xml.jobs[j];
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(b.dds.size(), a.dds.size());
        ASSERT_EQ(b.calls.size(), a.calls.size());
        for (size_t c = 0; c < a.calls.size(); ++c) {
            EXPECT_EQ(b.calls[c].name, a.calls[c].name);
            EXPECT_EQ(b.calls[c].parms, a.calls[c].parms);
            EXPECT_EQ(b.calls[c].nextStep, a.calls[c].nextStep);
        }
        ASSERT_EQ(b.steps.size(), a.steps.size());
        for (size_t s = 0; s < a.steps.size(); ++s) {
            const Step& x = a.steps[s];
            const Step& y = b.steps[s];
            EXPECT_EQ(y.number, x.number);
            EXPECT_EQ(y.name, x.name);
            EXPECT_EQ(y.program, x.program);
            EXPECT_EQ(y.parm, x.parm);
            EXPECT_EQ(y.procStep, x.procStep);
            EXPECT_EQ(y.source.name.member, x.source.name.member);
            EXPECT_EQ(y.runUnit->program, x.runUnit->program);
            EXPECT_EQ(y.runUnit->plan, x.runUnit->plan);
            ASSERT_EQ(y.dds.size(), x.dds.size());
            for (size_t d = 0; d < x.dds.size(); ++d) {
                EXPECT_EQ(y.dds[d].name, x.dds[d].name);
                ASSERT_EQ(y.dds[d].elements.size(), x.dds[d].elements.size());
                for (size_t e = 0; e < x.dds[d].elements.size(); ++e) {
                    const DataSetElement& p = x.dds[d].elements[e];
                    const DataSetElement& q = y.dds[d].elements[e];
                    EXPECT_EQ(q.seq, p.seq);
                    EXPECT_EQ(q.dsn, p.dsn);
                    EXPECT_EQ(q.status, p.status);
                    EXPECT_EQ(q.disposition, p.disposition);
                    EXPECT_EQ(q.lines.first, p.lines.first);
                    EXPECT_EQ(q.kind.sysout, p.kind.sysout);
                    EXPECT_EQ(q.kind.instream, p.kind.instream);
                }
            }
        }
    }
}

TEST(XmlImport, CarriesWhatTheTextFormCarries) {
    const auto text = Read(kTextMember);
    const auto xml = Read(kXmlMember);
    ASSERT_EQ(text.size(), 1u);
    ASSERT_EQ(xml.size(), 1u);
    ExpectSameMember(text[0], xml[0]);
}

TEST(XmlImport, EntitiesDravixConcatsAndLayout) {
    EXPECT_EQ(DecodeXmlText("&amp;&amp;TEMP &lt;&gt;&quot;&apos; &#65;&#x42;&#xE9;"),
              "&&TEMP <>\"' AB\xC3\xA9");
    EXPECT_THROW(DecodeXmlText("A&B"), RecordError);
    EXPECT_THROW(DecodeXmlText("&nbsp;"), RecordError);
    // Dravix leaves concat elements open; elements may share a line; attributes in
    // apostrophes; an empty element.
    const auto members =
        Read("<?xml version=\"1.0\"?>\n<container><name>L&amp;B</name><file><name>M</name>"
             "<languageCd>JCL</languageCd><jcl><job name='J&amp;1'>\n"
             "<step><sequence>1</sequence><name>S</name><exec><name>P</name></exec>"
             "<sourceRef><container>L&amp;B</container><file>M</file></sourceRef>\n"
             "<dd><name>D</name>\n<concat sequence=\"1\">\n<dsn>&amp;&amp;T</dsn>\n"
             "DD PARM DSN=&&T\n<concat sequence=\"2\"><dsn>X</dsn><stat/>\n</dd>\n"
             "</step></job>\nINCL 0 M L&B\n<returnCode>0</returnCode><completionCode>C"
             "</completionCode></jcl></file></container>\n");
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members[0].name.container, "L&B");
    EXPECT_EQ(members[0].jobs[0].name, "J&1");
    const DdStatement& dd = members[0].jobs[0].steps[0].dds.at(0);
    ASSERT_EQ(dd.elements.size(), 2u);
    EXPECT_EQ(dd.elements[0].dsn, "&&T");
    EXPECT_EQ(dd.elements[1].dsn, "X");
}

TEST(XmlImport, MalformedXmlNamesTheLine) {
    const std::string head = "<?xml version=\"1.0\"?>\n  <container>\n    <name>L</name>\n";
    EXPECT_EQ(ReadError(head + "    <file>\n    </container>\n"),
              ":5: </container> does not close <file>");
    EXPECT_EQ(ReadError(head + "    <file\n"), ":4: unclosed tag <file>");
    EXPECT_EQ(ReadError(head + "    <name>a & b</name>\n"), ":4: an & without its ;");
    EXPECT_EQ(ReadError(head + "BOGUS\n"), ":4: unknown text record 'BOGUS'");
    EXPECT_EQ(ReadError(head), ":3: the file ends inside <container>");
    EXPECT_EQ(ReadError(head + "<jcl><job name=\"J\"><step><sequence>x</sequence>\n"),
              ":4: step sequence is not a number: 'x'");
}

} // namespace
} // namespace xref
