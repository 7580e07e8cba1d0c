// The deck processor's entry point and the job walk: a member is read into its job
// statement list first, then every statement is substituted and dispatched; procedure
// calls and INCLUDE members are expanded in place, so the deck list ends up in the order
// in which the job would run.
#include "expansion/deck_internal.h"
#include "base/contexts.h"

#include "expansion/statement_dispatch.h"
#include "expansion/statement_lists.h"
#include "expansion/symbols.h"

namespace kvr {
namespace {

// What ProcessJclDeck has set up so far, undone in reverse order on every way out.
struct JobWalk {
    bool scopeOpen = false;
    StatementList* jobList = nullptr;
    bool stepNamePushed = false;
    RD_InputContext* context = nullptr;
    bool contextPushed = false;
};

// Returns whether the job scope was still there to close.
bool UndoJobWalk(MemberContext& ctx, JobWalk& walk) {
    if (walk.contextPushed) PopContext(ctx);
    DeleteInputContext(walk.context);
    if (walk.stepNamePushed) PopStepName(ctx);
    const bool closed = walk.scopeOpen && EndSymbolScope(ctx);
    if (walk.jobList != nullptr) DeleteStmtList(walk.jobList);
    walk = JobWalk{};
    return closed;
}

bool IsMadeUp(const JCLStatement* stmt) {
    return JCLStmtFileReference(stmt) == -1;
}

} // namespace

void ReportAtStatement(MemberContext& ctx, uint32_t iMsg, const JCLStatement* iStmt) {
    KVRWriteMessageWithFileLine(iMsg, TRUE, JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                ctx.run.mode);
}

void AddQuilloOpc(MemberContext& ctx, JCLStatement* iStmt) {
    auto* directive = NewDeckItem<RD_Quillo_Opc>(RD_STRUCT_OPC, "QuilloOPC", "QuilloOPC");
    if (directive == nullptr) {
        reportMemoryAllocationError(ctx);
        return;
    }
    directive->fileLine = JCLStmtFileLine(iStmt);
    directive->operation.reset(CloneString(iStmt->StatementOp, ctx.run.debug));
    char* parms = nullptr;
    directive->parameters.reset(CloneString(
        JCLStatementParmText(iStmt, &parms) && parms != nullptr ? parms : "", ctx.run.debug));
    if (!ctx.deck.Add(directive, "")) reportMemoryAllocationError(ctx);
}

void ProcessJobStatements(MemberContext& ctx, RD_InputContext* Context) {
    const int16_t mode = ctx.run.mode;
    const bool velkor = mode == kModeVelkor;
    bool FirstPass = true;
    JCLStatement* cooked = nullptr;
    while (NextCookedStatement(ctx, Context, &cooked)) {
        const RD_JCL_STATEMENT_TYPE type = JCLStatementType(cooked);
        if (type == RD_QUILLO_OPC) {
            AddQuilloOpc(ctx, cooked);
        } else {
            // The end-of-step and end-of-job markers came from no card: the member's first
            // statement is the first one read from it.
            const bool madeUp = IsMadeUp(cooked);
            if (velkor && FirstPass && type != RD_JOB && !madeUp) {
                ProcessJobCard(ctx, nullptr);
                FirstPass = false;
            }
            switch (type) {
            case RD_INCLUDE:
                ProcessIncludeCard(ctx, cooked, Context);
                break;
            case RD_JCLLIB:
                if (!ctx.run.ignoreJCLLIB) ProcessJCLLIBCard(ctx, cooked);
                break;
            case RD_JOB:
                if (FirstPass) {
                    ProcessJobCard(ctx, cooked);
                    if (velkor) FirstPass = false;
                } else {
                    ReportAtStatement(ctx, MessageFor(ctx, 1356, 3059), cooked);
                }
                break;
            default:
                if (!velkor && FirstPass && !madeUp)
                    KVRWriteMessageWithFileLine(1334, TRUE, JCLStmtFileReference(cooked),
                                                JCLStmtFileLine(cooked), mode);
                else
                    ProcessOneStatement(ctx, cooked);
                break;
            }
            if (!velkor && !madeUp) FirstPass = false;
        }
        DeleteJCLStatement(cooked, TRUE);
        if (KVRU005() > 4) break;
    }
}

namespace {

// Reads one job of the member into its statement list and expands it. FALSE when the
// analysis of the member must stop.
bool ExpandJob(MemberContext& ctx) {
    JobWalk walk;
    if (!BeginSymbolScope(ctx)) {
        reportMemoryAllocationError(ctx);
        return false;
    }
    walk.scopeOpen = true;

    BuildJobStatementList(ctx, &walk.jobList);
    if (walk.jobList == nullptr || KVRU005() > 4) {
        UndoJobWalk(ctx, walk);
        return false;
    }
    walk.stepNamePushed = PushStepName(ctx, "");
    if (walk.stepNamePushed) BeginInputContext(ctx, &walk.context, walk.jobList);
    if (walk.context != nullptr) walk.contextPushed = PushContext(ctx, walk.context);
    if (!walk.contextPushed || KVRU005() > 4) {
        UndoJobWalk(ctx, walk);
        return false;
    }

    // The member's next job waits in the push-back card, and the member itself must not be
    // read on while procedures and INCLUDE members are read for this job.
    ++ctx.listBuilder.jobsExpanded;
    const PushBackCard nextJob = ctx.pushBack;
    ctx.pushBack.cached = false;
    const int32_t keptBefore = ctx.listBuilder.keptMembers;
    ctx.listBuilder.keptMembers = KVRU940_OpenMemberCount();
    ProcessJobStatements(ctx, walk.context);
    ctx.listBuilder.keptMembers = keptBefore;
    ctx.pushBack = nextJob;

    const bool stopped = KVRU005() > 4;
    if (!UndoJobWalk(ctx, walk)) {
        KVRWriteMessage(MessageFor(ctx, 1342, 3048));
        return false;
    }
    return !stopped;
}

// What a job has set up for itself and the next job must not see: its in-stream
// procedures and the libraries of its JCLLIB statement and PROCLIB DD. Procedures and
// INCLUDE members found in libraries are kept while the search order stays the same.
void ForgetJob(MemberContext& ctx) {
    ForgetJobProcedures(ctx);
    ForgetJobIncludes(ctx);
    KVRU940_ResetJobSearchOrder();
}

// The comments read with the later jobs join the first job's at the head of the deck,
// before every expanded record.
void PutMemberCommentsFirst(MemberContext& ctx) {
    if (ctx.memberComments.Empty()) return;
    DeckList merged;
    if (!merged.TakeItemsFrom(ctx.deck, "", ctx.listBuilder.leadingDeckItems) ||
        !merged.TakeItemsFrom(ctx.memberComments, "") || !merged.TakeItemsFrom(ctx.deck, ""))
        reportMemoryAllocationError(ctx);
    ctx.deck.Swap(merged);
}

} // namespace

BOOLEAN ProcessJclDeck(MemberContext& ctx) {
    bool expanded = ExpandJob(ctx);
    while (expanded && ctx.listBuilder.nextJobWaiting) {
        ForgetJob(ctx);
        expanded = ExpandJob(ctx);
    }
    PutMemberCommentsFirst(ctx);
    if (!expanded) return FALSE;
    if (ctx.run.debug) DumpJclDeckToStdout(ctx);
    return TRUE;
}

} // namespace kvr
