// Test support for the analyzer's statement-level modules: statements made from a label and
// operand text, the message identifiers written to the log and the MSG records written to
// the import file while a recorder lives, and the balance of counted blocks.
#ifndef KVR_TESTS_UNIT_ANALYZER_STATEMENT_TEST_SUPPORT_H
#define KVR_TESTS_UNIT_ANALYZER_STATEMENT_TEST_SUPPORT_H

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/services/message_log_capture.h"
#include "kvrbase.h"
#include "base/contexts.h"
#include "model/deck_records.h"
#include "reader/jcl_statement.h"

namespace kvr::test {

// A run with the default settings and a fresh member context with an empty deck, as the
// member loop makes them for each member; the context releases the deck when it goes.
struct TestMember {
    TestMember() { ctx.deck.Create(); }
    RunContext run;
    MemberContext ctx{run};
};

struct StatementDeleter {
    void operator()(JCLStatement* stmt) const { DeleteJCLStatement(stmt, TRUE); }
};
using StmtPtr = std::unique_ptr<JCLStatement, StatementDeleter>;

// A statement as the parser leaves it: label, type, operation and operand text (none when
// parms is null), from line `line` of member 0.
inline StmtPtr MakeStatement(MemberContext& ctx, RD_JCL_STATEMENT_TYPE type, const char* label, const char* parms,
                             int32_t line = 1) {
    JCLStatement* stmt = nullptr;
    if (!CreateJCLStatement(ctx, &stmt)) return nullptr;
    stmt->FileReference = 0;
    stmt->fileLine = line;
    stmt->endFileLine = line;
    stmt->EXEC_endFileLine = line;
    std::strncpy(stmt->StatementLabel, label, kLabelMax);
    stmt->StatementLabel[kLabelMax] = '\0';
    stmt->LabelLength = static_cast<int32_t>(std::strlen(stmt->StatementLabel));
    stmt->StatementType = type;
    if (parms != nullptr) {
        stmt->StatementParms = CloneString(parms, 0);
        stmt->ParmLength = static_cast<int32_t>(std::strlen(parms));
        stmt->ParmMaxLength = stmt->ParmLength;
    }
    return StmtPtr(stmt);
}

inline int32_t BlocksOutstanding() {
    int32_t created = 0;
    int32_t freed = 0;
    QueryBlockStatistics(&created, &freed);
    return created - freed;
}

// Captures the log and an import file; the maximum severity starts at 0.
class MessageRecorder {
  public:
    MessageRecorder() {
        ResetMaximumSeverity();
        KVR_OpenImportFile("w", 0);
    }
    ~MessageRecorder() {
        KVR_CloseImportFile();
        std::filesystem::remove(importPath_);
        ResetMaximumSeverity();
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // The identifiers (such as KVR1367W) of the messages logged so far, locators included.
    std::vector<std::string> Ids() {
        std::vector<std::string> ids;
        for (const std::string& line : log_.Lines())
            ids.push_back(line.substr(0, 8));
        return ids;
    }
    int Count(const std::string& id) {
        const std::vector<std::string> ids = Ids();
        return static_cast<int>(std::count(ids.begin(), ids.end(), id));
    }
    // The import file as written so far (it is reopened for appending).
    std::vector<std::string> ImportLines() {
        KVR_CloseImportFile();
        std::vector<std::string> lines;
        std::ifstream in(importPath_);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        KVR_OpenImportFile("a", 0);
        return lines;
    }

  private:
    CapturedLog log_;
    std::string importPath_ = TemporaryPath("import");
    ScopedEnv attrbout_{"DD:ATTRBOUT", importPath_};
};

} // namespace kvr::test

#endif
