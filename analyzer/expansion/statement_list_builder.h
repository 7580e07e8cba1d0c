// Helpers shared by the statement-list builders, the procedure list and the include list:
// appending statements and synthetic markers to a list, and messages placed at a statement.
#ifndef KVR_EXPANSION_STATEMENT_LIST_BUILDER_H
#define KVR_EXPANSION_STATEMENT_LIST_BUILDER_H

#include "expansion/statement_lists.h"
#include "base/contexts.h"

namespace kvr {

// Appends a copy of iStmt and returns the list's copy; null (allocation reported) when the
// copy cannot be made or the list is missing.
JCLStatement* AppendStatement(MemberContext& ctx, StatementList* iStmtList, JCLStatement* iStmt);

using MarkerMaker = BOOLEAN (*)(MemberContext& ctx, JCLStatement** outStmt);
// Appends a synthetic marker statement made by makeMarker (CreateEndOfStepStmt, ...).
void AppendMarker(MemberContext& ctx, StatementList* iStmtList, MarkerMaker makeMarker);
// Appends a DD statement and gives the in-stream data cards that follow it (from the source
// the list is read from) to the list's copy.
void AppendDDWithData(MemberContext& ctx, StatementList* stmtList, JCLStatement* stmt);

// A message about a statement: locator line and message, both also as MSG records.
void ReportAtStatement(MemberContext& ctx, const JCLStatement* iStmt, uint32_t iMsg);

// The reading record's in-stream data has been copied into the list by now; release it so
// that the next reset of the record does not lose it.
void ReleaseReadingRecordData(MemberContext& ctx, JCLStatement* iStmt);

// A job scheduling statement (EXPORT, SCHEDULE, NOTIFY, the job-group statements) is read
// by the job entry subsystem and run by no step: its cards are kept as comments and the
// statement is not listed (TRUE).
bool KeptAsComments(MemberContext& ctx, const JCLStatement* stmt);
// Passes over the cards after a statement that are not JCL of the job: the program control
// statements of a CNTL block, the cards an XMIT statement sends to another node.
void PassOverCardsNotOfTheJob(MemberContext& ctx, JCLStatement* stmt);

} // namespace kvr

#endif
