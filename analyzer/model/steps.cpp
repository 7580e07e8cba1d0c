// Steps of the job: one record per EXEC statement, held in the job's fixed step table and
// in the deck, with the step's DD statements (keyed by DD name, in statement order) and
// the OUTPUT statements that follow it. A step owns its DDs and OUTPUT statements.
#include "model/job_model.h"
#include "base/contexts.h"

#include <cstring>

#include "model/model_lists.h"
#include "model/output_statements.h"

namespace kvr {

RD_JobStep* AllocateStep(MemberContext& ctx, const char* iStepName, const char* iInvokingStepName,
                         SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
                         BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel,
                         const char* iRegion, const char* iProgramName, const char* iProgramParm,
                         const char* iAllParms) {
    auto* step = NewDeckItem<RD_JobStep>(RD_STRUCT_STEP, "AllocateStep", "FreeStep");
    if (step == nullptr || !step->DDStatementList.Create()) {
        ReleaseDeckItem(step);
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    step->StepName.reset(CloneString(TextOrEmpty(iStepName), ctx.run.debug));
    step->InvokingStepName.reset(CloneString(TextOrEmpty(iInvokingStepName), ctx.run.debug));
    step->FileReference = iFileReference;
    step->fileLine = iFileLine;
    step->endFileLine = iEndFileLine;
    step->ExpandedFromProcedure = iExpandedFromProcedure;
    step->procNestingLevel = iProcNestingLevel;
    step->RegionSize.reset(CloneString(TextOrEmpty(iRegion), ctx.run.debug));
    step->ExecutableName.reset(CloneString(TextOrEmpty(iProgramName), ctx.run.debug));
    step->ExecutableParms.reset(CloneString(TextOrEmpty(iProgramParm), ctx.run.debug));
    step->AllParms.reset(CloneString(TextOrEmpty(iAllParms), ctx.run.debug));
    return step;
}

// A step that does not make it into the job is released here: nothing else holds it.
void AddStepToJob(MemberContext& ctx, RD_JobStruct* iJob, RD_JobStep* iStep) {
    if (iJob == nullptr || iStep == nullptr) return;
    if (iJob->StepCount >= kMaxSteps) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1393, 3084), TRUE,
                                    iStep->FileReference, iStep->fileLine, ctx.run.mode);
        ReleaseDeckItem(iStep);
        return;
    }
    if (!ctx.deck.Add(iStep, iStep->StepName.get())) {
        reportMemoryAllocationError(ctx);
        return;
    }
    ++iJob->StepCount;
    iJob->StepList[iJob->CurrentStepIndex] = iStep;
    ++iJob->CurrentStepIndex;
}

void AddStep(MemberContext& ctx, const char* iStepName, const char* iInvokingStepName,
             SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
             BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel, const char* iRegion,
             const char* iProgramName, const char* iProgramParm, const char* iAllParms) {
    RD_JobStep* step =
        AllocateStep(ctx, iStepName, iInvokingStepName, iFileReference, iFileLine, iEndFileLine,
                     iExpandedFromProcedure, iProcNestingLevel, iRegion, iProgramName, iProgramParm,
                     iAllParms);
    if (step != nullptr) {
        RD_JobStruct* job = ctx.model.currentJob;
        if (job != nullptr)
            AddStepToJob(ctx, job, step);
        else
            ReleaseDeckItem(step); // without a job the step has no home
    }
}

// ---------------------------------------------------------------- DDs of a step

void AddDDToStep(MemberContext& ctx, RD_JobStep* iStep, RD_DDStatement* iDD, const char* iName) {
    if (iStep == nullptr || iDD == nullptr) return;
    // Callers go on using the DD, so one that cannot be listed is left to them.
    if (AddItemToList(iStep->DDStatementList.Handle(), iDD, iName, ctx.run.debug))
        iStep->CurrentDDStatement = iDD;
}

BOOLEAN FindDDForStep(RD_JobStep* iStep, const char* iName, RD_DDStatement** outDD) {
    void* data = nullptr;
    const BOOLEAN found = iStep != nullptr && iName != nullptr &&
                                  FindItemWithKey(iStep->DDStatementList.Handle(), iName, &data)
                              ? TRUE
                              : FALSE;
    if (outDD != nullptr) *outDD = found ? static_cast<RD_DDStatement*>(data) : nullptr;
    return found;
}

RD_DDStatement* QueryStepCurrentDDStatement(MemberContext& ctx, RD_JobStep* iStep) {
    if (iStep == nullptr) return nullptr;
    if (iStep->CurrentDDStatement == nullptr)
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1373, 3072), TRUE,
                                    iStep->FileReference, iStep->fileLine, ctx.run.mode);
    return iStep->CurrentDDStatement;
}

// ---------------------------------------------------------------- OUTPUT statements of a step

BOOLEAN AddOutputToStep(MemberContext& ctx, RD_JobStep* iStep, void* iOutputSpec, const char* iOutputName) {
    if (iStep == nullptr) return FALSE;
    if (!iStep->StepOutputSpecificationList.Create()) return FALSE;
    return AddItemToList(iStep->StepOutputSpecificationList.Handle(), iOutputSpec, iOutputName,
                         ctx.run.debug)
               ? TRUE
               : FALSE;
}

void* QueryStepOutputSpecificationList(RD_JobStep* iStep) {
    return iStep != nullptr ? iStep->StepOutputSpecificationList.Handle() : nullptr;
}

} // namespace kvr
