// The source-access fixture extended for reading step DDs: a deck with a job, steps running
// a given program, DD entries naming a data set, and files in the test's folder.
#ifndef KVR_TESTS_UNIT_ANALYZER_RUNUNITS_RUNUNITS_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_RUNUNITS_RUNUNITS_FIXTURE_H

#include <memory>
#include <string>
#include <vector>

#include "analyzer/statement_test_support.h"
#include "common/source/source_fixture.h"
#include "model/deck_records.h"
#include "model/job_model.h"
#include "reader/instream_data.h"
#include "rununits/step_dd_reader.h"

namespace kvr::test {

class RunUnitsTest : public SourceTest {
  protected:
    void SetUp() override {
        SourceTest::SetUp();
        member_ = std::make_unique<TestMember>();
        member_->run.siteName = "SITE1";
    }
    void TearDown() override {
        statements_.clear();
        member_.reset();
        SourceTest::TearDown();
    }
    MemberContext& Ctx() { return member_->ctx; }
    // A statement at line `line` of source 0, deleted at the end of the test.
    JCLStatement* Stmt(const char* label, RD_JCL_STATEMENT_TYPE type, const char* parms,
                       int32_t line) {
        statements_.push_back(MakeStatement(Ctx(), type, label, parms, line));
        return statements_.back().get();
    }
    void Job() { ProcessJobCard(Ctx(), Stmt("JOB1", RD_JOB, "CLASS=A", 1)); }
    // A new step of the current job (made on first use) running the program, at line 5.
    RD_JobStep* StepRunning(const char* program) {
        if (Ctx().model.currentJob == nullptr) Job();
        AddStep(Ctx(), "S1", "", 0, 5, 5, FALSE, 0, "", program, "", "");
        return QueryCurrentStep(Ctx().model.currentJob);
    }
    // An entry without in-stream data: a data set name and the DD's parameter text.
    void DatasetDD(const char* name, const std::string& dsn, const char* parms, int32_t line) {
        AddDD(Ctx(), name, 0, FALSE, dsn.c_str(), "SHR", "", parms, nullptr, line, line,
              Stmt(name, RD_DD, parms, line));
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
    // The message numbers logged since `from` entries were seen.
    std::vector<int> NumbersSince(size_t from) {
        const std::vector<int> all = LoggedNumbers();
        return from < all.size()
                   ? std::vector<int>(all.begin() + static_cast<long>(from), all.end())
                   : std::vector<int>{};
    }

    std::unique_ptr<TestMember> member_;
    std::vector<StmtPtr> statements_;

  private:
    int dataSets_ = 0;
};

} // namespace kvr::test

#endif
