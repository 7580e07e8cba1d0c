// Counters of the statement-list builder that the card reader and the statement parser
// consult while a list is being read: JOB statements met, statements read, whether an EXEC
// has been met, the EXEC statement of the current step, and where the cards come from.
#ifndef KVR_EXPANSION_LIST_BUILDER_STATE_H
#define KVR_EXPANSION_LIST_BUILDER_STATE_H

#include "reader/jcl_statement.h"

namespace kvr {

// Resets every counter (called for each member).
void InitializeStatementListBuilder();

int32_t getJobCount();
void setJobCount(int32_t count);
int32_t getStmtCount();
void setStmtCount(int32_t count);
int16_t getExecFound();
void setExecFound(int16_t found);
// The list's own copy of the last EXEC statement added, or null.
JCLStatement* getCurrentStepStmt();
void setCurrentStepStmt(JCLStatement* stmt);
// The card-list cursor the list being built reads from; null when it reads the member files.
void* getReadingCursor();
void setReadingCursor(void* cursor);

} // namespace kvr

#endif
