// Override statements of a procedure call: a DD labelled procstep.ddname (or ddname for the
// first procedure step) overrides or adds a DD of the expanded procedure, and unlabelled DDs
// after it go on through that DD's concatenation, appending past its end.
#include "expansion/overrides.h"
#include "base/contexts.h"

#include <cstring>

#include "expansion/dd_statements.h"
#include "expansion/statement_log.h"

namespace kvr {
namespace {

// The label split into procedure step name and DD name (both point into Buffer).
struct LabelParts {
    const char* procStepName;
    const char* ddName;
};

bool ParseStatementLabel(MemberContext& ctx, JCLStatement* iStmt, LabelParts& out) {
    const size_t length = strnlen(iStmt->StatementLabel, sizeof iStmt->StatementLabel);
    if (length >= static_cast<size_t>(kLabelMax)) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1395, 3086), TRUE,
                                    JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                    ctx.run.mode);
        return false;
    }
    std::memcpy(ctx.expansion.overrides.label, iStmt->StatementLabel, length);
    ctx.expansion.overrides.label[length] = '\0';
    char* period = std::strchr(ctx.expansion.overrides.label, '.');
    if (period == nullptr) {
        out.procStepName = "";
        out.ddName = ctx.expansion.overrides.label;
    } else {
        *period = '\0';
        out.procStepName = ctx.expansion.overrides.label;
        out.ddName = period + 1;
    }
    return true;
}

void ForgetOverriddenDD(MemberContext& ctx) {
    ctx.expansion.overrides.ddSave = nullptr;
    DeleteConcatenationCursor(ctx.expansion.overrides.concatCursor);
    ctx.expansion.overrides.concatCursor = nullptr;
}

// Merges the statement into the entry at the cursor, or appends it past the last entry.
void ApplyOverridingStatement(MemberContext& ctx, JCLStatement* iStmt) {
    RD_DatasetConcatenation* entry = QueryConcatenationCursor(ctx.expansion.overrides.concatCursor);
    if (entry != nullptr) {
        MergeProcedureConcatenation(ctx, entry, iStmt);
        LogJCLStatement(ctx, iStmt, RD_LOGOVERRIDE);
    } else {
        AddProcedureConcatenation(ctx, ctx.expansion.overrides.ddSave, iStmt);
        LogJCLStatement(ctx, iStmt, RD_LOGADD);
    }
}

// Starts overriding iDD at its first entry.
void OverrideDD(MemberContext& ctx, RD_DDStatement* iDD, JCLStatement* iStmt) {
    ForgetOverriddenDD(ctx);
    ctx.expansion.overrides.concatCursor = CreateConcatenationCursor(ctx, iDD);
    ctx.expansion.overrides.ddSave = iDD;
    if (ctx.expansion.overrides.concatCursor != nullptr) ApplyOverridingStatement(ctx, iStmt);
}

void ContinueConcatenation(MemberContext& ctx, RD_JobStep* iStep, JCLStatement* iStmt) {
    if (ctx.expansion.overrides.ddSave == nullptr) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1463, 3111), TRUE,
                                    iStep->FileReference, iStep->fileLine, ctx.run.mode);
        return;
    }
    if (ctx.expansion.overrides.concatCursor == nullptr) {
        const uint32_t number = MessageFor(ctx, 1462, 3110);
        KVRWriteMessage(number);
        KVR_Write_MSG_Record("JCL", MsgProgramId(ctx), static_cast<int32_t>(number));
        return;
    }
    AdvanceConcatenationCursor(ctx.expansion.overrides.concatCursor);
    ApplyOverridingStatement(ctx, iStmt);
}

void ProcessDDOverrideOrAddForStep(MemberContext& ctx, RD_JobStep* iStep, const char* iDDName, JCLStatement* iStmt) {
    if (iDDName[0] == '\0') {
        ContinueConcatenation(ctx, iStep, iStmt);
        return;
    }
    RD_DDStatement* dd = nullptr;
    if (FindDDForStep(iStep, iDDName, &dd) && dd != nullptr) {
        OverrideDD(ctx, dd, iStmt);
        return;
    }
    // A DD the step does not have is added, then overridden as an empty DD.
    dd = AllocateDD(ctx, iDDName, JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                    JCLStmtEndFileLine(iStmt));
    if (dd == nullptr) {
        reportMemoryAllocationError(ctx);
        return;
    }
    AddDDToStep(ctx, iStep, dd, dd->DDName.get());
    OverrideDD(ctx, dd, iStmt);
}

// The step a label addresses; null (reported) when there is none.
RD_JobStep* ChooseStep(MemberContext& ctx, JCLStatement* iStmt, const char* iProcStepName, RD_StepCursor* CursorArg) {
    if (iProcStepName[0] == '\0') {
        RD_JobStep* step = QueryStepCursor(CursorArg);
        if (step == nullptr)
            KVRWriteMessageWithFileLine(MessageFor(ctx, 1397, 3088), TRUE,
                                        JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                        ctx.run.mode);
        return step;
    }
    if (ctx.expansion.overrides.previousStep != nullptr && std::strcmp(iProcStepName, ctx.expansion.overrides.previousStepName) == 0)
        return ctx.expansion.overrides.previousStep;

    ForgetOverriddenDD(ctx);
    if (!AdvanceCursorToStep(CursorArg, iProcStepName, nullptr, TRUE)) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1396, 3087), TRUE,
                                    JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                    ctx.run.mode);
        return nullptr;
    }
    RD_JobStep* step = QueryStepCursor(CursorArg);
    std::strncpy(ctx.expansion.overrides.previousStepName, iProcStepName, sizeof ctx.expansion.overrides.previousStepName - 1);
    ctx.expansion.overrides.previousStepName[sizeof ctx.expansion.overrides.previousStepName - 1] = '\0';
    ctx.expansion.overrides.previousStep = step;
    return step;
}

} // namespace

void InitializeOverrideState(MemberContext& ctx) {
    ctx.expansion.overrides.previousStepName[0] = '\0';
    ctx.expansion.overrides.previousStep = nullptr;
    ForgetOverriddenDD(ctx);
    std::memset(ctx.expansion.overrides.label, 0, sizeof ctx.expansion.overrides.label);
}

void ProcessDDOverrideOrAdd(MemberContext& ctx, JCLStatement* iStmt, RD_StepCursor* CursorArg) {
    if (iStmt == nullptr || CursorArg == nullptr) return;
    LabelParts label{};
    if (!ParseStatementLabel(ctx, iStmt, label) || KVRU005() > 4) return;
    RD_JobStep* step = ChooseStep(ctx, iStmt, label.procStepName, CursorArg);
    if (step == nullptr) return;
    ProcessDDOverrideOrAddForStep(ctx, step, label.ddName, iStmt);
}

} // namespace kvr
