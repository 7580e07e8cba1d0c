// Steps of the job: one record per EXEC statement, held in the job's fixed step table and
// in the deck, with the step's DD statements (keyed by DD name, in statement order) and
// the OUTPUT statements that follow it. A step owns its DDs and OUTPUT statements.
#include "model/job_model.h"
#include "base/contexts.h"

#include <cstring>

#include "model/model_lists.h"
#include "model/output_statements.h"

namespace kvr {
namespace {

void FreeOwnedDD(void* data) {
    auto* dd = static_cast<RD_DDStatement*>(data);
    FreeDDStatement(dd);
    FreeBlockWithDebug(dd, "FreeDD", BlockTraceLevel());
}

} // namespace

RD_JobStep* AllocateStep(MemberContext& ctx, const char* iStepName, const char* iInvokingStepName,
                         SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
                         BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel,
                         const char* iRegion, const char* iProgramName, const char* iProgramParm,
                         const char* iAllParms) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_JobStep), "AllocateStep", ctx.run.debug)) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    auto* step = static_cast<RD_JobStep*>(block);
    std::memset(step, 0, sizeof(RD_JobStep));
    if (!CreateList(&step->DDStatementList, ctx.run.debug)) {
        FreeBlockWithDebug(step, "AllocateStep", ctx.run.debug);
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    step->structureType = RD_STRUCT_STEP;
    step->StepName = CloneString(TextOrEmpty(iStepName), ctx.run.debug);
    step->InvokingStepName = CloneString(TextOrEmpty(iInvokingStepName), ctx.run.debug);
    step->FileReference = iFileReference;
    step->fileLine = iFileLine;
    step->endFileLine = iEndFileLine;
    step->ExpandedFromProcedure = iExpandedFromProcedure;
    step->procNestingLevel = iProcNestingLevel;
    step->RegionSize = CloneString(TextOrEmpty(iRegion), ctx.run.debug);
    step->ExecutableName = CloneString(TextOrEmpty(iProgramName), ctx.run.debug);
    step->ExecutableParms = CloneString(TextOrEmpty(iProgramParm), ctx.run.debug);
    step->AllParms = CloneString(TextOrEmpty(iAllParms), ctx.run.debug);
    return step;
}

// A step that does not make it into the job is released here: nothing else holds it.
void AddStepToJob(MemberContext& ctx, RD_JobStruct* iJob, RD_JobStep* iStep) {
    if (iJob == nullptr || iStep == nullptr) return;
    if (iJob->StepCount >= kMaxSteps) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1393, 3084), TRUE,
                                    iStep->FileReference, iStep->fileLine, ctx.run.mode);
        FreeStep(iStep);
        return;
    }
    if (!AddItemToList(ctx.deck.Handle(), iStep, iStep->StepName, ctx.run.debug)) {
        reportMemoryAllocationError(ctx);
        FreeStep(iStep);
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
            FreeStep(step); // without a job the step has no home
    }
}

void FreeStep(RD_JobStep* iStep) {
    if (iStep == nullptr) return;
    FreeString(iStep->StepName, BlockTraceLevel());
    FreeString(iStep->InvokingStepName, BlockTraceLevel());
    FreeString(iStep->RegionSize, BlockTraceLevel());
    FreeString(iStep->ExecutableName, BlockTraceLevel());
    FreeString(iStep->ExecutableParms, BlockTraceLevel());
    FreeString(iStep->AllParms, BlockTraceLevel());
    DrainList(iStep->DDStatementList, FreeOwnedDD, "FreeStep");
    FreeOutputSpecificationList(iStep->StepOutputSpecificationList);
    FreeBlockWithDebug(iStep, "FreeStep", BlockTraceLevel());
}

// ---------------------------------------------------------------- DDs of a step

void AddDDToStep(MemberContext& ctx, RD_JobStep* iStep, RD_DDStatement* iDD, const char* iName) {
    if (iStep == nullptr || iDD == nullptr) return;
    // Callers go on using the DD, so one that cannot be listed is left to them.
    if (AddItemToList(iStep->DDStatementList, iDD, iName, ctx.run.debug)) iStep->CurrentDDStatement = iDD;
}

BOOLEAN FindDDForStep(RD_JobStep* iStep, const char* iName, RD_DDStatement** outDD) {
    void* data = nullptr;
    const BOOLEAN found = iStep != nullptr && iName != nullptr &&
                                  FindItemWithKey(iStep->DDStatementList, iName, &data)
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
    if (iStep->StepOutputSpecificationList == nullptr &&
        !CreateList(&iStep->StepOutputSpecificationList, ctx.run.debug))
        return FALSE;
    return AddItemToList(iStep->StepOutputSpecificationList, iOutputSpec, iOutputName, ctx.run.debug)
               ? TRUE
               : FALSE;
}

void* QueryStepOutputSpecificationList(RD_JobStep* iStep) {
    return iStep != nullptr ? iStep->StepOutputSpecificationList : nullptr;
}

} // namespace kvr
