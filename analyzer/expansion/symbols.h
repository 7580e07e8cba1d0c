// Symbols while walking: a statement substituted as a whole, and SET statements applied to
// the update scope.
#ifndef KVR_EXPANSION_SYMBOLS_H
#define KVR_EXPANSION_SYMBOLS_H

#include "base/contexts.h"
#include "reader/jcl_statement.h"
#include "reader/symbols.h"

namespace kvr {

void ProcessSetCard(MemberContext& ctx, JCLStatement* iStmt);
// 1 with outStmt a substituted copy (owned by the caller), 0 on failure.
int16_t SubstituteStmtSymbolics(MemberContext& ctx, JCLStatement* iStmt, JCLStatement** outStmt);

} // namespace kvr

#endif
