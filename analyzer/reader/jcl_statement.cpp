// The JCL statement record: creating, resetting, copying and freeing it, the accessors that
// parse its operand text on first demand, the operation-word table and the type names, and
// the common report of a failed allocation.
#include "reader/jcl_statement.h"
#include "base/contexts.h"

#include <cstring>

#include "reader/instream_data.h"

namespace kvr {
namespace {

struct OpCode {
    const char* Token;
    RD_JCL_STATEMENT_TYPE Type;
};

// First match wins; the empty word is a delimiter statement ("//name" with no operation).
constexpr OpCode LookupTable[30] = {
    {"COMMAND", RD_JCL_COMMAND},
    {"CNTL", RD_CNTL},
    {"DD", RD_DD},
    {"DPROC", RD_PROC},
    {"", RD_DELIMITER},
    {"ENDCNTL", RD_ENDCNTL},
    {"EXEC", RD_EXEC},
    {"IF", RD_IF},
    {"ELSE", RD_ELSE},
    {"ENDIF", RD_ENDIF},
    {"INCLUDE", RD_INCLUDE},
    {"JCLLIB", RD_JCLLIB},
    {"JOB", RD_JOB},
    {"OUTPUT", RD_OUTPUT},
    {"PROC", RD_PROC},
    {"PEND", RD_PEND},
    {"SET", RD_SET},
    {"XMIT", RD_XMIT},
    // Read by the job entry subsystem, not run by the job: kept as comments.
    {"EXPORT", RD_JOB_SCHEDULING},
    {"SCHEDULE", RD_JOB_SCHEDULING},
    {"NOTIFY", RD_JOB_SCHEDULING},
    {"JOBGROUP", RD_JOB_SCHEDULING},
    {"ENDGROUP", RD_JOB_SCHEDULING},
    {"GJOB", RD_JOB_SCHEDULING},
    {"JOBSET", RD_JOB_SCHEDULING},
    {"SJOB", RD_JOB_SCHEDULING},
    {"ENDSET", RD_JOB_SCHEDULING},
    {"AFTER", RD_JOB_SCHEDULING},
    {"BEFORE", RD_JOB_SCHEDULING},
    {"CONCURRENT", RD_JOB_SCHEDULING},
};

// The system commands a command statement ("// verb operands", no name field) may give,
// in full and abbreviated.
constexpr const char* OperatorCommands[] = {
    "CANCEL", "C",  "DISPLAY", "D",  "DUMP",   "FORCE", "HALT",  "Z",     "LOG",     "L",
    "MODIFY", "F",  "MOUNT",   "M",  "REPLY",  "R",     "RESET", "E",     "ROUTE",   "RO",
    "SEND",   "SE", "START",   "S",  "STOP",   "P",     "SWAP",  "G",     "UNLOAD",  "U",
    "VARY",   "V",  "CONTROL", "K",  "MONITOR", "MN",   "STOPMN", "PM",   "SETPROG", "SLIP",
    "TRACE",  "SETSMS", "SETXCF", "ACTIVATE", "CHNGDUMP", "CD", "DEVSERV", "DS", "QUIESCE",
};

constexpr const char* TypeNames[RD_TABLESIZE + 1] = {
    "UNKNOWN",  "COMMAND", "JCL COMMAND", "COMMENT",    "CNTL",      "DD",      "DELIMITER",
    "END CNTL", "EXEC",    "IF",          "ELSE",       "END IF",    "INCLUDE", "JCLLIB",
    "EOJ",      "JOB",     "OUTPUT",      "PROC",       "PEND",      "SET",     "XMIT",
    "JES2",     "JOB END", "STEP END",    "QUILLO OPC", "JOB SCHEDULING", "TABLE SIZE"};

// The values of a fresh record; owned parts are dealt with by the callers.
void InitializeFields(JCLStatement* stmt) {
    stmt->FileReference = -1;
    stmt->fileLine = 0;
    stmt->endFileLine = 0;
    stmt->EXEC_endFileLine = 0;
    std::memset(stmt->StatementLabel, 0, sizeof stmt->StatementLabel);
    stmt->LabelLength = 0;
    stmt->StatementType = RD_UNKNOWN;
    std::memset(stmt->StatementOp, 0, sizeof stmt->StatementOp);
    stmt->StatementParms = nullptr;
    stmt->ParmLength = 0;
    stmt->ParmMaxLength = 0;
    stmt->ParmStructure = nullptr;
    stmt->inStreamData = nullptr;
}

} // namespace

BOOLEAN CreateJCLStatement(MemberContext& ctx, JCLStatement** outStmt) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(JCLStatement), "CreateJCLStatement", ctx.run.debug) == 0) {
        *outStmt = nullptr;
        return FALSE;
    }
    auto* stmt = static_cast<JCLStatement*>(block);
    InitializeFields(stmt);
    stmt->spareParmArea = nullptr;
    *outStmt = stmt;
    return TRUE;
}

void ResetJCLStatement(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt == nullptr) return;
    // A full-size area is kept for the next statement read into this record.
    if (iStmt->spareParmArea == nullptr && iStmt->ParmMaxLength == kOperandAreaSize)
        iStmt->spareParmArea = iStmt->StatementParms;
    else
        FreeBlockWithDebug(iStmt->StatementParms, "ResetJCLStatement", ctx.run.debug);
    DeleteParmStructure(iStmt->ParmStructure, ctx.run.debug != 0);
    // The spool may have been handed over to a DD entry: it is forgotten, not freed.
    InitializeFields(iStmt);
}

void DeleteJCLStatement(JCLStatement* iStmt, BOOLEAN freeInstream) {
    if (iStmt == nullptr) return;
    if (freeInstream) DeleteInstreamSpool(iStmt->inStreamData);
    FreeBlockWithDebug(iStmt->StatementParms, "DeleteJCLStatement", BlockTraceLevel());
    FreeBlockWithDebug(iStmt->spareParmArea, "DeleteJCLStatement", BlockTraceLevel());
    DeleteParmStructure(iStmt->ParmStructure, BlockTraceLevel() != 0);
    FreeBlockWithDebug(iStmt, "DeleteJCLStatement", BlockTraceLevel());
}

BOOLEAN CopyJCLStatement(MemberContext& ctx, JCLStatement** newStmt, JCLStatement* oldStmt) {
    JCLStatement* copy = nullptr;
    if (!CreateJCLStatement(ctx, &copy)) return FALSE;
    copy->FileReference = oldStmt->FileReference;
    copy->fileLine = oldStmt->fileLine;
    copy->endFileLine = oldStmt->endFileLine;
    copy->EXEC_endFileLine = oldStmt->EXEC_endFileLine;
    std::memcpy(copy->StatementLabel, oldStmt->StatementLabel, sizeof copy->StatementLabel);
    copy->LabelLength = oldStmt->LabelLength;
    copy->StatementType = oldStmt->StatementType;
    std::memcpy(copy->StatementOp, oldStmt->StatementOp, sizeof copy->StatementOp);
    if (oldStmt->StatementParms != nullptr) {
        const size_t length = static_cast<size_t>(oldStmt->ParmLength);
        void* text = nullptr;
        if (CreateBlockWithDebug(&text, length + 1, "CopyJCLStatement", ctx.run.debug) == 0) {
            DeleteJCLStatement(copy, FALSE);
            return FALSE;
        }
        std::memcpy(text, oldStmt->StatementParms, length);
        static_cast<char*>(text)[length] = '\0';
        copy->StatementParms = static_cast<char*>(text);
        // The copy's text is full: nothing can be appended to it.
        copy->ParmLength = oldStmt->ParmLength;
        copy->ParmMaxLength = oldStmt->ParmLength;
    }
    if (!CopyInstreamSpool(ctx, oldStmt->inStreamData, &copy->inStreamData)) {
        DeleteJCLStatement(copy, TRUE);
        return FALSE;
    }
    *newStmt = copy;
    return TRUE;
}

BOOLEAN AllocateParmArea(MemberContext& ctx, JCLStatement* iStmt, size_t Size) {
    FreeBlockWithDebug(iStmt->StatementParms, "AllocateParmArea", ctx.run.debug);
    iStmt->StatementParms = nullptr;
    iStmt->ParmLength = 0;
    iStmt->ParmMaxLength = 0;
    void* block = nullptr;
    if (Size == kOperandAreaSize && iStmt->spareParmArea != nullptr) {
        block = iStmt->spareParmArea;
        iStmt->spareParmArea = nullptr;
    } else if (CreateBlockWithDebug(&block, Size + 1, "AllocateParmArea", ctx.run.debug) == 0) {
        return FALSE;
    }
    // Up to four bytes are cleared, never more than the block holds (a one-character area
    // is two bytes long).
    std::memset(block, 0, Size + 1 < 4 ? Size + 1 : 4);
    iStmt->StatementParms = static_cast<char*>(block);
    iStmt->ParmMaxLength = static_cast<int32_t>(Size);
    return TRUE;
}

BOOLEAN ReplaceJCLStatementParms(MemberContext& ctx, JCLStatement* iStmt, const char* iText) {
    const size_t length = std::strlen(iText);
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, length + 1, "ReplaceJCLStatementParms", ctx.run.debug) == 0)
        return FALSE;
    std::memcpy(block, iText, length + 1);
    FreeBlockWithDebug(iStmt->StatementParms, "ReplaceJCLStatementParms", ctx.run.debug);
    iStmt->StatementParms = static_cast<char*>(block);
    iStmt->ParmLength = static_cast<int32_t>(length);
    iStmt->ParmMaxLength = static_cast<int32_t>(length);
    DeleteParmStructure(iStmt->ParmStructure, ctx.run.debug != 0);
    iStmt->ParmStructure = nullptr;
    return TRUE;
}

BOOLEAN CreateNullStatement(MemberContext& ctx, JCLStatement** outStmt, RD_JCL_STATEMENT_TYPE iType) {
    if (!CreateJCLStatement(ctx, outStmt)) return FALSE;
    (*outStmt)->StatementType = iType;
    return TRUE;
}

BOOLEAN CreateEndOfStepStmt(MemberContext& ctx, JCLStatement** outStmt) {
    return CreateNullStatement(ctx, outStmt, RD_STEP_END);
}
BOOLEAN CreateEndOfProcStmt(MemberContext& ctx, JCLStatement** outStmt) {
    return CreateNullStatement(ctx, outStmt, RD_PEND);
}
BOOLEAN CreateStartOfProcStmt(MemberContext& ctx, JCLStatement** outStmt) {
    return CreateNullStatement(ctx, outStmt, RD_PROC);
}

RD_JCL_STATEMENT_TYPE JCLStatementType(const JCLStatement* iStmt) {
    return iStmt->StatementType;
}
SOURCE_REF JCLStmtFileReference(const JCLStatement* iStmt) {
    return iStmt->FileReference;
}
int32_t JCLStmtFileLine(const JCLStatement* iStmt) {
    return iStmt->fileLine;
}
int32_t JCLStmtEndFileLine(const JCLStatement* iStmt) {
    return iStmt->endFileLine;
}
int32_t JCLStatementParmLength(const JCLStatement* iStmt) {
    return iStmt->ParmLength;
}

BOOLEAN JCLStatementParmText(JCLStatement* iStmt, char** outParmText) {
    if (iStmt->StatementParms == nullptr) return FALSE;
    *outParmText = iStmt->StatementParms;
    return TRUE;
}

void* JCLStmtParsedParms(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt->ParmStructure == nullptr)
        CreateParmStructure(&iStmt->ParmStructure, iStmt->StatementParms, FALSE, ctx.run.mode,
                            ctx.run.debug);
    return iStmt->ParmStructure;
}

int32_t JCLStatementParmCount(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt->StatementParms == nullptr) return 0;
    return QueryParmCount(JCLStmtParsedParms(ctx, iStmt));
}

BOOLEAN JCLStatementKeywordParm(MemberContext& ctx, JCLStatement* iStmt, const char* iKeyword, char** outParm) {
    if (iStmt->StatementParms == nullptr) return FALSE;
    void* parms = JCLStmtParsedParms(ctx, iStmt);
    if (parms == nullptr) return FALSE;
    return QueryKeywordParm(iKeyword, parms, outParm);
}

BOOLEAN JCLStatementPositionalParm(MemberContext& ctx, JCLStatement* iStmt, int32_t iSequence, char** outParm) {
    if (iStmt->StatementParms == nullptr) return FALSE;
    void* parms = JCLStmtParsedParms(ctx, iStmt);
    if (parms == nullptr) return FALSE;
    return QueryPositionalParm(iSequence, parms, outParm);
}

RD_JCL_STATEMENT_TYPE LookupStatementType(const char* Op) {
    for (const OpCode& entry : LookupTable)
        if (std::strcmp(entry.Token, Op) == 0) return entry.Type;
    return RD_UNKNOWN;
}

RD_JCL_STATEMENT_TYPE LookupOperatorCommand(const char* Op) {
    for (const char* verb : OperatorCommands)
        if (std::strcmp(verb, Op) == 0) return RD_COMMAND;
    return RD_UNKNOWN;
}

const char* reportStatementType(int32_t iType) {
    if (iType < 0 || iType > RD_TABLESIZE) return "";
    return TypeNames[iType];
}

} // namespace kvr
