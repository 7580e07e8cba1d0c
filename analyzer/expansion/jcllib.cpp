// The JCLLIB statement: the libraries of its ORDER parameter join the job's search order
// for the cataloged procedures and INCLUDE members called after it.
#include <cstring>
#include <string>

#include "base/contexts.h"
#include "expansion/statement_list_builder.h"

namespace kvr {
namespace {

// The ORDER value without one leading "(" and cut at the first ")".
std::string OrderLibraries(const char* orderParm) {
    const char* equals = std::strchr(orderParm, '=');
    std::string value = equals != nullptr ? equals + 1 : "";
    if (!value.empty() && value.front() == '(') value.erase(0, 1);
    const size_t close = value.find(')');
    if (close != std::string::npos) value.erase(close);
    return value;
}

} // namespace

BOOLEAN ProcessJCLLIBCard(MemberContext& ctx, JCLStatement* iStmt) {
    char* orderParm = nullptr;
    if (!JCLStatementKeywordParm(ctx, iStmt, "ORDER", &orderParm)) {
        ReportAtStatement(ctx, iStmt, MessageFor(ctx, 1368, 3068));
        return FALSE;
    }
    const std::string libraries = OrderLibraries(orderParm);
    void* parms = nullptr;
    CreateParmStructure(&parms, libraries.c_str(), FALSE, ctx.run.mode, ctx.run.debug);
    if (parms == nullptr) return FALSE;
    BOOLEAN result = TRUE;
    const int32_t count = QueryParmCount(parms);
    for (int32_t index = 1; index <= count && result; ++index) {
        char* parm = nullptr;
        if (!QueryPositionalParm(index, parms, &parm)) break;
        std::string name(parm);
        const char* library = name.c_str();
        if (!name.empty() && name.front() == '\'') library = StripApostrophes(name.data());
        if (!AddToJobList(library, ctx.run.siteName.c_str(), iStmt->FileReference, iStmt->fileLine,
                          ctx.run.mode))
            result = FALSE;
    }
    DeleteParmStructure(parms, static_cast<BOOLEAN>(ctx.run.debug != 0));
    return result;
}

} // namespace kvr
