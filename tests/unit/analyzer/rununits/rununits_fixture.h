// The job-model fixture extended for reading step DDs: steps running a given program, DD
// entries with in-stream cards or naming a data set, and files in the test's folder.
#ifndef KVR_TESTS_UNIT_ANALYZER_RUNUNITS_RUNUNITS_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_RUNUNITS_RUNUNITS_FIXTURE_H

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "analyzer/model/model_fixture.h"
#include "reader/instream_data.h"
#include "rununits/step_dd_reader.h"

namespace kvr::test {

class RunUnitsTest : public ModelTest {
  protected:
    void TearDown() override {
        ResetTranslationsForTests();
        ModelTest::TearDown();
    }
    // A new step of the current job (made on first use) running the program, at line 5.
    RD_JobStep* StepRunning(const char* program, int16_t mode = 0) {
        if (QueryCurrentJob() == nullptr) Job();
        AddStep(deck_, "S1", "", 0, 5, 5, FALSE, 0, "", program, "", "", mode, 0);
        return QueryCurrentStep(QueryCurrentJob());
    }
    // A DD * entry with the cards on the lines after `line`; an empty name continues the DD
    // added last. No cards gives an empty spool.
    void InstreamDD(const char* name, const std::vector<std::string>& cards, int32_t line) {
        JCLStatement* stmt = Stmt(name, RD_DD, "*", line);
        int32_t last = line;
        for (const std::string& card : cards) {
            SourceLine source{};
            source.fileLine = ++last;
            source.lineLength = static_cast<int32_t>(card.size());
            std::strncpy(source.SourceText, card.c_str(), sizeof source.SourceText - 1);
            AddInstreamDataToStmt(stmt, &source, 0);
        }
        if (cards.empty()) CreateInstreamSpool(&stmt->inStreamData, 0);
        AddDD(deck_, name, 0, FALSE, "", "", "", "*", std::exchange(stmt->inStreamData, nullptr),
              line, last, "SITE1", stmt, 0, 0);
    }
    // An entry without in-stream data: a data set name and the DD's parameter text.
    void DatasetDD(const char* name, const std::string& dsn, const char* parms, int32_t line) {
        AddDD(deck_, name, 0, FALSE, dsn.c_str(), "SHR", "", parms, nullptr, line, line, "SITE1",
              Stmt(name, RD_DD, parms, line), 0, 0);
    }
    std::string FileWith(const std::string& name, const std::string& content) {
        const std::string path = dir_.File(name);
        WriteFile(path, content);
        return path;
    }
    // A data set name that the translation table turns into the path (JCL names no paths).
    std::string DataSetFor(const std::string& path) {
        const std::string name = "TEST.DS" + std::to_string(++dataSets_);
        AddTranslationForTests(name.c_str(), path.c_str());
        return name;
    }
    std::string DataSetWith(const std::string& name, const std::string& content) {
        return DataSetFor(FileWith(name, content));
    }
    // The message numbers logged since `from` entries were seen.
    std::vector<int> NumbersSince(size_t from) {
        const std::vector<int> all = LoggedNumbers();
        return from < all.size()
                   ? std::vector<int>(all.begin() + static_cast<long>(from), all.end())
                   : std::vector<int>{};
    }

  private:
    int dataSets_ = 0;
};

} // namespace kvr::test

#endif
