// A fixture for the job-model tests on the source-access set-up (log and import file on
// temporary files, empty source tables): fresh job-model and OUTPUT state, a deck list, and
// builders for jobs, steps and DDs at given lines, with a look at what the deck holds.
#ifndef KVR_TESTS_UNIT_ANALYZER_MODEL_MODEL_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_MODEL_MODEL_FIXTURE_H

#include "analyzer/job_model_fixture.h"
#include "common/source/source_fixture.h"
#include "model/output_statements.h"

namespace kvr::test {

class ModelTest : public SourceTest {
  protected:
    void SetUp() override {
        SourceTest::SetUp();
        KVR4007_InitializeFields();
        KVR4037_InitializeFields();
        CreateList(&deck_, 0);
    }
    void TearDown() override {
        statements_.clear();
        Free_arrayJclDeck(deck_, 0);
        KVR4007_InitializeFields();
        SourceTest::TearDown();
    }
    // A statement at lines first..last of source 0, deleted at the end of the test.
    JCLStatement* Stmt(const char* label, RD_JCL_STATEMENT_TYPE type, const char* parms,
                       int32_t first, int32_t last = 0) {
        statements_.push_back(MakeStatement(type, "", label, parms, first));
        statements_.back()->endFileLine = statements_.back()->EXEC_endFileLine =
            last != 0 ? last : first;
        return statements_.back().get();
    }
    void Job(const char* parms = "CLASS=A", int32_t line = 1, int16_t mode = 0) {
        ProcessJobCard(deck_, Stmt("JOB1", RD_JOB, parms, line), mode, FALSE, 0);
    }
    void Step(const char* name, int32_t line, int32_t level = 0, const char* invoking = "") {
        AddStep(deck_, name, invoking, 0, line, line, level > 0 ? TRUE : FALSE, level, "", "PGM1",
                "", "PGM=PGM1", 0, 0);
    }
    // A DD statement (empty name for a concatenated data set) with DSN=dsn at one line.
    void DD(const char* name, const char* dsn, int32_t line) {
        const std::string parms = std::string("DSN=") + dsn + ",DISP=SHR";
        AddDD(deck_, name, 0, FALSE, dsn, "SHR", "", parms.c_str(), nullptr, line, line, "SITE1",
              Stmt(name, RD_DD, parms.c_str(), line), 0, 0);
    }
    std::vector<int> DeckTypes() {
        std::vector<int> types;
        void* data = nullptr;
        for (int32_t more = FindFirstItem(deck_, &data); more; more = GetNextItem(deck_, &data))
            types.push_back(static_cast<RD_JclCommon*>(data)->structureType);
        return types;
    }
    template <typename T> T* DeckItem(size_t index) {
        void* data = nullptr;
        int32_t more = FindFirstItem(deck_, &data);
        for (size_t i = 0; more && i < index; ++i)
            more = GetNextItem(deck_, &data);
        return more ? static_cast<T*>(data) : nullptr;
    }
    // The data set names of a DD's concatenation, walked with a concatenation cursor.
    static std::vector<std::string> DatasetNames(RD_DDStatement* dd) {
        std::vector<std::string> names;
        void* cursor = CreateConcatenationCursor(dd, 0, 0);
        for (RD_DatasetConcatenation* entry = QueryConcatenationCursor(cursor); entry != nullptr;
             AdvanceConcatenationCursor(cursor), entry = QueryConcatenationCursor(cursor))
            names.push_back(entry->DatasetName);
        DeleteConcatenationCursor(cursor, 0);
        return names;
    }
    // A message text: the locator naming line `line` of source 0, or a message with one insert.
    static std::string Locator(uint32_t locator, int32_t line) {
        char text[512] = {};
        KVRGetMessageText(text, locator, "", std::to_string(line).c_str(), nullptr, nullptr);
        return text;
    }
    static std::string Text(uint32_t message, const char* insert) {
        char text[512] = {};
        KVRGetMessageText(text, message, insert, nullptr, nullptr, nullptr);
        return text;
    }

    void* deck_ = nullptr;
    std::vector<StatementPtr> statements_;
};

} // namespace kvr::test

#endif
