// Reading sources into statement lists: the job list of a member, a procedure's list for
// one call and an include member's list, with the procedure and include lists of the
// member, the procedure start and end records, and JCLLIB.
#ifndef KVR_EXPANSION_STATEMENT_LISTS_H
#define KVR_EXPANSION_STATEMENT_LISTS_H

#include "expansion/list_builder_state.h"
#include "reader/statement_list.h"

namespace kvr {

struct RD_ProcedureHeader {
    char* procedureName; // owned
    SOURCE_REF FileReference;
    BOOLEAN isInstreamProc;
    struct StatementList* StatementList;
    BOOLEAN isStatementListBuilt;
    void* rawJclCardsList; // list of owned SourceLine copies
    char* procedureParms;  // owned or null
};

struct RD_IncludeHeader {
    char* IncludeName; // owned
    SOURCE_REF FileReference;
    struct StatementList* StatementList;
};

// The callback for statements other than EXEC.
using StatementListCallback = void (*)(void* arrayJclDeck, JCLStatement* stmt,
                                       StatementList* stmtList, const char* jesVersion,
                                       int16_t iProcessingMode, int32_t debug);

void InitializeProcedureList();
void InitializeIncludeList();

void BuildStatementList(void* arrayJclDeck, void* rawProcCardsListCursor,
                        StatementList** outStmtList, StatementListCallback FctArg,
                        const char* jesVersion, int16_t iProcessingMode, int32_t debug);
void BuildJobStatementList(void* arrayJclDeck, StatementList** outStmtList,
                           const char* jesVersion, int16_t iProcessingMode, int32_t debug);
void KVR4006_BuildCatalogedProcStatementList(void* arrayJclDeck, StatementList** outStmtList,
                                             void* rawProcCardsListCursor, const char* jesVersion,
                                             int16_t iProcessingMode, int32_t debug);
void BuildIncludeStatementList(void* arrayJclDeck, StatementList** outStmtList,
                               const char* jesVersion, int16_t iProcessingMode, int32_t debug);
void KVR4006_BuildInstreamProcStatementList(void* arrayJclDeck, StatementList* stmtList,
                                            void* rawProcCardsListCursor, const char* jesVersion,
                                            int16_t iProcessingMode, int32_t debug);

// The procedure entry for a call (its start record appended to the deck), or null.
RD_ProcedureHeader* GetProcedureStatementList(void* arrayJclDeck, const char* iProcName,
                                              StatementList** outStmtList,
                                              JCLStatement* iExecStmt, const char* jesVersion,
                                              int16_t iProcessingMode, int32_t debug);
void StoreInstreamProcedure(void* arrayJclDeck, JCLStatement* iProcStmt, const char* jesVersion,
                            int16_t iProcessingMode, int32_t debug);
void CleanProcedureStatements(RD_ProcedureHeader* ProcHeader, int32_t debug);
void AddEndProc(void* arrayJclDeck, int32_t debug);
void FreeProcedureList(int32_t debug);
void AddStmtParmsToCurrentScope(int16_t iProcessingMode, JCLStatement* procStmt,
                                BOOLEAN replaceIfExist, int32_t debug);

// The include member's list, read and built on its first use in the member.
StatementList* GetIncludeStatementList(void* arrayJclDeck, const char* NameArg,
                                       JCLStatement* iStmt, const char* jesVersion,
                                       int16_t iProcessingMode, int32_t debug);
void FreeIncludeList(int32_t debug);
BOOLEAN ProcessJCLLIBCard(JCLStatement* iStmt, const char* iSiteName, int16_t iProcessingMode,
                          int32_t debug);
// Debug listing of a statement list under a title.
void reportStmtList(const char* title, StatementList* iStmtList, int32_t debug);

} // namespace kvr

#endif
