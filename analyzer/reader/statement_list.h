// Statement lists (owning copies of their statements, walked with cursors) and the small
// helpers that take keyword parameters apart.
#ifndef KVR_READER_STATEMENT_LIST_H
#define KVR_READER_STATEMENT_LIST_H

#include "reader/jcl_statement.h"

namespace kvr {

struct StatementList {
    void* LinkedList; // JCLStatement copies owned by the list, keyed by their labels
};

BOOLEAN CreateStmtList(StatementList** outStmtList, int32_t debug);
BOOLEAN AddStmtToList(JCLStatement* iStmt, StatementList* iStmtLst, JCLStatement** outStmtCopy,
                      int32_t debug);
void DeleteStmtList(void* ListArg, int32_t debug);
BOOLEAN CreateStmtCursor(StatementList* iStmtList, void** outCursor, int32_t debug);
BOOLEAN GetStmtViaCursor(void* CursorArg, JCLStatement** outStmt);
void DeleteStmtCursor(void* CursorArg, int32_t debug);

BOOLEAN IsStatementValidInProcedure(const JCLStatement* iStmt);
BOOLEAN ParmHasKeyword(const char* iParm);
// Owned copies of the text before / after the first "="; null and message 1367 without one.
char* CopyParmKeyword(JCLStatement* iStmt, const char* ParmArg, int16_t iProcessingMode,
                      int32_t debug);
char* CopyParmValue(JCLStatement* iStmt, const char* iParm, int16_t iProcessingMode, int32_t debug);
void reportMissingParmOrSet(JCLStatement* iStmt, int16_t iProcessingMode);
// Skips leading apostrophes and cuts trailing ones, in place; returns the remaining start.
char* StripApostrophes(char* StringArg);

} // namespace kvr

#endif
