// The job under construction and its job-level records: the JOB statement itself, the
// IF/ELSE/ENDIF records with their nesting depth, the procedure nesting level, the
// JOBCAT/JOBLIB/PROCLIB DDs and the OUTPUT statements met before the first step. The thin
// current-job operations are what the statement processors call.
#include "model/job_model.h"
#include "base/contexts.h"

#include <algorithm>
#include <cstring>

#include "model/model_lists.h"

namespace kvr {
namespace {


constexpr int32_t kMaxIfNesting = 16;
constexpr int32_t kMaxProcNesting = 16;

// Deck items that nothing looks up by key share this one.
const char kNoKey[] = "";

// The text after the first "=" of a whole keyword parameter such as CLASS=A.
const char* ValueOf(const char* keywordParm) {
    const char* equals = std::strchr(keywordParm, '=');
    return equals != nullptr ? equals + 1 : "";
}

void FillFromStatement(MemberContext& ctx, RD_JobStruct* job, JCLStatement* stmt) {
    job->JobName.reset(CloneString(stmt->StatementLabel, ctx.run.debug));
    job->FileReference = stmt->FileReference;
    job->fileLine = stmt->fileLine;
    job->endFileLine = stmt->endFileLine;
    char* parm = nullptr;
    job->JobClass.reset(CloneString(
        JCLStatementKeywordParm(ctx, stmt, "CLASS", &parm) ? ValueOf(parm) : "", ctx.run.debug));
    parm = nullptr;
    job->JobAccountingData.reset(
        CloneString(JCLStatementPositionalParm(ctx, stmt, 1, &parm) ? parm : "", ctx.run.debug));
    char* text = nullptr;
    job->statementParms.reset(
        CloneString(JCLStatementParmText(stmt, &text) ? text : "", ctx.run.debug));
}

void FillWithoutStatement(MemberContext& ctx, RD_JobStruct* job) {
    job->JobName.reset(CloneString("DUMMYJC", ctx.run.debug));
    job->FileReference = 0;
    job->fileLine = 0;
    job->endFileLine = 0;
    job->JobClass.reset(CloneString("", ctx.run.debug));
    job->JobAccountingData.reset(CloneString("", ctx.run.debug));
    job->statementParms.reset(CloneString("", ctx.run.debug));
}

// An IF, ELSE or ENDIF record with the statement's label and location.
RD_IfElseEndIf* MakeIfRecord(MemberContext& ctx, RD_StructureType type, JCLStatement* stmt,
                             const char* condition, const char* tag, const char* releaseTag) {
    auto* record = NewDeckItem<RD_IfElseEndIf>(type, tag, releaseTag);
    if (record == nullptr) return nullptr;
    record->statementLabel.reset(
        CloneString(stmt != nullptr ? stmt->StatementLabel : "", ctx.run.debug));
    record->parms.reset(condition != nullptr ? CloneString(condition, ctx.run.debug) : nullptr);
    record->FileReference = stmt != nullptr ? stmt->FileReference : -1;
    record->fileLine = stmt != nullptr ? stmt->fileLine : 0;
    record->endFileLine = stmt != nullptr ? stmt->endFileLine : 0;
    return record;
}

// Appends an IF/ELSE/ENDIF record to the deck; a failure ends the operation silently.
void AppendIfRecord(MemberContext& ctx, RD_IfElseEndIf* record) {
    ctx.deck.Add(record, kNoKey);
}

void ReportAtJob(MemberContext& ctx, const RD_JobStruct* job, uint32_t message) {
    KVRWriteMessageWithFileLine(message, TRUE, job->FileReference, job->fileLine, ctx.run.mode);
}

// Gives the DD its job-level code, puts it in the deck and makes it the DD that an unnamed
// statement continues. A DD that cannot be put in the deck is released.
void SetJobLevelDD(MemberContext& ctx, RD_JobStruct* job, RD_DDStatement* dd, RD_StructureType type) {
    if (job == nullptr || dd == nullptr) return;
    dd->structureType = type;
    if (!ctx.deck.Add(dd, dd->DDName.get())) {
        reportMemoryAllocationError(ctx);
        return;
    }
    job->CurrentDDStatement = dd;
}

} // namespace

// ---------------------------------------------------------------- module state

// ---------------------------------------------------------------- the job

RD_JobStruct* AllocateCurrentJob(MemberContext& ctx, JCLStatement* iStmt) {
    auto* job = NewDeckItem<RD_JobStruct>(RD_STRUCT_JOB, "AllocateCurrentJob", "FreeJobStruct");
    if (job == nullptr) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    if (iStmt != nullptr)
        FillFromStatement(ctx, job, iStmt);
    else
        FillWithoutStatement(ctx, job);
    job->HasJCLLIB = FALSE;
    return job;
}

void ProcessJobCard(MemberContext& ctx, JCLStatement* iStmt) {
    RD_JobStruct* job = AllocateCurrentJob(ctx, iStmt);
    if (job == nullptr) return;
    if (!ctx.deck.Add(job, job->JobName.get())) {
        reportMemoryAllocationError(ctx);
        return;
    }
    ctx.model.currentJob = job;
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
    return iJob != nullptr ? iJob->JobOutputSpecificationList.Handle() : nullptr;
}

// ---------------------------------------------------------------- IF, ELSE, ENDIF

void AddIfToJob(MemberContext& ctx, RD_JobStruct* iJob, JCLStatement* iStmt) {
    if (iJob == nullptr) return;
    ++iJob->IfStmtCount;
    ++iJob->IfNesting;
    iJob->MaxIfNesting = std::max(iJob->MaxIfNesting, iJob->IfNesting);
    if (iJob->IfNesting > kMaxIfNesting) {
        // The depth stays counted so that the matching ENDIF closes this level again.
        ReportAtJob(ctx, iJob, MessageFor(ctx, 1363, 3065));
        return;
    }
    char* condition = nullptr;
    if (iStmt == nullptr || !JCLStatementParmText(iStmt, &condition)) condition = nullptr;
    AppendIfRecord(ctx, MakeIfRecord(ctx, RD_STRUCT_IF, iStmt, TextOrEmpty(condition), "AddIfToJob",
                                     "FreeIfElseEndIf 9"));
}

void AddElseToJob(MemberContext& ctx, RD_JobStruct* iJob, JCLStatement* iStmt) {
    if (iJob == nullptr) return;
    ++iJob->ElseStmtCount;
    AppendIfRecord(ctx, MakeIfRecord(ctx, RD_STRUCT_ELSE, iStmt, nullptr, "AddElseToJob",
                                     "FreeIfElseEndIf 10"));
}

void AddEndIfToJob(MemberContext& ctx, RD_JobStruct* iJob, JCLStatement* iStmt) {
    if (iJob == nullptr) return;
    ++iJob->EndifStmtCount;
    --iJob->IfNesting;
    if (iJob->IfNesting < 0) {
        ReportAtJob(ctx, iJob, MessageFor(ctx, 1365, 3066));
        return;
    }
    AppendIfRecord(ctx, MakeIfRecord(ctx, RD_STRUCT_ENDIF, iStmt, nullptr, "AddEndIfToJob",
                                     "FreeIfElseEndIf 11"));
}

void AddIf(MemberContext& ctx, JCLStatement* iStmt) {
    AddIfToJob(ctx, ctx.model.currentJob, iStmt);
}
void AddElse(MemberContext& ctx, JCLStatement* iStmt) {
    AddElseToJob(ctx, ctx.model.currentJob, iStmt);
}
void AddEndIf(MemberContext& ctx, JCLStatement* iStmt) {
    AddEndIfToJob(ctx, ctx.model.currentJob, iStmt);
}
int32_t QueryIfNesting(MemberContext& ctx) {
    return QueryIfNestingForJob(ctx.model.currentJob);
}

// ---------------------------------------------------------------- procedure nesting

void IncrementProcNestingLevelForJob(MemberContext& ctx, RD_JobStruct* iJob) {
    if (iJob == nullptr) return;
    ++iJob->procNestingLevel;
    iJob->maxProcNestingLevel = std::max(iJob->maxProcNestingLevel, iJob->procNestingLevel);
    if (iJob->procNestingLevel > kMaxProcNesting)
        ReportAtJob(ctx, iJob, MessageFor(ctx, 1381, 3079));
}

void DecrementProcNestingLevelForJob(MemberContext& ctx, RD_JobStruct* iJob) {
    if (iJob == nullptr) return;
    --iJob->procNestingLevel;
    if (iJob->procNestingLevel < 0)
        ReportAtJob(ctx, iJob, MessageFor(ctx, 1383, 3081));
}

void IncrementProcNestingLevel(MemberContext& ctx) {
    IncrementProcNestingLevelForJob(ctx, ctx.model.currentJob);
}
void DecrementProcNestingLevel(MemberContext& ctx) {
    DecrementProcNestingLevelForJob(ctx, ctx.model.currentJob);
}
int32_t QueryProcNestingLevel(MemberContext& ctx) {
    return QueryProcNestingLevelForJob(ctx.model.currentJob);
}

// ---------------------------------------------------------------- job-level DDs

void SetDDForJOBCAT(MemberContext& ctx, RD_JobStruct* iJob, RD_DDStatement* iDD) {
    SetJobLevelDD(ctx, iJob, iDD, RD_STRUCT_JOBCAT);
}
void SetDDForJOBLIB(MemberContext& ctx, RD_JobStruct* iJob, RD_DDStatement* iDD) {
    SetJobLevelDD(ctx, iJob, iDD, RD_STRUCT_JOBLIB);
}
void SetDDForPROCLIB(MemberContext& ctx, RD_JobStruct* iJob, RD_DDStatement* iDD) {
    SetJobLevelDD(ctx, iJob, iDD, RD_STRUCT_PROCLIB);
}

RD_DDStatement* QueryCurrentDDStatement(MemberContext& ctx, RD_JobStruct* iJob) {
    if (iJob == nullptr) return nullptr;
    if (iJob->StepCount > 0)
        return QueryStepCurrentDDStatement(ctx, QueryCurrentStep(iJob));
    if (iJob->CurrentDDStatement == nullptr)
        ReportAtJob(ctx, iJob, MessageFor(ctx, 1373, 3072));
    return iJob->CurrentDDStatement;
}

// ---------------------------------------------------------------- OUTPUT statements

BOOLEAN AddOutputToJob(MemberContext& ctx, RD_JobStruct* iJob, void* iOutputSpec, const char* iOutputName) {
    if (iJob == nullptr) return FALSE;
    if (!iJob->JobOutputSpecificationList.Create()) return FALSE;
    return AddItemToList(iJob->JobOutputSpecificationList.Handle(), iOutputSpec, iOutputName,
                         ctx.run.debug)
               ? TRUE
               : FALSE;
}

BOOLEAN AddOutput(MemberContext& ctx, void* iOutputSpec, const char* iOutputName) {
    if (ctx.model.currentJob == nullptr) return TRUE;
    if (ctx.model.currentJob->StepCount == 0)
        return AddOutputToJob(ctx, ctx.model.currentJob, iOutputSpec, iOutputName);
    return AddOutputToStep(ctx, QueryCurrentStep(ctx.model.currentJob), iOutputSpec, iOutputName);
}

} // namespace kvr
