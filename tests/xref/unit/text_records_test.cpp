#include "text_records.h"

#include <gtest/gtest.h>

#include "import_error.h"

namespace xref {
namespace {

TEST(StepRecord, FieldsAndQuotedParm) {
    const Step step = ParseStep("4 CALL03 IEBGENER \"'RUN 1'\" PS1");
    EXPECT_EQ(step.number, 4);
    EXPECT_EQ(step.name, "CALL03");
    EXPECT_EQ(step.program, "IEBGENER");
    EXPECT_EQ(step.parm, "'RUN 1'");
    EXPECT_EQ(step.procStep, "PS1");
}

TEST(StepRecord, EmptyPartsAndDoubleQuotesInTheParm) {
    // No procedure step: the record ends in a blank.
    const Step plain = ParseStep("2 REPORT PAYRPT \"'DAILY'\" ");
    EXPECT_EQ(plain.parm, "'DAILY'");
    EXPECT_EQ(plain.procStep, "");
    // Velkor mode writes no name for an unnamed step.
    const Step unnamed = ParseStep("1  PGMV \"'XY'\" ");
    EXPECT_EQ(unnamed.name, "");
    EXPECT_EQ(unnamed.program, "PGMV");
    // The PARM runs to the last double quote.
    const Step quoted = ParseStep("3 S3 P \"A\"B C\" X");
    EXPECT_EQ(quoted.parm, "A\"B C");
    EXPECT_EQ(quoted.procStep, "X");
}

TEST(StepRecord, Malformed) {
    EXPECT_THROW(ParseStep("X S1 P \"\" "), RecordError);
    EXPECT_THROW(ParseStep("1 S1 P no quotes"), RecordError);
    EXPECT_THROW(ParseStep("1 S1 P \"unclosed"), RecordError);
}

TEST(RunUnitRecord, Parts) {
    const RunUnit db2 = ParseRunUnit("CUSTRPT PLAN=CUSTPLN DSN=DB2P");
    EXPECT_EQ(db2.program, "CUSTRPT");
    EXPECT_EQ(db2.plan, "CUSTPLN");
    EXPECT_EQ(db2.db2Subsystem, "DB2P");
    EXPECT_EQ(db2.psb, "");
    const RunUnit ims = ParseRunUnit("CUSTUPD PSB=CUSTPSB IMSR=IMS1");
    EXPECT_EQ(ims.psb, "CUSTPSB");
    EXPECT_EQ(ims.imsRegion, "IMS1");
    EXPECT_EQ(ParseRunUnit("IEFBR14").program, "IEFBR14");
    EXPECT_THROW(ParseRunUnit("P REGION=4M"), RecordError);
}

TEST(SourceRecords, IncludeAndProc) {
    const SourceRecord main = ParseInclude("0 PAYDAILY JOBS RM=NTFS");
    EXPECT_EQ(main.kind, SourceKind::Job);
    EXPECT_EQ(main.name.member, "PAYDAILY");
    EXPECT_EQ(main.name.container, "JOBS");
    EXPECT_EQ(ParseInclude("1 CLEANUP INCLUDES").kind, SourceKind::Include);
    EXPECT_EQ(ParseInclude("2 PAYPROC PROD.PROCLIB").kind, SourceKind::Procedure);
    EXPECT_EQ(ParseInclude("3 CLEANUP INCLUDES RM=NTFS").kind, SourceKind::Include);
    // A container holding a blank is written in double quotes.
    EXPECT_EQ(ParseInclude("0 MEM \"My Lib\" RM=NTFS").name.container, "My Lib");
    EXPECT_THROW(ParseInclude("7 A B"), RecordError);
    EXPECT_THROW(ParseInclude("0 ONLYMEMBER"), RecordError);
    // After PROC the container comes first.
    const MemberName proc = ParseProcSource("PROD.PROCLIB PAYPROC RM=NTFS");
    EXPECT_EQ(proc.container, "PROD.PROCLIB");
    EXPECT_EQ(proc.member, "PAYPROC");
}

TEST(OtherRecords, LinesMessageLibrary) {
    const LineRange lines = ParseLines("2 4 5");
    EXPECT_EQ(lines.source, 2);
    EXPECT_EQ(lines.first, 4);
    EXPECT_EQ(lines.last, 5);
    EXPECT_THROW(ParseLines("2 4"), RecordError);
    EXPECT_THROW(ParseLines("2 4 x"), RecordError);

    const Message message =
        ParseMessage("JCL KVR4000 4 1309 \"KVR1309W  Member \"X\" was not found.\"");
    EXPECT_EQ(message.program, "KVR4000");
    EXPECT_EQ(message.severity, 4);
    EXPECT_EQ(message.number, 1309);
    EXPECT_EQ(message.text, "KVR1309W  Member \"X\" was not found.");

    EXPECT_EQ(ParseLibraryName("LIB"), "LIB");
    EXPECT_EQ(ParseLibraryName("\"My Lib\":"), "My Lib");
}

} // namespace
} // namespace xref
