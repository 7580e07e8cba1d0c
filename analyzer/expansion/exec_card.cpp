// EXEC statements that run a program: the program name (a referback resolved to the member
// it names), PARM, REGION and the parameter text become a step of the current job, invoked
// by the procedure call on top of the step-name stack.
#include "base/contexts.h"
#include "rununits/parameter_capture.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "reader/statement_list.h"

namespace kvr {
namespace {

// The value of a keyword parameter as an owned clone, empty when it is not coded.
char* KeywordValueOrEmpty(MemberContext& ctx, JCLStatement* iStmt, const char* iKeyword) {
    char* parm = nullptr;
    char* value = nullptr;
    if (JCLStatementKeywordParm(ctx, iStmt, iKeyword, &parm))
        value = CopyParmValue(ctx, iStmt, parm);
    return value != nullptr ? value : CloneString("", ctx.run.debug);
}

// Standard and Dravix mode keep the whole parameter text; Velkor mode only the COND value.
char* CaptureAllParms(MemberContext& ctx, JCLStatement* iStmt) {
    char* text = nullptr;
    if (!JCLStatementParmText(iStmt, &text) || text == nullptr) return CloneString("", ctx.run.debug);
    if (ctx.run.mode == kModeVelkor)
        return KeywordValueOrEmpty(ctx, iStmt, "COND");
    return CloneString(text, ctx.run.debug);
}

// The values taken from one EXEC statement.
struct ExecWorkData {
    OwnedText AllParms;
    OwnedText ProgramParm;
    OwnedText ProgramName;
    OwnedText Region;
};

} // namespace

void ProcessExecCard(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt == nullptr) return;
    ExecWorkData work;
    work.AllParms.reset(CaptureAllParms(ctx, iStmt));
    work.ProgramParm.reset(KeywordValueOrEmpty(ctx, iStmt, "PARM"));
    work.ProgramName.reset(KeywordValueOrEmpty(ctx, iStmt, "PGM"));
    if (work.ProgramName.get()[0] == '\0') {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1372, 3071), TRUE, JCLStmtFileReference(iStmt),
                                    JCLStmtFileLine(iStmt), ctx.run.mode);
        return;
    }
    if (work.ProgramName.get()[0] == '*') {
        ProcessReferbackSyntax(ctx, work.ProgramName, TRUE);
        if (KVRU005() > 4) return;
    }
    work.Region.reset(KeywordValueOrEmpty(ctx, iStmt, "REGION"));

    // An empty stack has been reported by QueryStepName; no step can be placed then.
    const char* invokingStepName = QueryStepName(ctx);
    if (invokingStepName != nullptr) {
        const int32_t level = QueryProcNestingLevel(ctx);
        AddStep(ctx, iStmt->StatementLabel, invokingStepName, JCLStmtFileReference(iStmt),
                JCLStmtFileLine(iStmt), JCLStmtEndFileLine(iStmt), level > 0 ? TRUE : FALSE, level,
                work.Region.get(), work.ProgramName.get(), work.ProgramParm.get(),
                work.AllParms.get());
        // Counted job or not: Dravix mode writes steps only when some step runs a program
        // that parameter capture selects.
        void* entry = nullptr;
        if (CheckProgramForParmLogging(ctx.run, work.ProgramName.get(), &entry))
            ++ctx.model.captureSteps;
    }
}

} // namespace kvr
