// Test support for the job model, DD, override, dispatch and referback tests: statements
// made by hand, a member's model state reset around each test, and readers that pick steps,
// DDs and data set entries out of the current job.
#ifndef KVR_TESTS_JOB_MODEL_FIXTURE_H
#define KVR_TESTS_JOB_MODEL_FIXTURE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../common/services/message_log_capture.h"
#include "expansion/deck_processor.h"
#include "expansion/overrides.h"
#include "expansion/statement_dispatch.h"
#include "model/dd_statements.h"
#include "model/deck_records.h"
#include "model/job_model.h"
#include "reader/instream_data.h"
#include "statement_test_support.h"

namespace kvr::test {

using StatementPtr = StmtPtr;

// A cooked statement as the deck walk hands it on: the parser's statement with its operation
// word, the operand text in a parameter area of its own; parms null for no operand text.
inline StatementPtr MakeStatement(RD_JCL_STATEMENT_TYPE type, const char* op, const char* label,
                                  const char* parms, int32_t line = 1) {
    StatementPtr made = MakeStatement(type, label, nullptr, line);
    if (made == nullptr) return nullptr;
    JCLStatement* stmt = made.get();
    std::strncpy(stmt->StatementOp, op, sizeof stmt->StatementOp - 1);
    if (parms != nullptr) {
        const size_t length = std::strlen(parms);
        AllocateParmArea(stmt, length, 0);
        std::memcpy(stmt->StatementParms, parms, length + 1);
        stmt->ParmLength = static_cast<int32_t>(length);
    }
    return made;
}

inline StatementPtr DDStatement(const char* label, const char* parms, int32_t line = 1) {
    return MakeStatement(RD_DD, "DD", label, parms, line);
}

// Appends data cards to the statement's in-stream spool, numbered from line + 1.
inline void AttachInstreamData(JCLStatement* stmt, const std::vector<std::string>& cards) {
    int32_t line = stmt->endFileLine;
    for (const std::string& card : cards) {
        SourceLine source{};
        source.FileReference = stmt->FileReference;
        source.fileLine = ++line;
        source.lineLength = static_cast<int32_t>(card.size());
        std::strncpy(source.SourceText, card.c_str(), sizeof source.SourceText - 1);
        AddInstreamDataToStmt(stmt, &source, 0);
    }
}

// True when a log line carries the message identifier, e.g. "KVR1396W".
inline bool Logged(const std::vector<std::string>& lines, const std::string& id) {
    return std::any_of(lines.begin(), lines.end(),
                       [&id](const std::string& line) { return line.find(id) != line.npos; });
}

// One member's model state: an empty deck, no job, the job-level step name pushed.
class JobModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetMaximumSeverity();
        KVR4007_InitializeFields();
        InitializeOverrideState(0);
        InitializeStepNameStack(0);
        PushStepName("", 0, 0);
        stepNamesPushed = 1;
        CreateList(&deck, 0);
    }
    void TearDown() override {
        InitializeOverrideState(0);
        for (RD_StepCursor* cursor : cursors)
            DeleteStepCursor(cursor, 0);
        Free_arrayJclDeck(deck, 0);
        for (; stepNamesPushed > 0; --stepNamesPushed)
            PopStepName(0, 0);
        KVR4007_InitializeFields();
        ResetMaximumSeverity();
    }

    void StartJob(const char* name, int16_t mode = 0) {
        StatementPtr job = MakeStatement(RD_JOB, "JOB", name, "(ACCT),CLASS=A");
        ProcessJobCard(deck, job.get(), mode, FALSE, 0);
    }

    void Exec(const char* label, const char* parms, int16_t mode = 0, int32_t line = 1) {
        StatementPtr stmt = MakeStatement(RD_EXEC, "EXEC", label, parms, line);
        ProcessExecCard(deck, stmt.get(), mode, 0);
    }

    void DD(const char* label, const char* parms, int16_t mode = 0, int32_t line = 1) {
        StatementPtr stmt = DDStatement(label, parms, line);
        ProcessDDCard(deck, stmt.get(), "SITE", mode, 0);
    }

    // A procedure call: steps added until EndProcedure are expanded from it; the cursor that
    // comes back stands on its first step, as the deck processor hands it to overrides.
    void BeginProcedure(const char* callingLabel, int16_t mode = 0) {
        IncrementProcNestingLevel(mode);
        PushStepName(callingLabel, mode, 0);
        ++stepNamesPushed;
        procedureCursors.push_back(GetStepCursor(mode, 0));
    }
    RD_StepCursor* EndProcedure(int16_t mode = 0) {
        DecrementProcNestingLevel(mode);
        PopStepName(mode, 0);
        --stepNamesPushed;
        RD_StepCursor* cursor = procedureCursors.back();
        procedureCursors.pop_back();
        if (cursor != nullptr) {
            AdvanceStepCursor(cursor, TRUE);
            cursors.push_back(cursor);
        }
        return cursor;
    }

    // Applies an override DD with a fresh copy of the procedure's cursor.
    void Override(RD_StepCursor* start, JCLStatement* stmt, int16_t mode = 0, int32_t debug = 0) {
        RD_StepCursor* copy = DuplicateStepCursor(start, mode, 0);
        ProcessDDOverrideOrAdd(stmt, copy, mode, debug);
        DeleteStepCursor(copy, 0);
    }
    void Override(RD_StepCursor* start, const char* label, const char* parms, int16_t mode = 0) {
        StatementPtr stmt = DDStatement(label, parms);
        Override(start, stmt.get(), mode);
    }

    static RD_JobStep* Step(const char* name, const char* invoking = nullptr) {
        RD_JobStruct* job = QueryCurrentJob();
        if (job == nullptr) return nullptr;
        for (int32_t i = 0; i < job->StepCount; ++i) {
            RD_JobStep* step = job->StepList[i];
            if (std::strcmp(step->StepName, name) == 0 &&
                (invoking == nullptr || std::strcmp(step->InvokingStepName, invoking) == 0))
                return step;
        }
        return nullptr;
    }

    static RD_DDStatement* StepDD(RD_JobStep* step, const char* name) {
        RD_DDStatement* dd = nullptr;
        if (step == nullptr || !FindDDForStep(step, name, &dd)) return nullptr;
        return dd;
    }

    static std::vector<RD_DatasetConcatenation*> Entries(RD_DDStatement* dd) {
        std::vector<RD_DatasetConcatenation*> entries;
        if (dd == nullptr) return entries;
        void* cursor = nullptr;
        if (!KVR_CreateCursor(dd->ConcatList, &cursor, 0)) return entries;
        for (void* data = nullptr; GetDataAtCursor(cursor, &data); AdvanceCursor(cursor))
            entries.push_back(static_cast<RD_DatasetConcatenation*>(data));
        DeleteCursor(cursor, 0);
        return entries;
    }

    static RD_DatasetConcatenation* FirstEntry(RD_JobStep* step, const char* ddName) {
        std::vector<RD_DatasetConcatenation*> entries = Entries(StepDD(step, ddName));
        return entries.empty() ? nullptr : entries.front();
    }

    static std::vector<std::string> DatasetNames(RD_DDStatement* dd) {
        std::vector<std::string> names;
        for (RD_DatasetConcatenation* entry : Entries(dd))
            names.emplace_back(entry->DatasetName);
        return names;
    }

    void* deck = nullptr;
    std::vector<RD_StepCursor*> cursors;
    std::vector<RD_StepCursor*> procedureCursors;
    int stepNamesPushed = 0; // popped again by TearDown
};

} // namespace kvr::test

#endif
