// Step cursors: positions in a job's step table (counting from 1) used to find the steps
// that referbacks and override statements name. A cursor remembers the procedure nesting
// level it was made at, so moves can stay among the steps of that one procedure.
#include <cstring>

#include "model/job_model.h"
#include "base/contexts.h"
#include "model/model_lists.h"

namespace kvr {
namespace {

RD_StepCursor* NewCursor(MemberContext& ctx, RD_JobStruct* job, int32_t position, int32_t level,
                         const char* tag) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_StepCursor), tag, ctx.run.debug)) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    auto* cursor = static_cast<RD_StepCursor*>(block);
    cursor->Job = job;
    cursor->StepNumber = position;
    cursor->procNestingLevel = level;
    cursor->OriginalStepNumber = position;
    return cursor;
}

int32_t StepCountOf(const RD_StepCursor* cursor) {
    return cursor->Job != nullptr ? cursor->Job->StepCount : 0;
}

// A step the cursor may stop on: any step, or only those of the cursor's nesting level.
bool Qualifies(const RD_StepCursor* cursor, BOOLEAN thisProcOnly) {
    return !thisProcOnly || cursor->Job->StepList[cursor->StepNumber - 1]->procNestingLevel ==
                                cursor->procNestingLevel;
}

bool SameText(const char* a, const char* b) {
    return std::strcmp(TextOrEmpty(a), TextOrEmpty(b)) == 0;
}

// Whether the step answers a search: by step name alone, or by procedure step name within
// the procedure called by the named step.
bool Matches(const RD_JobStep* step, const char* stepName, const char* procStepName) {
    if (procStepName == nullptr) return SameText(step->StepName.get(), stepName);
    return SameText(step->StepName.get(), procStepName) &&
           SameText(step->InvokingStepName.get(), stepName);
}

} // namespace

RD_StepCursor* CreateStepCursorForJob(MemberContext& ctx, RD_JobStruct* iJob) {
    if (iJob == nullptr) return nullptr;
    return NewCursor(ctx, iJob, iJob->StepCount, iJob->procNestingLevel,
                     "CreateStepCursorForJob");
}

RD_StepCursor* GetStepCursor(MemberContext& ctx) {
    return CreateStepCursorForJob(ctx, ctx.model.currentJob);
}

RD_StepCursor* DuplicateStepCursor(MemberContext& ctx, RD_StepCursor* iCursor) {
    if (iCursor == nullptr) return nullptr;
    // The copy is created where the original stands now: that is its original position.
    return NewCursor(ctx, iCursor->Job, iCursor->StepNumber, iCursor->procNestingLevel,
                     "DuplicateStepCursor");
}

void DeleteStepCursor(RD_StepCursor* iCursor) {
    FreeBlockWithDebug(iCursor, "DeleteStepCursor", BlockTraceLevel());
}

RD_JobStep* QueryStepCursor(RD_StepCursor* iCursor) {
    if (iCursor == nullptr || iCursor->StepNumber < 1 || iCursor->StepNumber > StepCountOf(iCursor))
        return nullptr;
    return iCursor->Job->StepList[iCursor->StepNumber - 1];
}

// The cursor stops at StepCount + 1 at the farthest, so repeated moves stay bounded.
void AdvanceStepCursor(RD_StepCursor* iCursor, BOOLEAN thisProcOnly) {
    if (iCursor == nullptr) return;
    const int32_t count = StepCountOf(iCursor);
    if (iCursor->StepNumber > count) {
        iCursor->StepNumber = count + 1;
        return;
    }
    iCursor->StepNumber = iCursor->StepNumber < 0 ? 1 : iCursor->StepNumber + 1;
    while (iCursor->StepNumber <= count && !Qualifies(iCursor, thisProcOnly))
        ++iCursor->StepNumber;
}

// The cursor stops at 0 at the farthest.
void DeclineStepCursor(RD_StepCursor* iCursor, BOOLEAN thisProcOnly) {
    if (iCursor == nullptr) return;
    const int32_t count = StepCountOf(iCursor);
    if (iCursor->StepNumber < 1) {
        iCursor->StepNumber = 0;
        return;
    }
    iCursor->StepNumber = iCursor->StepNumber > count + 1 ? count : iCursor->StepNumber - 1;
    while (iCursor->StepNumber >= 1 && !Qualifies(iCursor, thisProcOnly))
        --iCursor->StepNumber;
}

BOOLEAN AdvanceCursorToStep(RD_StepCursor* iCursor, const char* iStepName,
                            const char* iProcStepName, BOOLEAN thisProcOnly) {
    // A search by step name alone visits only the steps of the cursor's own level.
    const BOOLEAN restrict = iProcStepName == nullptr ? TRUE : thisProcOnly;
    for (RD_JobStep* step = QueryStepCursor(iCursor); step != nullptr;
         step = QueryStepCursor(iCursor)) {
        if (Matches(step, iStepName, iProcStepName)) return TRUE;
        AdvanceStepCursor(iCursor, restrict);
    }
    return FALSE;
}

BOOLEAN DeclineCursorToStep(RD_StepCursor* iCursor, const char* iStepName,
                            const char* iProcStepName) {
    const BOOLEAN restrict = iProcStepName == nullptr ? TRUE : FALSE;
    for (RD_JobStep* step = QueryStepCursor(iCursor); step != nullptr;
         step = QueryStepCursor(iCursor)) {
        if (Matches(step, iStepName, iProcStepName)) return TRUE;
        DeclineStepCursor(iCursor, restrict);
    }
    return FALSE;
}

} // namespace kvr
