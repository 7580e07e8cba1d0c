// The walk over a member's expanded deck: jobs are numbered in the member and steps in
// their job; each item becomes import records by run mode. A job's end record is written
// when the next job starts or the walk ends, so every job start has exactly one end.
#include "output/deck_walk.h"

#include "driver/run_settings.h"
#include "model/model_lists.h"
#include "model/output_statements.h"
#include "output/import_records.h"
#include "reader/jcl_statement.h"
#include "rununits/parameter_capture.h"
#include "rununits/run_units.h"

namespace kvr {
namespace {

// The parameter-capture entry of the program of the step walked last; the job-level DDs
// after a step are asked against it.
void* ProgramParmLogHandle = nullptr;

struct WalkSettings {
    BOOLEAN iRc;
    int16_t iNormalizeGDG;
    int16_t iProcessingMode;
    BOOLEAN iFormatXML;
    int32_t debug;
};

bool CaptureStepsPresent() {
    return QueryParmCaptureStepCount() != 0;
}

void ProcessJob(const RD_JobStruct* job, int32_t* jobNbr, int32_t* stepNbr,
                const WalkSettings& walk) {
    *jobNbr += 1;
    if (*jobNbr > 1) KVR_PutJOB_END(walk.iFormatXML);
    KVR_PutJOB_START(job->JobName, walk.iFormatXML);
    if (walk.iProcessingMode == kModeStandard)
        KVR_PutJOB_LINES(job->FileReference, job->fileLine, job->endFileLine, walk.iFormatXML);
    if (walk.iProcessingMode != kModeDravix)
        KVR_PutJOB_PARM(job->statementParms, walk.iProcessingMode, walk.iFormatXML, walk.debug);
    *stepNbr = 0;
}

void ProcessStep(RD_JobStep* step, int32_t* stepNbr, const WalkSettings& walk) {
    *stepNbr += 1;
    ProcessStepRecord(step, *stepNbr, walk.iNormalizeGDG, walk.iProcessingMode, walk.iFormatXML,
                      walk.debug);
    ForEachListItem(step->DDStatementList, walk.debug, [&](void* dd) {
        ProcessDDStatement(step, static_cast<RD_DDStatement*>(dd), walk.iNormalizeGDG,
                           walk.iProcessingMode, walk.iFormatXML, walk.debug);
        return true;
    });
    if (!walk.iFormatXML) return;
    // A Dravix step without capture steps wrote no opening lines, so it gets no closing one.
    if (walk.iProcessingMode != kModeDravix || CaptureStepsPresent()) KVR_PutEndSTEP();
}

void ProcessProcedureStart(const RD_ProcHeader* header, const WalkSettings& walk) {
    if (walk.iProcessingMode == kModeDravix) {
        if (!CaptureStepsPresent()) return;
        KVR_PutPROC(header->FileReference, walk.iProcessingMode, walk.iFormatXML);
        KVR_PutPROC_LINES(header->invokingStepFileReference, header->invokingStepFileLine,
                          header->invokingStepEndFileLine);
    } else if (walk.iProcessingMode == kModeStandard) {
        KVR_PutPROC_PARM(header->allParms, walk.iProcessingMode, walk.iFormatXML, walk.debug);
    }
}

void ProcessStandardOnlyItem(void* item, int16_t type, const WalkSettings& walk) {
    const BOOLEAN xml = walk.iFormatXML;
    if (type >= RD_STRUCT_IF && type <= RD_STRUCT_ENDIF) {
        const auto* record = static_cast<const RD_IfElseEndIf*>(item);
        if (type == RD_STRUCT_IF)
            KVR_PutJCL_IF(record->statementLabel, record->parms, record->FileReference,
                          record->fileLine, record->endFileLine, xml);
        else if (type == RD_STRUCT_ELSE)
            KVR_PutJCL_ELSE(record->statementLabel, record->FileReference, record->fileLine,
                            record->endFileLine, xml);
        else
            KVR_PutJCL_ENDIF(record->statementLabel, record->FileReference, record->fileLine,
                             record->endFileLine, xml);
    } else if (type == RD_STRUCT_COMMENT) {
        const auto* comment = static_cast<const RD_JclComment*>(item);
        KVR_PutJCL_COMMENT(comment->fileLine, comment->sourceText, xml);
    } else if (type == RD_STRUCT_OPC) {
        const auto* directive = static_cast<const RD_Quillo_Opc*>(item);
        KVR_PutQuillo_OPC(directive->fileLine, directive->operation, directive->parameters, xml);
    }
}

void ProcessDeckStructure(int32_t* jobNbr, int32_t* stepNbr, void* item, const WalkSettings& walk) {
    const int16_t type = static_cast<RD_JclCommon*>(item)->structureType;
    if (type == RD_STRUCT_JOB) {
        ProcessJob(static_cast<RD_JobStruct*>(item), jobNbr, stepNbr, walk);
        return;
    }
    if (!walk.iRc) return; // a failed expansion keeps only the jobs' own records
    switch (type) {
    case RD_STRUCT_JOBCAT:
    case RD_STRUCT_JOBLIB:
    case RD_STRUCT_PROCLIB:
        ProcessDDStatement(nullptr, static_cast<RD_DDStatement*>(item), walk.iNormalizeGDG,
                           walk.iProcessingMode, walk.iFormatXML, walk.debug);
        break;
    case RD_STRUCT_STEP:
        ProcessStep(static_cast<RD_JobStep*>(item), stepNbr, walk);
        break;
    case RD_STRUCT_PROC_START:
        ProcessProcedureStart(static_cast<RD_ProcHeader*>(item), walk);
        break;
    case RD_STRUCT_PROC_END:
        if (walk.iProcessingMode == kModeDravix && CaptureStepsPresent()) KVR_PutPROCEND();
        break;
    default:
        if (walk.iProcessingMode == kModeStandard) ProcessStandardOnlyItem(item, type, walk);
        break;
    }
}

} // namespace

void ResetDeckWalk() {
    ProgramParmLogHandle = nullptr;
}

void NavigateExpandedDeck(void* arrayJclDeck, BOOLEAN iRc, int16_t iNormalizeGDG,
                          int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug) {
    if (QueryCurrentJob() == nullptr) {
        ReportMissingJobCard(iProcessingMode);
        return;
    }
    const WalkSettings walk{iRc, iNormalizeGDG, iProcessingMode, iFormatXML, debug};
    int32_t jobNbr = 0;
    int32_t stepNbr = 0;
    if (!ForEachListItem(arrayJclDeck, debug, [&](void* item) {
            ProcessDeckStructure(&jobNbr, &stepNbr, item, walk);
            return true;
        }))
        reportMemoryAllocationError(iProcessingMode);
    if (jobNbr > 0) KVR_PutJOB_END(iFormatXML);
}

void ProcessStepRecord(RD_JobStep* iStep, int32_t iStepNbr, int16_t iNormalizeGDG,
                       int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug) {
    CheckProgramForParmLogging(iStep->ExecutableName, &ProgramParmLogHandle);
    // A step from a procedure is known by the invoking step's name; its own name is the
    // procedure step name.
    const char* stepName = iStep->ExpandedFromProcedure ? iStep->InvokingStepName : iStep->StepName;
    const char* procStepName =
        iStep->ExpandedFromProcedure ? iStep->StepName : iStep->InvokingStepName;
    if (iProcessingMode == kModeDravix) {
        if (CaptureStepsPresent())
            KVR_PutSTEP(iStepNbr, iStep, stepName, procStepName, iProcessingMode, iFormatXML,
                        debug);
        return;
    }
    KVR_PutPROC(iStep->FileReference, iProcessingMode, iFormatXML);
    KVR_PutSTEP(iStepNbr, iStep, stepName, procStepName, iProcessingMode, iFormatXML, debug);
    ProcessRunUnit(iStep->ExecutableName, iStep->ExecutableParms, iStep, iNormalizeGDG,
                   iProcessingMode, iFormatXML, debug);
}

void ProcessDDStatement(RD_JobStep* iStep, RD_DDStatement* DDStmt, int16_t iNormalizeGDG,
                        int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug) {
    if (iProcessingMode == kModeDravix && (iStep == nullptr || !CaptureStepsPresent())) return;
    const char* name = DDStmt->DDName;
    const BOOLEAN logFlag = CheckDDForParmLogging(ProgramParmLogHandle, name);
    int32_t sequence = 0;
    ForEachListItem(DDStmt->ConcatList, debug, [&](void* element) {
        auto* entry = static_cast<RD_DatasetConcatenation*>(element);
        ++sequence;
        if (sequence == 1 || !iFormatXML) KVR_PutDD_start(name, iFormatXML);
        const char* parms = ProcessOutputSpecs(iStep, entry->Parms, iProcessingMode, debug);
        KVR_PutDD(name, entry->FileReference, entry->fileLine, entry->endFileLine, sequence,
                  entry->hasDUMMY, entry->DatasetName, entry->Status, entry->Disposition, parms,
                  entry->inStreamData, logFlag, entry, "", iNormalizeGDG, iProcessingMode,
                  iFormatXML, debug);
        if (!iFormatXML) KVR_PutDD_end(name, iFormatXML);
        return !entry->hasDUMMY; // what follows a DUMMY element is not written
    });
    // A DD without elements has no records at all.
    if (iFormatXML && sequence > 0) KVR_PutDD_end(name, iFormatXML);
}

void ReportMissingJobCard(int16_t iProcessingMode) {
    const uint32_t number = MessageFor(iProcessingMode, 1375, 3073);
    KVRWriteMessage(number);
    KVR_Write_MSG_Record("JCL", MsgProgramId(iProcessingMode), static_cast<int32_t>(number));
}

} // namespace kvr
