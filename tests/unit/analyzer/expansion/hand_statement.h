// Test support: JCL statements made by hand, with a label, an operation, parameter text and
// a source position, for tests that call one operation of the deck processor directly.
#ifndef KVR_TESTS_UNIT_ANALYZER_EXPANSION_HAND_STATEMENT_H
#define KVR_TESTS_UNIT_ANALYZER_EXPANSION_HAND_STATEMENT_H

#include <cstdio>
#include <cstring>
#include <memory>

#include "reader/jcl_statement.h"

namespace kvr::test {

struct StatementDeleter {
    void operator()(JCLStatement* stmt) const { DeleteJCLStatement(stmt, TRUE, 0); }
};
using HandStatement = std::unique_ptr<JCLStatement, StatementDeleter>;

inline HandStatement MakeStatement(RD_JCL_STATEMENT_TYPE type, const char* label, const char* op,
                                   const char* parms, SOURCE_REF ref = 0, int32_t line = 1) {
    JCLStatement* stmt = nullptr;
    if (!CreateJCLStatement(&stmt, 0)) return HandStatement();
    stmt->StatementType = type;
    std::snprintf(stmt->StatementLabel, sizeof stmt->StatementLabel, "%s", label);
    stmt->LabelLength = static_cast<int32_t>(std::strlen(stmt->StatementLabel));
    std::snprintf(stmt->StatementOp, sizeof stmt->StatementOp, "%s", op);
    if (parms != nullptr) {
        const size_t length = std::strlen(parms);
        AllocateParmArea(stmt, length, 0);
        std::memcpy(stmt->StatementParms, parms, length + 1);
        stmt->ParmLength = static_cast<int32_t>(length);
    }
    stmt->FileReference = ref;
    stmt->fileLine = line;
    stmt->endFileLine = line;
    stmt->EXEC_endFileLine = line;
    return HandStatement(stmt);
}

} // namespace kvr::test

#endif
