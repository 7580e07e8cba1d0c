// The deck processor's entry point and the job walk: a member is read into its job
// statement list first, then every statement is substituted and dispatched; procedure
// calls and INCLUDE members are expanded in place, so the deck list ends up in the order
// in which the job would run.
#include "expansion/deck_internal.h"

#include "driver/run_settings.h"
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
bool UndoJobWalk(JobWalk& walk, int16_t mode, int32_t debug) {
    if (walk.contextPushed) PopContext(mode);
    DeleteInputContext(walk.context, debug);
    if (walk.stepNamePushed) PopStepName(mode, debug);
    const bool closed = walk.scopeOpen && EndSymbolScope(debug);
    if (walk.jobList != nullptr) DeleteStmtList(walk.jobList, debug);
    walk = JobWalk{};
    return closed;
}

bool IsMadeUp(const JCLStatement* stmt) {
    return JCLStmtFileReference(stmt) == -1;
}

} // namespace

void ReportAtStatement(uint32_t iMsg, const JCLStatement* iStmt, int16_t iProcessingMode) {
    KVRWriteMessageWithFileLine(iMsg, TRUE, JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                iProcessingMode);
}

void AddQuilloOpc(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_Quillo_Opc), "QuilloOPC", debug) == 0) {
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    auto* directive = static_cast<RD_Quillo_Opc*>(block);
    directive->structureType = RD_STRUCT_OPC;
    directive->fileLine = JCLStmtFileLine(iStmt);
    directive->operation = CloneString(iStmt->StatementOp, debug);
    char* parms = nullptr;
    directive->parameters =
        CloneString(JCLStatementParmText(iStmt, &parms) && parms != nullptr ? parms : "", debug);
    if (AddItemToList(arrayJclDeck, directive, "", debug) == 0) {
        FreeString(directive->operation, debug);
        FreeString(directive->parameters, debug);
        FreeBlockWithDebug(directive, "QuilloOPC", debug);
        reportMemoryAllocationError(iProcessingMode);
    }
}

void ProcessJobStatements(void* arrayJclDeck, RD_InputContext* Context, BOOLEAN ignoreJCLLIB,
                          const char* iSiteName, const char* jesVersion, int16_t iProcessingMode,
                          BOOLEAN iFormatXML, int32_t debug) {
    const int16_t mode = iProcessingMode;
    const bool velkor = mode == kModeVelkor;
    bool FirstPass = true;
    JCLStatement* cooked = nullptr;
    while (NextCookedStatement(Context, &cooked, mode, debug)) {
        const RD_JCL_STATEMENT_TYPE type = JCLStatementType(cooked);
        if (type == RD_QUILLO_OPC) {
            AddQuilloOpc(arrayJclDeck, cooked, mode, debug);
        } else {
            // The end-of-step and end-of-job markers came from no card: the member's first
            // statement is the first one read from it.
            const bool madeUp = IsMadeUp(cooked);
            if (velkor && FirstPass && type != RD_JOB && !madeUp) {
                ProcessJobCard(arrayJclDeck, nullptr, mode, iFormatXML, debug);
                FirstPass = false;
            }
            switch (type) {
            case RD_INCLUDE:
                ProcessIncludeCard(arrayJclDeck, cooked, Context, jesVersion, mode, debug);
                break;
            case RD_JCLLIB:
                if (!ignoreJCLLIB) ProcessJCLLIBCard(cooked, iSiteName, mode, debug);
                break;
            case RD_JOB:
                if (FirstPass) {
                    ProcessJobCard(arrayJclDeck, cooked, mode, iFormatXML, debug);
                    if (velkor) FirstPass = false;
                } else {
                    ReportAtStatement(MessageFor(mode, 1356, 3059), cooked, mode);
                }
                break;
            case RD_JOB_END:
                // A further JOB statement of the member follows: it starts a job of its
                // own instead of being ignored with its steps put into the job before.
                FirstPass = true;
                break;
            default:
                if (!velkor && FirstPass && !madeUp)
                    KVRWriteMessageWithFileLine(1334, TRUE, JCLStmtFileReference(cooked),
                                                JCLStmtFileLine(cooked), mode);
                else
                    ProcessOneStatement(arrayJclDeck, cooked, iSiteName, jesVersion, mode, debug);
                break;
            }
            if (!velkor && !madeUp) FirstPass = false;
        }
        DeleteJCLStatement(cooked, TRUE, debug);
        if (KVRU005() > 4) break;
    }
}

BOOLEAN ProcessJclDeck(void* arrayJclDeck, BOOLEAN ignoreJCLLIB, const char* iSiteName,
                       const char* jesVersion, int16_t iProcessingMode, BOOLEAN iFormatXML,
                       int32_t debug) {
    const int16_t mode = iProcessingMode;
    JobWalk walk;
    if (!BeginSymbolScope(mode, debug)) {
        reportMemoryAllocationError(mode);
        return FALSE;
    }
    walk.scopeOpen = true;

    BuildJobStatementList(arrayJclDeck, &walk.jobList, jesVersion, mode, debug);
    if (walk.jobList == nullptr || KVRU005() > 4) {
        UndoJobWalk(walk, mode, debug);
        return FALSE;
    }
    walk.stepNamePushed = PushStepName("", mode, debug);
    if (walk.stepNamePushed) BeginInputContext(&walk.context, walk.jobList, mode, debug);
    if (walk.context != nullptr) walk.contextPushed = PushContext(walk.context, mode, debug);
    if (!walk.contextPushed || KVRU005() > 4) {
        UndoJobWalk(walk, mode, debug);
        return FALSE;
    }

    ProcessJobStatements(arrayJclDeck, walk.context, ignoreJCLLIB, iSiteName, jesVersion, mode,
                         iFormatXML, debug);
    const bool stopped = KVRU005() > 4;
    if (!UndoJobWalk(walk, mode, debug)) {
        KVRWriteMessage(MessageFor(mode, 1342, 3048));
        return FALSE;
    }
    if (stopped) return FALSE;
    if (debug) DumpJclDeckToStdout(arrayJclDeck, debug);
    return TRUE;
}

} // namespace kvr
