// The job under construction and its job-level records: the JOB statement itself, the
// IF/ELSE/ENDIF records with their nesting depth, the procedure nesting level, the
// JOBCAT/JOBLIB/PROCLIB DDs and the OUTPUT statements met before the first step. The thin
// current-job operations are what the statement processors call.
#include "model/job_model.h"

#include <algorithm>
#include <cstring>

#include "driver/run_settings.h"
#include "model/model_lists.h"

namespace kvr {
namespace {

RD_JobStruct* CurrentJob = nullptr;
int32_t ParmCaptureStepCt = 0;

constexpr int32_t kMaxIfNesting = 16;
constexpr int32_t kMaxProcNesting = 16;

// Deck items that nothing looks up by key share this one.
const char kNoKey[] = "";

// The text after the first "=" of a whole keyword parameter such as CLASS=A.
const char* ValueOf(const char* keywordParm) {
    const char* equals = std::strchr(keywordParm, '=');
    return equals != nullptr ? equals + 1 : "";
}

void FillFromStatement(RD_JobStruct* job, JCLStatement* stmt, int16_t mode, int32_t debug) {
    job->JobName = CloneString(stmt->StatementLabel, debug);
    job->FileReference = stmt->FileReference;
    job->fileLine = stmt->fileLine;
    job->endFileLine = stmt->endFileLine;
    char* parm = nullptr;
    job->JobClass = CloneString(
        JCLStatementKeywordParm(stmt, "CLASS", &parm, mode, debug) ? ValueOf(parm) : "", debug);
    parm = nullptr;
    job->JobAccountingData =
        CloneString(JCLStatementPositionalParm(stmt, 1, &parm, mode, debug) ? parm : "", debug);
    char* text = nullptr;
    job->statementParms = CloneString(JCLStatementParmText(stmt, &text) ? text : "", debug);
}

void FillWithoutStatement(RD_JobStruct* job, int32_t debug) {
    job->JobName = CloneString("DUMMYJC", debug);
    job->FileReference = 0;
    job->fileLine = 0;
    job->endFileLine = 0;
    job->JobClass = CloneString("", debug);
    job->JobAccountingData = CloneString("", debug);
    job->statementParms = CloneString("", debug);
}

// An IF, ELSE or ENDIF record with the statement's label and location.
RD_IfElseEndIf* MakeIfRecord(RD_StructureType type, JCLStatement* stmt, const char* condition,
                             const char* tag, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_IfElseEndIf), tag, debug)) return nullptr;
    auto* record = static_cast<RD_IfElseEndIf*>(block);
    record->structureType = type;
    record->statementLabel = CloneString(stmt != nullptr ? stmt->StatementLabel : "", debug);
    record->parms = condition != nullptr ? CloneString(condition, debug) : nullptr;
    record->FileReference = stmt != nullptr ? stmt->FileReference : -1;
    record->fileLine = stmt != nullptr ? stmt->fileLine : 0;
    record->endFileLine = stmt != nullptr ? stmt->endFileLine : 0;
    return record;
}

void FreeIfRecord(RD_IfElseEndIf* record, const char* tag, int32_t debug) {
    FreeString(record->statementLabel, debug);
    FreeString(record->parms, debug);
    FreeBlockWithDebug(record, tag, debug);
}

// Appends an IF/ELSE/ENDIF record to the deck; a failure ends the operation silently.
void AppendIfRecord(void* deck, RD_IfElseEndIf* record, const char* tag, int32_t debug) {
    if (record == nullptr) return;
    if (!AddItemToList(deck, record, kNoKey, debug)) FreeIfRecord(record, tag, debug);
}

void ReportAtJob(const RD_JobStruct* job, uint32_t message, int16_t mode) {
    KVRWriteMessageWithFileLine(message, TRUE, job->FileReference, job->fileLine, mode);
}

// Gives the DD its job-level code, puts it in the deck and makes it the DD that an unnamed
// statement continues. A DD that cannot be put in the deck is released.
void SetJobLevelDD(void* deck, RD_JobStruct* job, RD_DDStatement* dd, RD_StructureType type,
                   int16_t mode, int32_t debug) {
    if (job == nullptr || dd == nullptr) return;
    dd->structureType = type;
    if (!AddItemToList(deck, dd, dd->DDName, debug)) {
        reportMemoryAllocationError(mode);
        FreeDDStatement(dd, debug);
        FreeBlockWithDebug(dd, "FreeDD", debug);
        return;
    }
    job->CurrentDDStatement = dd;
}

} // namespace

// ---------------------------------------------------------------- module state

void KVR4007_InitializeFields() {
    CurrentJob = nullptr;
    ParmCaptureStepCt = 0;
}

RD_JobStruct* QueryCurrentJob() {
    return CurrentJob;
}
int32_t QueryParmCaptureStepCount() {
    return ParmCaptureStepCt;
}
void IncrementParmCaptureStepCount() {
    ++ParmCaptureStepCt;
}

// ---------------------------------------------------------------- the job

RD_JobStruct* AllocateCurrentJob(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_JobStruct), "AllocateCurrentJob", debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return nullptr;
    }
    auto* job = static_cast<RD_JobStruct*>(block);
    std::memset(job, 0, sizeof(RD_JobStruct));
    job->structureType = RD_STRUCT_JOB;
    if (iStmt != nullptr)
        FillFromStatement(job, iStmt, iProcessingMode, debug);
    else
        FillWithoutStatement(job, debug);
    job->HasJCLLIB = FALSE;
    return job;
}

void ProcessJobCard(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode,
                    BOOLEAN /*iFormatXML*/, int32_t debug) {
    RD_JobStruct* job = AllocateCurrentJob(iStmt, iProcessingMode, debug);
    if (job == nullptr) return;
    if (!AddItemToList(arrayJclDeck, job, job->JobName, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        FreeJobStruct(job, debug);
        return;
    }
    CurrentJob = job;
}

void FreeJobStruct(RD_JobStruct* iJob, int32_t debug) {
    CurrentJob = nullptr;
    if (iJob == nullptr) return;
    FreeString(iJob->JobName, debug);
    FreeString(iJob->JobClass, debug);
    FreeString(iJob->JobAccountingData, debug);
    FreeString(iJob->statementParms, debug);
    FreeOutputSpecificationList(iJob->JobOutputSpecificationList, debug);
    FreeBlockWithDebug(iJob, "FreeJobStruct", debug);
}

RD_JobStep* QueryCurrentStep(RD_JobStruct* iJob) {
    if (iJob == nullptr || iJob->CurrentStepIndex <= 0) return nullptr;
    return iJob->StepList[iJob->CurrentStepIndex - 1];
}

int32_t QueryStepCount(RD_JobStruct* iJob) {
    return iJob != nullptr ? iJob->StepCount : 0;
}
int32_t QueryIfNestingForJob(RD_JobStruct* iJob) {
    return iJob != nullptr ? iJob->IfNesting : 0;
}
int32_t QueryProcNestingLevelForJob(RD_JobStruct* iJob) {
    return iJob != nullptr ? iJob->procNestingLevel : 0;
}
void* QueryJobOutputSpecificationList(RD_JobStruct* iJob) {
    return iJob != nullptr ? iJob->JobOutputSpecificationList : nullptr;
}

// ---------------------------------------------------------------- IF, ELSE, ENDIF

void AddIfToJob(void* arrayJclDeck, RD_JobStruct* iJob, JCLStatement* iStmt,
                int16_t iProcessingMode, int32_t debug) {
    if (iJob == nullptr) return;
    ++iJob->IfStmtCount;
    ++iJob->IfNesting;
    iJob->MaxIfNesting = std::max(iJob->MaxIfNesting, iJob->IfNesting);
    if (iJob->IfNesting > kMaxIfNesting) {
        // The depth stays counted so that the matching ENDIF closes this level again.
        ReportAtJob(iJob, MessageFor(iProcessingMode, 1363, 3065), iProcessingMode);
        return;
    }
    char* condition = nullptr;
    if (iStmt == nullptr || !JCLStatementParmText(iStmt, &condition)) condition = nullptr;
    AppendIfRecord(arrayJclDeck,
                   MakeIfRecord(RD_STRUCT_IF, iStmt, TextOrEmpty(condition), "AddIfToJob", debug),
                   "FreeIfElseEndIf 9", debug);
}

void AddElseToJob(void* arrayJclDeck, RD_JobStruct* iJob, JCLStatement* iStmt, int32_t debug) {
    if (iJob == nullptr) return;
    ++iJob->ElseStmtCount;
    AppendIfRecord(arrayJclDeck,
                   MakeIfRecord(RD_STRUCT_ELSE, iStmt, nullptr, "AddElseToJob", debug),
                   "FreeIfElseEndIf 10", debug);
}

void AddEndIfToJob(void* arrayJclDeck, RD_JobStruct* iJob, JCLStatement* iStmt,
                   int16_t iProcessingMode, int32_t debug) {
    if (iJob == nullptr) return;
    ++iJob->EndifStmtCount;
    --iJob->IfNesting;
    if (iJob->IfNesting < 0) {
        ReportAtJob(iJob, MessageFor(iProcessingMode, 1365, 3066), iProcessingMode);
        return;
    }
    AppendIfRecord(arrayJclDeck,
                   MakeIfRecord(RD_STRUCT_ENDIF, iStmt, nullptr, "AddEndIfToJob", debug),
                   "FreeIfElseEndIf 11", debug);
}

void AddIf(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    AddIfToJob(arrayJclDeck, CurrentJob, iStmt, iProcessingMode, debug);
}
void AddElse(void* arrayJclDeck, JCLStatement* iStmt, int32_t debug) {
    AddElseToJob(arrayJclDeck, CurrentJob, iStmt, debug);
}
void AddEndIf(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    AddEndIfToJob(arrayJclDeck, CurrentJob, iStmt, iProcessingMode, debug);
}
int32_t QueryIfNesting() {
    return QueryIfNestingForJob(CurrentJob);
}

// ---------------------------------------------------------------- procedure nesting

void IncrementProcNestingLevelForJob(RD_JobStruct* iJob, int16_t iProcessingMode) {
    if (iJob == nullptr) return;
    ++iJob->procNestingLevel;
    iJob->maxProcNestingLevel = std::max(iJob->maxProcNestingLevel, iJob->procNestingLevel);
    if (iJob->procNestingLevel > kMaxProcNesting)
        ReportAtJob(iJob, MessageFor(iProcessingMode, 1381, 3079), iProcessingMode);
}

void DecrementProcNestingLevelForJob(RD_JobStruct* iJob, int16_t iProcessingMode) {
    if (iJob == nullptr) return;
    --iJob->procNestingLevel;
    if (iJob->procNestingLevel < 0)
        ReportAtJob(iJob, MessageFor(iProcessingMode, 1383, 3081), iProcessingMode);
}

void IncrementProcNestingLevel(int16_t iProcessingMode) {
    IncrementProcNestingLevelForJob(CurrentJob, iProcessingMode);
}
void DecrementProcNestingLevel(int16_t iProcessingMode) {
    DecrementProcNestingLevelForJob(CurrentJob, iProcessingMode);
}
int32_t QueryProcNestingLevel() {
    return QueryProcNestingLevelForJob(CurrentJob);
}

// ---------------------------------------------------------------- job-level DDs

void SetDDForJOBCAT(void* arrayJclDeck, RD_JobStruct* iJob, RD_DDStatement* iDD,
                    int16_t iProcessingMode, int32_t debug) {
    SetJobLevelDD(arrayJclDeck, iJob, iDD, RD_STRUCT_JOBCAT, iProcessingMode, debug);
}
void SetDDForJOBLIB(void* arrayJclDeck, RD_JobStruct* iJob, RD_DDStatement* iDD,
                    int16_t iProcessingMode, int32_t debug) {
    SetJobLevelDD(arrayJclDeck, iJob, iDD, RD_STRUCT_JOBLIB, iProcessingMode, debug);
}
void SetDDForPROCLIB(void* arrayJclDeck, RD_JobStruct* iJob, RD_DDStatement* iDD,
                     int16_t iProcessingMode, int32_t debug) {
    SetJobLevelDD(arrayJclDeck, iJob, iDD, RD_STRUCT_PROCLIB, iProcessingMode, debug);
}

RD_DDStatement* QueryCurrentDDStatement(RD_JobStruct* iJob, int16_t iProcessingMode) {
    if (iJob == nullptr) return nullptr;
    if (iJob->StepCount > 0)
        return QueryStepCurrentDDStatement(QueryCurrentStep(iJob), iProcessingMode);
    if (iJob->CurrentDDStatement == nullptr)
        ReportAtJob(iJob, MessageFor(iProcessingMode, 1373, 3072), iProcessingMode);
    return iJob->CurrentDDStatement;
}

// ---------------------------------------------------------------- OUTPUT statements

BOOLEAN AddOutputToJob(RD_JobStruct* iJob, void* iOutputSpec, const char* iOutputName,
                       int32_t debug) {
    if (iJob == nullptr) return FALSE;
    if (iJob->JobOutputSpecificationList == nullptr &&
        !CreateList(&iJob->JobOutputSpecificationList, debug))
        return FALSE;
    return AddItemToList(iJob->JobOutputSpecificationList, iOutputSpec, iOutputName, debug) ? TRUE
                                                                                            : FALSE;
}

BOOLEAN AddOutput(void* iOutputSpec, const char* iOutputName, int32_t debug) {
    if (CurrentJob == nullptr) return TRUE;
    if (CurrentJob->StepCount == 0)
        return AddOutputToJob(CurrentJob, iOutputSpec, iOutputName, debug);
    return AddOutputToStep(QueryCurrentStep(CurrentJob), iOutputSpec, iOutputName, debug);
}

} // namespace kvr
