// Helpers shared by the statement-list builders, the procedure list and the include list:
// appending statements and synthetic markers to a list, and messages placed at a statement.
#ifndef KVR_EXPANSION_STATEMENT_LIST_BUILDER_H
#define KVR_EXPANSION_STATEMENT_LIST_BUILDER_H

#include "expansion/statement_lists.h"

namespace kvr {

// Appends a copy of iStmt and returns the list's copy; null (allocation reported) when the
// copy cannot be made or the list is missing.
JCLStatement* AppendStatement(StatementList* iStmtList, JCLStatement* iStmt,
                              int16_t iProcessingMode, int32_t debug);

using MarkerMaker = BOOLEAN (*)(JCLStatement** outStmt, int32_t debug);
// Appends a synthetic marker statement made by makeMarker (CreateEndOfStepStmt, ...).
void AppendMarker(StatementList* iStmtList, MarkerMaker makeMarker, int16_t iProcessingMode,
                  int32_t debug);
// Appends a DD statement and gives the in-stream data cards that follow it (from the source
// the list is read from) to the list's copy.
void AppendDDWithData(StatementList* stmtList, JCLStatement* stmt, const char* jesVersion,
                      int16_t iProcessingMode, int32_t debug);

// A message about a statement: locator line and message, both also as MSG records.
void ReportAtStatement(const JCLStatement* iStmt, uint32_t iMsg, int16_t iProcessingMode);

// The reading record's in-stream data has been copied into the list by now; release it so
// that the next reset of the record does not lose it.
void ReleaseReadingRecordData(JCLStatement* iStmt, int32_t debug);

} // namespace kvr

#endif
