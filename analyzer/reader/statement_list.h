// Statement lists (owning copies of their statements, walked with cursors) and the small
// helpers that take keyword parameters apart.
#ifndef KVR_READER_STATEMENT_LIST_H
#define KVR_READER_STATEMENT_LIST_H

#include "reader/jcl_statement.h"
#include "base/contexts.h"

namespace kvr {

struct StatementList {
    void* LinkedList; // JCLStatement copies owned by the list, keyed by their labels
};

BOOLEAN CreateStmtList(MemberContext& ctx, StatementList** outStmtList);
BOOLEAN AddStmtToList(MemberContext& ctx, JCLStatement* iStmt, StatementList* iStmtLst, JCLStatement** outStmtCopy);
void DeleteStmtList(void* ListArg);
BOOLEAN CreateStmtCursor(MemberContext& ctx, StatementList* iStmtList, void** outCursor);
BOOLEAN GetStmtViaCursor(void* CursorArg, JCLStatement** outStmt);
void DeleteStmtCursor(void* CursorArg);

BOOLEAN IsStatementValidInProcedure(const JCLStatement* iStmt);
BOOLEAN ParmHasKeyword(const char* iParm);
// Owned copies of the text before / after the first "="; null and message 1367 without one.
char* CopyParmKeyword(MemberContext& ctx, JCLStatement* iStmt, const char* ParmArg);
char* CopyParmValue(MemberContext& ctx, JCLStatement* iStmt, const char* iParm);
void reportMissingParmOrSet(MemberContext& ctx, JCLStatement* iStmt);
// Skips leading apostrophes and cuts trailing ones, in place; returns the remaining start.
char* StripApostrophes(char* StringArg);

} // namespace kvr

#endif
