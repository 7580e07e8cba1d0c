// Steps of the job: one record per EXEC statement, held in the job's fixed step table and
// in the deck, with the step's DD statements (keyed by DD name, in statement order) and
// the OUTPUT statements that follow it. A step owns its DDs and OUTPUT statements.
#include "model/job_model.h"

#include <cstring>

#include "driver/run_settings.h"
#include "model/model_lists.h"
#include "model/output_statements.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {

void FreeOwnedDD(void* data, int32_t debug) {
    auto* dd = static_cast<RD_DDStatement*>(data);
    FreeDDStatement(dd, debug);
    FreeBlockWithDebug(dd, "FreeDD", debug);
}

} // namespace

RD_JobStep* AllocateStep(const char* iStepName, const char* iInvokingStepName,
                         SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
                         BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel,
                         const char* iRegion, const char* iProgramName, const char* iProgramParm,
                         const char* iAllParms, int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_JobStep), "AllocateStep", debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return nullptr;
    }
    auto* step = static_cast<RD_JobStep*>(block);
    std::memset(step, 0, sizeof(RD_JobStep));
    if (!CreateList(&step->DDStatementList, debug)) {
        FreeBlockWithDebug(step, "AllocateStep", debug);
        reportMemoryAllocationError(iProcessingMode);
        return nullptr;
    }
    step->structureType = RD_STRUCT_STEP;
    step->StepName = CloneString(TextOrEmpty(iStepName), debug);
    step->InvokingStepName = CloneString(TextOrEmpty(iInvokingStepName), debug);
    step->FileReference = iFileReference;
    step->fileLine = iFileLine;
    step->endFileLine = iEndFileLine;
    step->ExpandedFromProcedure = iExpandedFromProcedure;
    step->procNestingLevel = iProcNestingLevel;
    step->RegionSize = CloneString(TextOrEmpty(iRegion), debug);
    step->ExecutableName = CloneString(TextOrEmpty(iProgramName), debug);
    step->ExecutableParms = CloneString(TextOrEmpty(iProgramParm), debug);
    step->AllParms = CloneString(TextOrEmpty(iAllParms), debug);
    return step;
}

// A step that does not make it into the job is released here: nothing else holds it.
void AddStepToJob(void* arrayJclDeck, RD_JobStruct* iJob, RD_JobStep* iStep,
                  int16_t iProcessingMode, int32_t debug) {
    if (iJob == nullptr || iStep == nullptr) return;
    if (iJob->StepCount >= kMaxSteps) {
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1393, 3084), TRUE,
                                    iStep->FileReference, iStep->fileLine, iProcessingMode);
        FreeStep(iStep, debug);
        return;
    }
    if (!AddItemToList(arrayJclDeck, iStep, iStep->StepName, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        FreeStep(iStep, debug);
        return;
    }
    ++iJob->StepCount;
    iJob->StepList[iJob->CurrentStepIndex] = iStep;
    ++iJob->CurrentStepIndex;
}

void AddStep(void* arrayJclDeck, const char* iStepName, const char* iInvokingStepName,
             SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
             BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel, const char* iRegion,
             const char* iProgramName, const char* iProgramParm, const char* iAllParms,
             int16_t iProcessingMode, int32_t debug) {
    RD_JobStep* step =
        AllocateStep(iStepName, iInvokingStepName, iFileReference, iFileLine, iEndFileLine,
                     iExpandedFromProcedure, iProcNestingLevel, iRegion, iProgramName, iProgramParm,
                     iAllParms, iProcessingMode, debug);
    if (step != nullptr) {
        RD_JobStruct* job = QueryCurrentJob();
        if (job != nullptr)
            AddStepToJob(arrayJclDeck, job, step, iProcessingMode, debug);
        else
            FreeStep(step, debug); // without a job the step has no home
    }
    // Counted job or not: Dravix mode writes steps only when some step runs a selected program.
    void* node = nullptr;
    if (CheckProgramForParmLogging(iProgramName, &node)) IncrementParmCaptureStepCount();
}

void FreeStep(RD_JobStep* iStep, int32_t debug) {
    if (iStep == nullptr) return;
    FreeString(iStep->StepName, debug);
    FreeString(iStep->InvokingStepName, debug);
    FreeString(iStep->RegionSize, debug);
    FreeString(iStep->ExecutableName, debug);
    FreeString(iStep->ExecutableParms, debug);
    FreeString(iStep->AllParms, debug);
    DrainList(iStep->DDStatementList, FreeOwnedDD, "FreeStep", debug);
    FreeOutputSpecificationList(iStep->StepOutputSpecificationList, debug);
    FreeBlockWithDebug(iStep, "FreeStep", debug);
}

// ---------------------------------------------------------------- DDs of a step

void AddDDToStep(RD_JobStep* iStep, RD_DDStatement* iDD, const char* iName, int32_t debug) {
    if (iStep == nullptr || iDD == nullptr) return;
    // Callers go on using the DD, so one that cannot be listed is left to them.
    if (AddItemToList(iStep->DDStatementList, iDD, iName, debug)) iStep->CurrentDDStatement = iDD;
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

RD_DDStatement* QueryStepCurrentDDStatement(RD_JobStep* iStep, int16_t iProcessingMode) {
    if (iStep == nullptr) return nullptr;
    if (iStep->CurrentDDStatement == nullptr)
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1373, 3072), TRUE,
                                    iStep->FileReference, iStep->fileLine, iProcessingMode);
    return iStep->CurrentDDStatement;
}

// ---------------------------------------------------------------- OUTPUT statements of a step

BOOLEAN AddOutputToStep(RD_JobStep* iStep, void* iOutputSpec, const char* iOutputName,
                        int32_t debug) {
    if (iStep == nullptr) return FALSE;
    if (iStep->StepOutputSpecificationList == nullptr &&
        !CreateList(&iStep->StepOutputSpecificationList, debug))
        return FALSE;
    return AddItemToList(iStep->StepOutputSpecificationList, iOutputSpec, iOutputName, debug)
               ? TRUE
               : FALSE;
}

void* QueryStepOutputSpecificationList(RD_JobStep* iStep) {
    return iStep != nullptr ? iStep->StepOutputSpecificationList : nullptr;
}

} // namespace kvr
