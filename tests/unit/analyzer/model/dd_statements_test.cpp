// DD statement processing: the values a DD statement gives its data set entry, the DISP
// subparameters, and the merge of an overriding statement into a procedure's entry.
#include "model/dd_statements.h"

#include <utility>

#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

class DDStatementTest : public JobModelTest {
  protected:
    // The first entry of DD1 of step S1 after processing one DD statement with these
    // operands in a fresh step.
    RD_DatasetConcatenation* EntryFor(const char* parms) {
        Exec("S1", "PGM=P");
        DD("DD1", parms);
        return FirstEntry(Step("S1"), "DD1");
    }

    static void FreeEntry(RD_DatasetConcatenation* entry) {
        FreeString(entry->DatasetName, 0);
        FreeString(entry->Status, 0);
        FreeString(entry->Disposition, 0);
        FreeString(entry->Parms, 0);
        if (entry->inStreamData != nullptr) DeleteInstreamSpool(entry->inStreamData, 0);
        FreeBlock(entry);
    }
};

TEST_F(DDStatementTest, DataSetNameDummyAndParameterText) {
    StartJob("J");
    RD_DatasetConcatenation* entry = EntryFor("DSN=NULLFILE,DISP=SHR");
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->DatasetName, "");
    EXPECT_FALSE(entry->hasDUMMY);
    EXPECT_STREQ(entry->Parms, "DSN=NULLFILE,DISP=SHR");
    EXPECT_EQ(entry->inStreamData, nullptr);

    DD("DD2", "DSNAME=SECOND.NAME,DSN=FIRST.NAME");
    EXPECT_STREQ(FirstEntry(Step("S1"), "DD2")->DatasetName, "FIRST.NAME");
    DD("DD3", "DSNAME=ONLY.DSNAME");
    EXPECT_STREQ(FirstEntry(Step("S1"), "DD3")->DatasetName, "ONLY.DSNAME");
    // Member names, generations and temporary names stay as written.
    DD("DD4", "DSN=A.GDG(+1),DISP=(NEW,CATLG)");
    EXPECT_STREQ(FirstEntry(Step("S1"), "DD4")->DatasetName, "A.GDG(+1)");
    DD("DD5", "DSN=&&TEMP");
    EXPECT_STREQ(FirstEntry(Step("S1"), "DD5")->DatasetName, "&&TEMP");

    DD("DD6", "DUMMY");
    RD_DatasetConcatenation* dummy = FirstEntry(Step("S1"), "DD6");
    ASSERT_NE(dummy, nullptr);
    EXPECT_TRUE(dummy->hasDUMMY);
    EXPECT_STREQ(dummy->DatasetName, "");
    EXPECT_STREQ(dummy->Status, "");
    EXPECT_STREQ(dummy->Disposition, "");
    EXPECT_STREQ(dummy->Parms, "DUMMY");
    // DUMMY counts only as the first positional parameter.
    DD("DD7", "DSN=X.Y,DUMMY");
    EXPECT_FALSE(FirstEntry(Step("S1"), "DD7")->hasDUMMY);
    DD("DD8", nullptr);
    EXPECT_STREQ(FirstEntry(Step("S1"), "DD8")->Parms, "");
}

TEST_F(DDStatementTest, DispGivesStatusAndNormalDisposition) {
    StartJob("J");
    Exec("S1", "PGM=P");
    struct Case {
        const char* name;
        const char* parms;
        const char* status;
        const char* disposition;
    };
    const Case cases[] = {
        {"SHR", "DSN=A,DISP=SHR", "SHR", ""},
        {"NONE", "DSN=A", "", ""},
        {"CATLG", "DSN=A,DISP=(,CATLG,DELETE)", "NEW", "CATLG"},
        {"OLDABN", "DSN=A,DISP=(OLD,,DELETE)", "OLD", "KEEP"},
        {"NEWABN", "DSN=A,DISP=(NEW,,CATLG)", "NEW", "DELETE"},
        {"ONLYABN", "DSN=A,DISP=(,,CATLG)", "NEW", "DELETE"},
        {"MOD", "DSN=A,DISP=(MOD)", "MOD", ""},
        {"EMPTY", "DSN=A,DISP=()", "NEW", ""},
        {"SHRKEEP", "DSN=A,DISP=(SHR,KEEP)", "SHR", "KEEP"},
    };
    for (const Case& c : cases) {
        DD(c.name, c.parms);
        RD_DatasetConcatenation* entry = FirstEntry(Step("S1"), c.name);
        ASSERT_NE(entry, nullptr) << c.parms;
        EXPECT_STREQ(entry->Status, c.status) << c.parms;
        EXPECT_STREQ(entry->Disposition, c.disposition) << c.parms;
    }
}

TEST(ExtractStatusAndDisposition, ReadsNoFurtherThanThirtyOneCharacters) {
    std::string status;
    std::string disposition;
    // 31 characters are "(MOD,CATLG,ABCDEFGHIJKLMNOPQRST": the abnormal part is cut short.
    ExtractStatusAndDisposition("(MOD,CATLG,ABCDEFGHIJKLMNOPQRSTUVWXYZ)", status, disposition);
    EXPECT_EQ(status, "MOD");
    EXPECT_EQ(disposition, "CATLG");
    // A status longer than the copy keeps the 30 characters after "(".
    const std::string longStatus(40, 'S');
    ExtractStatusAndDisposition(("(" + longStatus + ",KEEP)").c_str(), status, disposition);
    EXPECT_EQ(status, std::string(30, 'S'));
    EXPECT_EQ(disposition, "");
    // The disposition crosses the end of the copy: what fits is kept.
    ExtractStatusAndDisposition("(OLD,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789)", status, disposition);
    EXPECT_EQ(status, "OLD");
    EXPECT_EQ(disposition, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    // Unterminated values run to their end.
    ExtractStatusAndDisposition("(OLD", status, disposition);
    EXPECT_EQ(status, "OLD");
    EXPECT_EQ(disposition, "");
    ExtractStatusAndDisposition("(NEW,CATLG", status, disposition);
    EXPECT_EQ(status, "NEW");
    EXPECT_EQ(disposition, "CATLG");
    ExtractStatusAndDisposition("(OLD,,", status, disposition);
    EXPECT_EQ(status, "OLD");
    EXPECT_EQ(disposition, "");
    ExtractStatusAndDisposition("(", status, disposition);
    EXPECT_EQ(status, "NEW");
    EXPECT_EQ(disposition, "");
}

TEST_F(DDStatementTest, InstreamDataAndReferbackGoToTheEntry) {
    StartJob("J");
    Exec("S1", "PGM=P");
    {
        StatementPtr sysin = DDStatement("SYSIN", "*", 3);
        AttachInstreamData(sysin.get(), {"CARD ONE", "CARD TWO"});
        void* spool = sysin->inStreamData;
        ASSERT_NE(spool, nullptr);
        ProcessDDCard(deck, sysin.get(), "SITE", 0, 0);
        // The entry owns the data now; the statement must not free it again.
        EXPECT_EQ(sysin->inStreamData, nullptr);
        RD_DatasetConcatenation* entry = FirstEntry(Step("S1"), "SYSIN");
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->inStreamData, spool);
        EXPECT_EQ(entry->fileLine, 3);
        EXPECT_STREQ(entry->Parms, "*");
    }
    // An unnamed statement extends the DD added last.
    DD("OUT", "DSN=FIRST,DISP=SHR");
    DD("", "DSN=SECOND,DISP=SHR");
    EXPECT_EQ(DatasetNames(StepDD(Step("S1"), "OUT")),
              (std::vector<std::string>{"FIRST", "SECOND"}));
    // A DD referback is resolved before the entry is made.
    DD("IN", "DSN=*.OUT,DISP=SHR");
    EXPECT_STREQ(FirstEntry(Step("S1"), "IN")->DatasetName, "FIRST");
}

TEST_F(DDStatementTest, NothingIsAddedOnceTheSeverityIsAboveFour) {
    StartJob("J");
    Exec("S1", "PGM=P");
    SetMaximumSeverity(8);
    DD("DD1", "DSN=A.B");
    EXPECT_EQ(StepDD(Step("S1"), "DD1"), nullptr);
}

TEST_F(DDStatementTest, InstreamDataOfAStatementThatAddsNothingIsReleased) {
    // Each case leaves the block count as it found it: the handed-over data is not lost.
    auto instreamDD = [this](const char* label) {
        const int32_t before = OutstandingBlocks();
        {
            StatementPtr stmt = DDStatement(label, "*", 4);
            AttachInstreamData(stmt.get(), {"DATA"});
            ProcessDDCard(deck, stmt.get(), "SITE", 0, 0);
        }
        EXPECT_EQ(OutstandingBlocks(), before) << label;
    };
    CapturedLog log;
    instreamDD("SYSIN"); // no job
    StartJob("J");
    instreamDD("SYSIN"); // before the first step: 1376
    instreamDD("");      // no DD to continue: 1373
    std::vector<std::string> lines = log.Lines();
    EXPECT_TRUE(Logged(lines, "KVR1376W"));
    EXPECT_TRUE(Logged(lines, "KVR1373W"));
}

class MergeTest : public DDStatementTest {
  protected:
    // A procedure entry with these values, as AddDD would have made it.
    static RD_DatasetConcatenation* Entry(const char* dsn, const char* status, const char* disp,
                                          const char* parms, BOOLEAN dummy = FALSE,
                                          void* data = nullptr) {
        return AllocateConcatenation(0, 10, 11, dummy, dsn, status, disp, parms, data, 0, 0);
    }
    static void Merge(RD_DatasetConcatenation* entry, const char* parms, int16_t mode,
                      const std::vector<std::string>& data = {}) {
        StatementPtr stmt = DDStatement("STEP1.DD1", parms, 20);
        if (!data.empty()) AttachInstreamData(stmt.get(), data);
        MergeProcedureConcatenation(entry, stmt.get(), mode, 0);
        EXPECT_EQ(stmt->inStreamData, nullptr);
    }
};

TEST_F(MergeTest, DispOverrideKeepsTheDataSetAndDependsOnTheMode) {
    const int32_t before = OutstandingBlocks();
    RD_DatasetConcatenation* standard = Entry("PROC.DS", "SHR", "", "DSN=PROC.DS,DISP=SHR");
    Merge(standard, "DISP=OLD", 0);
    EXPECT_STREQ(standard->DatasetName, "PROC.DS");
    EXPECT_STREQ(standard->Status, "OLD");
    EXPECT_STREQ(standard->Disposition, "");
    EXPECT_STREQ(standard->Parms, ""); // data set name and parameter text: text emptied
    EXPECT_EQ(standard->fileLine, 20);
    EXPECT_FALSE(standard->hasDUMMY);
    FreeEntry(standard);

    RD_DatasetConcatenation* velkor =
        Entry("PROC.DS", "NEW", "CATLG", "DSN=PROC.DS,DISP=(NEW,CATLG)");
    Merge(velkor, "DISP=OLD", 2);
    EXPECT_STREQ(velkor->DatasetName, "PROC.DS");
    EXPECT_STREQ(velkor->Status, "OLD");
    EXPECT_STREQ(velkor->Disposition, ""); // a DISP override replaces both
    EXPECT_STREQ(velkor->Parms, "DISP=OLD");
    FreeEntry(velkor);

    RD_DatasetConcatenation* dravix = Entry("PROC.DS", "SHR", "", "DSN=PROC.DS,DISP=SHR");
    Merge(dravix, "DSN=OTHER.DS,DISP=(NEW,CATLG)", 1);
    EXPECT_STREQ(dravix->DatasetName, "OTHER.DS");
    EXPECT_STREQ(dravix->Status, "NEW");
    EXPECT_STREQ(dravix->Disposition, "CATLG");
    EXPECT_STREQ(dravix->Parms, "DSN=OTHER.DS,DISP=(NEW,CATLG)");
    FreeEntry(dravix);

    // Without DISP the procedure's status and disposition stay.
    RD_DatasetConcatenation* keep = Entry("PROC.DS", "NEW", "CATLG", "DSN=PROC.DS");
    Merge(keep, "SPACE=(TRK,1)", 2);
    EXPECT_STREQ(keep->Status, "NEW");
    EXPECT_STREQ(keep->Disposition, "CATLG");
    EXPECT_STREQ(keep->Parms, "SPACE=(TRK,1)");
    FreeEntry(keep);
    EXPECT_EQ(OutstandingBlocks(), before);
}

TEST_F(MergeTest, DummyAndInstreamDataReplaceTheDataSet) {
    const int32_t before = OutstandingBlocks();
    // DUMMY over in-stream data: the data is released, the entry is DUMMY.
    StatementPtr procSysin = DDStatement("SYSIN", "*", 2);
    AttachInstreamData(procSysin.get(), {"PROC DATA"});
    RD_DatasetConcatenation* entry =
        Entry("", "", "", "*", FALSE, std::exchange(procSysin->inStreamData, nullptr));
    Merge(entry, "DUMMY", 0);
    EXPECT_TRUE(entry->hasDUMMY);
    EXPECT_EQ(entry->inStreamData, nullptr);
    EXPECT_STREQ(entry->DatasetName, "");
    EXPECT_STREQ(entry->Parms, "DUMMY");

    // An override without DUMMY that codes only DISP: no longer DUMMY, still no data set.
    Merge(entry, "DISP=SHR", 0);
    EXPECT_FALSE(entry->hasDUMMY);
    EXPECT_STREQ(entry->DatasetName, "");
    EXPECT_STREQ(entry->Status, "SHR");
    EXPECT_STREQ(entry->Parms, "DISP=SHR"); // kept: there is no data set name

    // In-stream data over a data set.
    Merge(entry, "DSN=SOME.DS,DISP=(NEW,CATLG)", 0);
    EXPECT_STREQ(entry->DatasetName, "SOME.DS");
    Merge(entry, "*", 0, {"OVERRIDE DATA 1", "OVERRIDE DATA 2"});
    EXPECT_FALSE(entry->hasDUMMY);
    EXPECT_STREQ(entry->DatasetName, "");
    EXPECT_STREQ(entry->Status, "");
    EXPECT_STREQ(entry->Disposition, "");
    EXPECT_STREQ(entry->Parms, "*");
    ASSERT_NE(entry->inStreamData, nullptr);
    EXPECT_EQ(static_cast<RD_InstreamData*>(entry->inStreamData)->RecordCount, 2);
    // New data replaces earlier data; a data set override drops it.
    Merge(entry, "*", 0, {"NEWER DATA"});
    EXPECT_EQ(static_cast<RD_InstreamData*>(entry->inStreamData)->RecordCount, 1);
    Merge(entry, "DSN=LAST.DS", 0);
    EXPECT_EQ(entry->inStreamData, nullptr);
    EXPECT_STREQ(entry->DatasetName, "LAST.DS");
    FreeEntry(entry);
    procSysin.reset();
    EXPECT_EQ(OutstandingBlocks(), before);
}

TEST_F(MergeTest, AddedEntriesKeepTheirReferbacksAsWritten) {
    StartJob("J");
    Exec("STEP1", "PGM=P");
    DD("OUT", "DSN=REAL.OUT");
    RD_DDStatement* dd = StepDD(Step("STEP1"), "OUT");
    StatementPtr added = DDStatement("", "DSN=*.STEP1.OUT,DISP=SHR", 9);
    AddProcedureConcatenation(dd, added.get(), 0, 0);
    std::vector<RD_DatasetConcatenation*> entries = Entries(dd);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[1]->DatasetName, "*.STEP1.OUT");
    EXPECT_STREQ(entries[1]->Status, "SHR");
    EXPECT_EQ(entries[1]->fileLine, 9);

    RD_DatasetConcatenation* entry = Entry("PROC.DS", "SHR", "", "DSN=PROC.DS");
    Merge(entry, "DSN=*.STEP1.OUT", 0);
    EXPECT_STREQ(entry->DatasetName, "*.STEP1.OUT");
    FreeEntry(entry);
}

} // namespace
} // namespace kvr::test
