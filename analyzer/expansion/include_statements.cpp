// INCLUDE statements during the walk: the named member's statement list (read once per
// member) is pushed onto the current input context, so its statements are read next and
// reading continues after the INCLUDE when they are exhausted.
#include <cstring>

#include "base/contexts.h"
#include "expansion/deck_internal.h"
#include "expansion/statement_lists.h"
#include "rununits/run_units.h"

namespace kvr {
namespace {
// "MEMBER=" and at least one character of value.
constexpr size_t kShortestMemberParm = 8;
} // namespace

void ProcessIncludeCard(MemberContext& ctx, JCLStatement* iStmt, RD_InputContext* Context) {
    const int16_t mode = ctx.run.mode;
    char* parm = nullptr;
    if (!JCLStatementKeywordParm(ctx, iStmt, "MEMBER", &parm) || parm == nullptr ||
        std::strlen(parm) < kShortestMemberParm) {
        ReportAtStatement(ctx, MessageFor(ctx, 1421, 1421), iStmt);
        return;
    }
    // MEMBER=(ABC) and MEMBER=ABC both name ABC; apostrophes stay.
    char* name = CopyParmText(ctx, std::strchr(parm, '=') + 1, FALSE);
    StatementList* list =
        GetIncludeStatementList(ctx, name, iStmt);
    FreeString(name, ctx.run.debug);
    if (KVRU005() > 4) return;
    // A member that includes itself (directly or through others) would nest to the limit
    // with every INCLUDE at every level: refused at once, as the limit would refuse it.
    if (list != nullptr && ContextReadsList(Context, list)) {
        ReportAtStatement(ctx, MessageFor(ctx, 1350, 3054), iStmt);
        return;
    }
    AddStmtListToContext(ctx, Context, list);
}

} // namespace kvr
