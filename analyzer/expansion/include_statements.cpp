// INCLUDE statements during the walk: the named member's statements, built for this
// INCLUDE from its cards (read once per job), are pushed onto the current input context, so its statements are read next and
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

bool IsBeingIncluded(const RD_InputContext* Context, const RD_IncludeHeader* member) {
    if (member == nullptr) return false;
    for (const StatementList* list : member->inclusions)
        if (ContextReadsList(Context, list)) return true;
    return false;
}
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
    RD_IncludeHeader* member = GetIncludeMember(ctx, name, iStmt);
    FreeString(name, ctx.run.debug);
    if (KVRU005() > 4) return;
    // A member that includes itself (directly or through others) would nest to the limit
    // with every INCLUDE at every level: refused at once, as the limit would refuse it.
    if (IsBeingIncluded(Context, member)) {
        ReportAtStatement(ctx, MessageFor(ctx, 1350, 3054), iStmt);
        return;
    }
    StatementList* list = BuildInclusion(ctx, member);
    if (KVRU005() > 4) return;
    AddStmtListToContext(ctx, Context, list);
}

} // namespace kvr
