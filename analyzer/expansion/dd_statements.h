// DD statements: the values of a data set entry (DUMMY, data set name, DISP status and
// disposition, parameter text, in-stream data) taken from a statement, and the merge of an
// overriding statement into a procedure step's entry.
#ifndef KVR_EXPANSION_DD_STATEMENTS_H
#define KVR_EXPANSION_DD_STATEMENTS_H

#include <string>

#include "model/job_model.h"
#include "base/contexts.h"

namespace kvr {

void ProcessDDCard(MemberContext& ctx, JCLStatement* iStmt);
void MergeProcedureConcatenation(MemberContext& ctx, RD_DatasetConcatenation* iConcat, JCLStatement* iStmt);
void AddProcedureConcatenation(MemberContext& ctx, RD_DDStatement* iDD, JCLStatement* iStmt);
} // namespace kvr

#endif
