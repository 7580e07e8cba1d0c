// INCLUDE statements during the walk: the named member's statement list (read once per
// member) is pushed onto the current input context, so its statements are read next and
// reading continues after the INCLUDE when they are exhausted.
#include <cstring>

#include "driver/run_settings.h"
#include "expansion/deck_internal.h"
#include "expansion/statement_lists.h"
#include "rununits/run_units.h"

namespace kvr {
namespace {
// "MEMBER=" and at least one character of value.
constexpr size_t kShortestMemberParm = 8;
} // namespace

void ProcessIncludeCard(void* arrayJclDeck, JCLStatement* iStmt, RD_InputContext* Context,
                        const char* jesVersion, int16_t iProcessingMode, int32_t debug) {
    const int16_t mode = iProcessingMode;
    char* parm = nullptr;
    if (!JCLStatementKeywordParm(iStmt, "MEMBER", &parm, mode, debug) || parm == nullptr ||
        std::strlen(parm) < kShortestMemberParm) {
        ReportAtStatement(MessageFor(mode, 1421, 1421), iStmt, mode);
        return;
    }
    // MEMBER=(ABC) and MEMBER=ABC both name ABC; apostrophes stay.
    char* name = CopyParmText(std::strchr(parm, '=') + 1, FALSE, debug);
    StatementList* list =
        GetIncludeStatementList(arrayJclDeck, name, iStmt, jesVersion, mode, debug);
    FreeString(name, debug);
    if (KVRU005() > 4) return;
    // A member that includes itself (directly or through others) would nest to the limit
    // with every INCLUDE at every level: refused at once, as the limit would refuse it.
    if (list != nullptr && ContextReadsList(Context, list)) {
        ReportAtStatement(MessageFor(mode, 1350, 3054), iStmt, mode);
        return;
    }
    AddStmtListToContext(Context, list, mode, debug);
}

} // namespace kvr
