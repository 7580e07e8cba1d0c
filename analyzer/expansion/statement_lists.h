// Reading sources into statement lists: the job list of a member, a procedure's list for
// one call and an include member's list, with the procedure and include lists of the
// member, the procedure start and end records, and JCLLIB.
#ifndef KVR_EXPANSION_STATEMENT_LISTS_H
#define KVR_EXPANSION_STATEMENT_LISTS_H

#include <string>
#include <vector>

#include "base/contexts.h"
#include "reader/statement_list.h"

namespace kvr {

// A procedure read for the member (cataloged or in-stream), with its statement list and
// cards, which it owns.
struct RD_ProcedureHeader {
    ~RD_ProcedureHeader();
    OwnedText procedureName;
    SOURCE_REF FileReference;
    BOOLEAN isInstreamProc;
    struct StatementList* StatementList;
    BOOLEAN isStatementListBuilt;
    void* rawJclCardsList;    // list of owned SourceLine copies
    OwnedText procedureParms; // or null
    // A cataloged procedure is kept for the member's later jobs: it is fetched again for a
    // job whose search order (JCLLIB, PROCLIB) differs from the one it was found with.
    std::string searchOrder;
    bool fromEarlierJob = false;
};

// An INCLUDE member read for the job: its cards, and the statements built from them for
// each of its INCLUDEs, all of which it owns.
struct RD_IncludeHeader {
    ~RD_IncludeHeader();
    OwnedText IncludeName;
    SOURCE_REF FileReference;
    void* rawJclCardsList = nullptr; // list of owned SourceLine copies
    std::vector<struct StatementList*> inclusions; // of the job being expanded
    bool commentsKept = false; // its comments are in the deck, from its first INCLUDE
    // Kept for the member's later jobs as a cataloged procedure is (RD_ProcedureHeader).
    std::string searchOrder;
    bool fromEarlierJob = false;
};

// The callback for statements other than EXEC.
using StatementListCallback = void (*)(MemberContext& ctx, JCLStatement* stmt,
                                       StatementList* stmtList);


void BuildStatementList(MemberContext& ctx, void* rawProcCardsListCursor,
                        StatementList** outStmtList, StatementListCallback FctArg);
void BuildJobStatementList(MemberContext& ctx, StatementList** outStmtList);
void KVR4006_BuildCatalogedProcStatementList(MemberContext& ctx, StatementList** outStmtList,
                                             void* rawProcCardsListCursor);
void BuildIncludeStatementList(MemberContext& ctx, StatementList** outStmtList, void* rawCardsListCursor);
void KVR4006_BuildInstreamProcStatementList(MemberContext& ctx, StatementList* stmtList,
                                            void* rawProcCardsListCursor);

// The procedure entry for a call (its start record appended to the deck), or null.
RD_ProcedureHeader* GetProcedureStatementList(MemberContext& ctx, const char* iProcName,
                                              StatementList** outStmtList,
                                              JCLStatement* iExecStmt);
void StoreInstreamProcedure(MemberContext& ctx, JCLStatement* iProcStmt);
void CleanProcedureStatements(RD_ProcedureHeader* ProcHeader);
void AddEndProc(MemberContext& ctx);
void AddStmtParmsToCurrentScope(MemberContext& ctx, JCLStatement* procStmt,
                                BOOLEAN replaceIfExist);

// The include member's entry, its cards read from its library on its first use in the job.
RD_IncludeHeader* GetIncludeMember(MemberContext& ctx, const char* NameArg, JCLStatement* iStmt);
// A job of the member has been expanded: its in-stream procedures go, its cataloged
// procedures and INCLUDE members are kept for the next jobs (fetched again for a job whose
// search order differs), the statements of its INCLUDEs are released.
void ForgetJobProcedures(MemberContext& ctx);
void ForgetJobIncludes(MemberContext& ctx);
// The statements of one INCLUDE of the member, built from its cards with the symbol values
// in force now; null when there is nothing to walk.
StatementList* BuildInclusion(MemberContext& ctx, RD_IncludeHeader* entry);
BOOLEAN ProcessJCLLIBCard(MemberContext& ctx, JCLStatement* iStmt);
// Debug listing of a statement list under a title.
void reportStmtList(MemberContext& ctx, const char* title, StatementList* iStmtList);

} // namespace kvr

#endif
