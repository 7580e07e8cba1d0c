// The walk over a member's expanded deck: jobs are numbered in the member and steps in
// their job; each item becomes import records by run mode. A job's end record is written
// when the next job starts or the walk ends, so every job start has exactly one end.
#include "output/deck_walk.h"

#include "base/diagnostics.h"

#include "model/model_lists.h"
#include "model/output_statements.h"
#include "output/import_records.h"
#include "reader/jcl_statement.h"
#include "rununits/parameter_capture.h"
#include "rununits/run_units.h"

namespace kvr {
namespace {

struct WalkSettings {
    BOOLEAN iRc; // the member was expanded to its end
};

bool CaptureStepsPresent(MemberContext& ctx) {
    return ctx.model.captureSteps != 0;
}

void ProcessJob(MemberContext& ctx, const RD_JobStruct* job, int32_t* jobNbr, int32_t* stepNbr,
                const WalkSettings& walk) {
    *jobNbr += 1;
    if (*jobNbr > 1) KVR_PutJOB_END(ctx);
    KVR_PutJOB_START(ctx, job->JobName.get());
    if (ctx.run.mode == kModeStandard)
        KVR_PutJOB_LINES(ctx, job->FileReference, job->fileLine, job->endFileLine);
    if (ctx.run.mode != kModeDravix) KVR_PutJOB_PARM(ctx, job->statementParms.get());
    *stepNbr = 0;
}

void ProcessStep(MemberContext& ctx, RD_JobStep* step, int32_t* stepNbr, const WalkSettings& walk) {
    *stepNbr += 1;
    ProcessStepRecord(ctx, step, *stepNbr);
    ForEachListItem(ctx, step->DDStatementList.Handle(), [&](void* dd) {
        ProcessDDStatement(ctx, step, static_cast<RD_DDStatement*>(dd));
        return true;
    });
    if (!ctx.run.formatXML) return;
    // A Dravix step without capture steps wrote no opening lines, so it gets no closing one.
    if (ctx.run.mode != kModeDravix || CaptureStepsPresent(ctx)) KVR_PutEndSTEP(ctx);
}

void ProcessProcedureStart(MemberContext& ctx, const RD_ProcHeader* header, const WalkSettings& walk) {
    if (ctx.run.mode == kModeDravix) {
        if (!CaptureStepsPresent(ctx)) return;
        KVR_PutPROC(ctx, header->FileReference);
        KVR_PutPROC_LINES(ctx, header->invokingStepFileReference, header->invokingStepFileLine,
                          header->invokingStepEndFileLine);
    } else if (ctx.run.mode == kModeStandard) {
        KVR_PutPROC_PARM(ctx, header->allParms.get());
    }
}

void ProcessStandardOnlyItem(MemberContext& ctx, void* item, int16_t type, const WalkSettings& walk) {
    const BOOLEAN xml = ctx.run.formatXML;
    if (type >= RD_STRUCT_IF && type <= RD_STRUCT_ENDIF) {
        const auto* record = static_cast<const RD_IfElseEndIf*>(item);
        if (type == RD_STRUCT_IF)
            KVR_PutJCL_IF(ctx, record->statementLabel.get(), record->parms.get(),
                          record->FileReference, record->fileLine, record->endFileLine);
        else if (type == RD_STRUCT_ELSE)
            KVR_PutJCL_ELSE(ctx, record->statementLabel.get(), record->FileReference,
                            record->fileLine, record->endFileLine);
        else
            KVR_PutJCL_ENDIF(ctx, record->statementLabel.get(), record->FileReference,
                             record->fileLine, record->endFileLine);
    } else if (type == RD_STRUCT_COMMENT) {
        const auto* comment = static_cast<const RD_JclComment*>(item);
        KVR_PutJCL_COMMENT(ctx, comment->fileLine, comment->sourceText.get());
    } else if (type == RD_STRUCT_OPC) {
        const auto* directive = static_cast<const RD_Quillo_Opc*>(item);
        KVR_PutQuillo_OPC(ctx, directive->fileLine, directive->operation.get(),
                          directive->parameters.get());
    }
}

void ProcessDeckStructure(MemberContext& ctx, int32_t* jobNbr, int32_t* stepNbr, void* item, const WalkSettings& walk) {
    const int16_t type = static_cast<RD_JclCommon*>(item)->structureType;
    if (type == RD_STRUCT_JOB) {
        ProcessJob(ctx, static_cast<RD_JobStruct*>(item), jobNbr, stepNbr, walk);
        return;
    }
    if (!walk.iRc) return; // a failed expansion keeps only the jobs' own records
    switch (type) {
    case RD_STRUCT_JOBCAT:
    case RD_STRUCT_JOBLIB:
    case RD_STRUCT_PROCLIB:
        ProcessDDStatement(ctx, nullptr, static_cast<RD_DDStatement*>(item));
        break;
    case RD_STRUCT_STEP:
        ProcessStep(ctx, static_cast<RD_JobStep*>(item), stepNbr, walk);
        break;
    case RD_STRUCT_PROC_START:
        ProcessProcedureStart(ctx, static_cast<RD_ProcHeader*>(item), walk);
        break;
    case RD_STRUCT_PROC_END:
        if (ctx.run.mode == kModeDravix && CaptureStepsPresent(ctx)) KVR_PutPROCEND(ctx);
        break;
    default:
        if (ctx.run.mode == kModeStandard) ProcessStandardOnlyItem(ctx, item, type, walk);
        break;
    }
}

} // namespace

void NavigateExpandedDeck(MemberContext& ctx, BOOLEAN iRc) {
    if (ctx.model.currentJob == nullptr) {
        ReportMissingJobCard(ctx);
        return;
    }
    const WalkSettings walk{iRc};
    int32_t jobNbr = 0;
    int32_t stepNbr = 0;
    if (!ForEachListItem(ctx, ctx.deck.Handle(), [&](void* item) {
            ProcessDeckStructure(ctx, &jobNbr, &stepNbr, item, walk);
            return true;
        }))
        reportMemoryAllocationError(ctx);
    if (jobNbr > 0) KVR_PutJOB_END(ctx);
}

void ProcessStepRecord(MemberContext& ctx, RD_JobStep* iStep, int32_t iStepNbr) {
    // The job-level DDs after the step are asked against the capture entry of its program.
    CheckProgramForParmLogging(ctx.run, iStep->ExecutableName.get(), &ctx.output.captureEntry);
    // A step from a procedure is known by the invoking step's name; its own name is the
    // procedure step name.
    const char* stepName =
        iStep->ExpandedFromProcedure ? iStep->InvokingStepName.get() : iStep->StepName.get();
    const char* procStepName =
        iStep->ExpandedFromProcedure ? iStep->StepName.get() : iStep->InvokingStepName.get();
    if (ctx.run.mode == kModeDravix) {
        if (CaptureStepsPresent(ctx))
            KVR_PutSTEP(ctx, iStepNbr, iStep, stepName, procStepName);
        return;
    }
    KVR_PutPROC(ctx, iStep->FileReference);
    KVR_PutSTEP(ctx, iStepNbr, iStep, stepName, procStepName);
    PutStepRunUnit(ctx, iStep);
}

void ProcessDDStatement(MemberContext& ctx, RD_JobStep* iStep, RD_DDStatement* DDStmt) {
    if (ctx.run.mode == kModeDravix && (iStep == nullptr || !CaptureStepsPresent(ctx))) return;
    const char* name = DDStmt->DDName.get();
    const BOOLEAN logFlag = CheckDDForParmLogging(ctx.output.captureEntry, name);
    int32_t sequence = 0;
    ForEachListItem(ctx, DDStmt->ConcatList.Handle(), [&](void* element) {
        auto* entry = static_cast<RD_DatasetConcatenation*>(element);
        ++sequence;
        if (sequence == 1 || !ctx.run.formatXML) KVR_PutDD_start(ctx, name);
        const char* parms = ProcessOutputSpecs(ctx, iStep, entry->Parms.get());
        KVR_PutDD(ctx, name, entry->FileReference, entry->fileLine, entry->endFileLine, sequence,
                  entry->hasDUMMY, entry->DatasetName.get(), entry->Status.get(),
                  entry->Disposition.get(), parms, entry->inStreamData.get(), logFlag, entry, "");
        if (!ctx.run.formatXML) KVR_PutDD_end(ctx, name);
        return !entry->hasDUMMY; // what follows a DUMMY element is not written
    });
    // A DD without elements has no records at all.
    if (ctx.run.formatXML && sequence > 0) KVR_PutDD_end(ctx, name);
}

void ReportMissingJobCard(MemberContext& ctx) {
    ReportWithoutPosition(ctx, MessageFor(ctx, 1375, 3073));
}

} // namespace kvr
