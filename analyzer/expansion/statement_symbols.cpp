// A statement substituted as a whole while the deck is walked, and the SET statements that
// give the symbols their values.
#include <cstring>

#include "base/diagnostics.h"
#include "expansion/statement_log.h"
#include "expansion/symbols.h"
#include "reader/statement_list.h"

namespace kvr {

int16_t SubstituteStmtSymbolics(MemberContext& ctx, JCLStatement* iStmt, JCLStatement** outStmt) {
    if (outStmt == nullptr) return 0;
    *outStmt = nullptr;
    if (iStmt == nullptr) return 0;
    LogJCLStatement(ctx, iStmt, RD_LOGNORM);
    int32_t symbols = 0;
    int32_t replaced = 0;
    ctx.expansion.substitutionArea[0] = '\0';
    SubstituteSymbolics(ctx, iStmt->StatementParms, iStmt->ParmLength, ctx.expansion.substitutionArea, &symbols,
                        &replaced, iStmt->FileReference, iStmt->fileLine, 0);
    if (KVRU005() > 4) return 0;

    JCLStatement* copy = nullptr;
    if (!CopyJCLStatement(ctx, &copy, iStmt)) {
        reportMemoryAllocationError(ctx);
        return 0;
    }
    if (replaced > 0) {
        const size_t length = std::strlen(ctx.expansion.substitutionArea);
        void* text = nullptr;
        if (CreateBlockWithDebug(&text, length + 1, "SubstituteStmtSymbolics", ctx.run.debug) == 0) {
            DeleteJCLStatement(copy, TRUE);
            reportMemoryAllocationError(ctx);
            return 0;
        }
        std::memcpy(text, ctx.expansion.substitutionArea, length + 1);
        FreeBlockWithDebug(copy->StatementParms, "SubstituteStmtSymbolics", ctx.run.debug);
        copy->StatementParms = static_cast<char*>(text);
        copy->ParmLength = static_cast<int32_t>(length);
        copy->ParmMaxLength = static_cast<int32_t>(length);
        LogJCLStatement(ctx, copy, RD_LOGSUBSTITUTION);
    }
    *outStmt = copy;
    return 1;
}

void ProcessSetCard(MemberContext& ctx, JCLStatement* iStmt) {
    const int32_t count = JCLStatementParmCount(ctx, iStmt);
    for (int32_t sequence = 1; sequence <= count; ++sequence) {
        char* parm = nullptr;
        if (!JCLStatementPositionalParm(ctx, iStmt, sequence, &parm)) break;
        if (!ParmHasKeyword(parm)) {
            reportMissingParmOrSet(ctx, iStmt);
            continue;
        }
        char* name = CopyParmKeyword(ctx, iStmt, parm);
        char* value = CopyParmValue(ctx, iStmt, parm);
        if (name != nullptr && value != nullptr)
            SetScopedSymbolValue(ctx, name, StripApostrophes(value), TRUE);
        FreeString(value, ctx.run.debug);
        FreeString(name, ctx.run.debug);
    }
}

} // namespace kvr
