// The JCL statement record: where a statement came from, its name field, operation and
// type, and its operand text with the parameter structure parsed from it on demand.
#ifndef KVR_READER_JCL_STATEMENT_H
#define KVR_READER_JCL_STATEMENT_H

#include <cstdint>

#include "base/diagnostics.h"
#include "kvrbase.h"
#include "base/contexts.h"

namespace kvr {

enum RD_JCL_STATEMENT_TYPE : uint8_t {
    RD_UNKNOWN = 0,
    RD_COMMAND = 1,
    RD_JCL_COMMAND = 2,
    RD_COMMENT = 3,
    RD_CNTL = 4,
    RD_DD = 5,
    RD_DELIMITER = 6,
    RD_ENDCNTL = 7,
    RD_EXEC = 8,
    RD_IF = 9,
    RD_ELSE = 10,
    RD_ENDIF = 11,
    RD_INCLUDE = 12,
    RD_JCLLIB = 13,
    RD_EOJ = 14,
    RD_JOB = 15,
    RD_OUTPUT = 16,
    RD_PROC = 17,
    RD_PEND = 18,
    RD_SET = 19,
    RD_XMIT = 20,
    RD_JES2 = 21,
    RD_JOB_END = 22,
    RD_STEP_END = 23,
    RD_QUILLO_OPC = 24,
    RD_JOB_SCHEDULING = 25, // EXPORT, SCHEDULE, NOTIFY and the job-group statements
    RD_TABLESIZE = 26,
};

// The state of the statement being built.
enum JCL_STATE : int32_t {
    STMT_APOST_CONT = 0,
    STMT_CMNT_CONT = 1,
    STMT_DONE = 2,
    STMT_DONE_EOF = 3,
    STMT_IF_CONT = 4,
    STMT_PARM_CONT = 5,
    STMT_PARM_PAREN_ENCLOSED_APOST_CONT = 6,
    STMT_START = 7,
};

constexpr int32_t kLabelMax = 18;

struct JCLStatement {
    SOURCE_REF FileReference; // member of the first card; -1 in a fresh record
    int32_t fileLine;         // line of the first card
    int32_t endFileLine;      // last card; for the current step's EXEC, moved on to the step's end
    int32_t EXEC_endFileLine; // last card of the statement itself, never moved on
    char StatementLabel[kLabelMax + 1];
    int32_t LabelLength;
    RD_JCL_STATEMENT_TYPE StatementType;
    char StatementOp[8];  // at most 7 characters
    char* StatementParms; // owned operand text, null when there are no operands
    int32_t ParmLength;
    int32_t ParmMaxLength; // capacity; the block holds one more byte for the terminator
    void* ParmStructure;   // owned parameter structure, made on the first query
    void* inStreamData;    // owned RD_InstreamData unless handed on
    // Owned operand area of kOperandAreaSize kept back by a reset, so that a record reused
    // for statement after statement does not take and return a large block for each.
    char* spareParmArea;
};

// ---- record management (blocks named as the operations)
BOOLEAN CreateJCLStatement(MemberContext& ctx, JCLStatement** outStmt);
void ResetJCLStatement(MemberContext& ctx, JCLStatement* iStmt);
void DeleteJCLStatement(JCLStatement* iStmt, BOOLEAN freeInstream);
// A copy whose operand text is full (nothing can be appended); no parameter structure.
BOOLEAN CopyJCLStatement(MemberContext& ctx, JCLStatement** newStmt, JCLStatement* oldStmt);
BOOLEAN AllocateParmArea(MemberContext& ctx, JCLStatement* iStmt, size_t Size);
// Puts a copy of iText in place of the operand text; the parameters are parsed anew on the
// next query. FALSE (the statement unchanged) when no block can be had.
BOOLEAN ReplaceJCLStatementParms(MemberContext& ctx, JCLStatement* iStmt, const char* iText);
BOOLEAN CreateNullStatement(MemberContext& ctx, JCLStatement** outStmt, RD_JCL_STATEMENT_TYPE iType);
BOOLEAN CreateEndOfStepStmt(MemberContext& ctx, JCLStatement** outStmt);
BOOLEAN CreateEndOfProcStmt(MemberContext& ctx, JCLStatement** outStmt);
BOOLEAN CreateStartOfProcStmt(MemberContext& ctx, JCLStatement** outStmt);

// ---- accessors
RD_JCL_STATEMENT_TYPE JCLStatementType(const JCLStatement* iStmt);
SOURCE_REF JCLStmtFileReference(const JCLStatement* iStmt);
int32_t JCLStmtFileLine(const JCLStatement* iStmt);
int32_t JCLStmtEndFileLine(const JCLStatement* iStmt);
int32_t JCLStatementParmLength(const JCLStatement* iStmt);
// FALSE when there is no operand text; else the text itself (not a copy).
BOOLEAN JCLStatementParmText(JCLStatement* iStmt, char** outParmText);
// The parsed operands, built on first use (no asterisk rule); null when they cannot be.
void* JCLStmtParsedParms(MemberContext& ctx, JCLStatement* iStmt);
int32_t JCLStatementParmCount(MemberContext& ctx, JCLStatement* iStmt);
// The whole keyword parameter (keyword, "=", value); the text belongs to the structure.
BOOLEAN JCLStatementKeywordParm(MemberContext& ctx, JCLStatement* iStmt, const char* iKeyword, char** outParm);
BOOLEAN JCLStatementPositionalParm(MemberContext& ctx, JCLStatement* iStmt, int32_t iSequence, char** outParm);

// ---- statement types
RD_JCL_STATEMENT_TYPE LookupStatementType(const char* Op);
// RD_COMMAND for an operator command verb (START, S, MODIFY, F, VARY, V ...), which a
// statement without a name field may carry; RD_UNKNOWN otherwise.
RD_JCL_STATEMENT_TYPE LookupOperatorCommand(const char* Op);
// The display name of a type ("JOB END", "STEP END", ...); "" outside the table.
const char* reportStatementType(int32_t iType);

} // namespace kvr

#endif
