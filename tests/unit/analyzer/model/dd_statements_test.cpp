// DD statement processing: the values a DD statement gives its data set entry, the DISP
// subparameters, and the merge of an overriding statement into a procedure's entry. DSN,
// DSNAME, &&TEMP and the DISP defaults as written are pinned by text_dd_disposition, an
// unnamed DD by text_concatenation, a DD referback by text_referbacks, a standard-mode DISP
// override and an added concatenation entry by text_overrides.
#include "model/dd_statements.h"

#include <tuple>
#include <utility>

#include "../job_model_fixture.h"

namespace kvr::test {
namespace {

using Names = std::vector<std::string>;

class DDStatementTest : public JobModelTest {
  protected:
    void SetUp() override {
        JobModelTest::SetUp();
        StartJob("J");
        Exec("S1", "PGM=P");
    }
    static void FreeEntry(RD_DatasetConcatenation* entry) {
        FreeString(entry->DatasetName, 0);
        FreeString(entry->Status, 0);
        FreeString(entry->Disposition, 0);
        FreeString(entry->Parms, 0);
        if (entry->inStreamData != nullptr) DeleteInstreamSpool(entry->inStreamData, 0);
        FreeBlock(entry);
    }
    // "name|status|disposition|parameter text" of an entry.
    static std::string Values(const RD_DatasetConcatenation* entry) {
        return std::string(entry->DatasetName) + "|" + entry->Status + "|" + entry->Disposition +
               "|" + entry->Parms;
    }
};

TEST_F(DDStatementTest, EntryValuesFromTheOperands) {
    // The parameter text is the operand text unless given; DUMMY counts only first.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"DSN=NULLFILE,DISP=SHR", "|SHR||", false},
        {"DUMMY", "|||", true},
        {"DSN=X.Y,DUMMY", "X.Y|||", false},
        {nullptr, "|||", false},
        {"DSN=A,DISP=(NEW,,CATLG)", "A|NEW|DELETE|", false},
        {"DSN=A,DISP=(MOD)", "A|MOD||", false},
        {"DSN=A,DISP=()", "A|NEW||", false},
        {"DSN=A,DISP=(SHR,KEEP)", "A|SHR|KEEP|", false},
    };
    int n = 0;
    for (const auto& [parms, values, dummy] : cases) {
        const std::string name = "DD" + std::to_string(++n);
        DD(name.c_str(), parms);
        RD_DatasetConcatenation* entry = FirstEntry(Step("S1"), name.c_str());
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_EQ(Values(entry), values + std::string(parms ? parms : "")) << name;
        EXPECT_EQ(entry->hasDUMMY != 0, dummy) << name;
    }
}

TEST(ExtractStatusAndDisposition, ReadsNoFurtherThanThirtyOneCharacters) {
    const std::string longStatus(40, 'S');
    const std::string cases[][3] = {
        // 31 characters are "(MOD,CATLG,ABCDEFGHIJKLMNOPQRST": the abnormal part is cut.
        {"(MOD,CATLG,ABCDEFGHIJKLMNOPQRSTUVWXYZ)", "MOD", "CATLG"},
        // A status longer than the copy keeps the 30 characters after "(".
        {"(" + longStatus + ",KEEP)", std::string(30, 'S'), ""},
        // The disposition crosses the end of the copy: what fits is kept.
        {"(OLD,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789)", "OLD", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        // Unterminated values run to their end.
        {"(OLD", "OLD", ""},
        {"(NEW,CATLG", "NEW", "CATLG"},
        {"(OLD,,", "OLD", ""},
        {"(", "NEW", ""},
    };
    for (const auto& c : cases) {
        std::string status;
        std::string disposition;
        ExtractStatusAndDisposition(c[0].c_str(), status, disposition);
        EXPECT_EQ(status, c[1]) << c[0];
        EXPECT_EQ(disposition, c[2]) << c[0];
    }
}

// The entry taking over a DD's in-stream data is pinned by ru_tso_systsin (the run units
// come from the SYSTSIN data of the step's entry).
TEST_F(DDStatementTest, InstreamDataIsReleasedWhenNothingIsAdded) {
    // Statements that add nothing leave the block count as they found it.
    auto instreamDD = [this](const char* label) {
        const int32_t before = BlocksOutstanding();
        {
            StatementPtr stmt = DDStatement(label, "*", 4);
            AttachInstreamData(stmt.get(), {"DATA"});
            ProcessDDCard(deck, stmt.get(), "SITE", 0, 0);
        }
        EXPECT_EQ(BlocksOutstanding(), before) << label;
    };
    KVR4007_InitializeFields();
    CapturedLog log;
    instreamDD("SYSIN"); // no job
    StartJob("J");
    instreamDD("SYSIN"); // before the first step: 1376
    instreamDD("");      // no DD to continue: 1373
    EXPECT_TRUE(Logged(log.Lines(), "KVR1376W"));
    EXPECT_TRUE(Logged(log.Lines(), "KVR1373W"));
    // Nothing is added once the severity is above four.
    Exec("S1", "PGM=P");
    SetMaximumSeverity(8);
    DD("DD1", "DSN=A.B");
    EXPECT_EQ(StepDD(Step("S1"), "DD1"), nullptr);
}

class MergeTest : public DDStatementTest {
  protected:
    // A procedure entry with these values, as AddDD would have made it.
    static RD_DatasetConcatenation* Entry(const char* dsn, const char* status, const char* disp,
                                          const char* parms, void* data = nullptr) {
        return AllocateConcatenation(0, 10, 11, FALSE, dsn, status, disp, parms, data, 0, 0);
    }
    static void Merge(RD_DatasetConcatenation* entry, const char* parms, int16_t mode,
                      const std::vector<std::string>& data = {}) {
        StatementPtr stmt = DDStatement("STEP1.DD1", parms, 20);
        if (!data.empty()) AttachInstreamData(stmt.get(), data);
        MergeProcedureConcatenation(entry, stmt.get(), mode, 0);
        EXPECT_EQ(stmt->inStreamData, nullptr);
    }
    static int32_t Records(const RD_DatasetConcatenation* entry) {
        return static_cast<RD_InstreamData*>(entry->inStreamData)->RecordCount;
    }
};

TEST_F(MergeTest, DispOverrideKeepsTheDataSetAndDependsOnTheMode) {
    const int32_t before = BlocksOutstanding();
    // Procedure entry (name, status, disposition, text), override, mode, merged values.
    // Velkor: a DISP override replaces status and disposition both; without DISP the
    // procedure's status and disposition stay.
    const std::tuple<Names, const char*, int16_t, std::string> cases[] = {
        {{"PROC.DS", "NEW", "CATLG", "DSN=PROC.DS,DISP=(NEW,CATLG)"},
         "DISP=OLD",
         2,
         "PROC.DS|OLD||DISP=OLD"},
        {{"PROC.DS", "SHR", "", "DSN=PROC.DS,DISP=SHR"},
         "DSN=OTHER.DS,DISP=(NEW,CATLG)",
         1,
         "OTHER.DS|NEW|CATLG|DSN=OTHER.DS,DISP=(NEW,CATLG)"},
        {{"PROC.DS", "NEW", "CATLG", "DSN=PROC.DS"},
         "SPACE=(TRK,1)",
         2,
         "PROC.DS|NEW|CATLG|SPACE=(TRK,1)"},
    };
    for (const auto& [p, override, mode, merged] : cases) {
        RD_DatasetConcatenation* entry =
            Entry(p[0].c_str(), p[1].c_str(), p[2].c_str(), p[3].c_str());
        Merge(entry, override, mode);
        EXPECT_EQ(Values(entry), merged) << override;
        EXPECT_EQ(entry->fileLine, 20);
        FreeEntry(entry);
    }
    EXPECT_EQ(BlocksOutstanding(), before);
}

TEST_F(MergeTest, DummyAndInstreamDataReplaceTheDataSet) {
    const int32_t before = BlocksOutstanding();
    // DUMMY over in-stream data: the data is released, the entry is DUMMY.
    StatementPtr procSysin = DDStatement("SYSIN", "*", 2);
    AttachInstreamData(procSysin.get(), {"PROC DATA"});
    RD_DatasetConcatenation* entry =
        Entry("", "", "", "*", std::exchange(procSysin->inStreamData, nullptr));
    Merge(entry, "DUMMY", 0);
    EXPECT_TRUE(entry->hasDUMMY);
    EXPECT_EQ(entry->inStreamData, nullptr);
    EXPECT_EQ(Values(entry), "|||DUMMY");
    // An override that codes only DISP: no longer DUMMY, the text kept (no data set name).
    Merge(entry, "DISP=SHR", 0);
    EXPECT_FALSE(entry->hasDUMMY);
    EXPECT_EQ(Values(entry), "|SHR||DISP=SHR");
    // In-stream data over a data set; newer data replaces it; a data set override drops it.
    Merge(entry, "DSN=SOME.DS,DISP=(NEW,CATLG)", 0);
    Merge(entry, "*", 0, {"OVERRIDE DATA 1", "OVERRIDE DATA 2"});
    EXPECT_EQ(Values(entry), "|||*");
    ASSERT_NE(entry->inStreamData, nullptr);
    EXPECT_EQ(Records(entry), 2);
    Merge(entry, "*", 0, {"NEWER DATA"});
    EXPECT_EQ(Records(entry), 1);
    Merge(entry, "DSN=LAST.DS", 0);
    EXPECT_EQ(entry->inStreamData, nullptr);
    EXPECT_STREQ(entry->DatasetName, "LAST.DS");
    FreeEntry(entry);
    procSysin.reset();
    EXPECT_EQ(BlocksOutstanding(), before);
}

} // namespace
} // namespace kvr::test
