// The job model of one member: jobs with their step tables, steps with their DD
// statements, DDs with their data set concatenations, IF/ELSE/ENDIF records and step
// cursors. Records go into the expanded deck list in statement order; step DDs hang off
// their step. One job is under construction at a time (the current job).
#ifndef KVR_MODEL_JOB_MODEL_H
#define KVR_MODEL_JOB_MODEL_H

#include "base/contexts.h"
#include "model/deck_records.h"
#include "reader/instream_data.h"
#include "reader/jcl_statement.h"

namespace kvr {

constexpr int32_t kMaxSteps = 255;

struct RD_OutputSpecification;
struct RD_DDStatement;
struct RD_DatasetConcatenation;
// Each gives one record back, with what it owns.
void FreeOutputSpecification(RD_OutputSpecification* iSpec);
void FreeDDStatement(RD_DDStatement* iDD);
void FreeConcatenation(RD_DatasetConcatenation* iEntry);

// OUTPUT statements of a job or step, in statement order, keyed by name.
struct OutputSpecificationList : OwnedList<RD_OutputSpecification> {
    OutputSpecificationList() : OwnedList(FreeOutputSpecification, "FreeOutputSpecificationList") {}
};

struct RD_JobStruct : RD_JclCommon { // type 1
    OwnedText JobName;               // "DUMMYJC" for the job made without a JOB statement
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    OwnedText JobClass;
    OwnedText JobAccountingData;
    OwnedText statementParms;
    BOOLEAN HasJCLLIB;
    int32_t StepCount;
    int32_t IfStmtCount;
    int32_t ElseStmtCount;
    int32_t EndifStmtCount;
    int32_t IfNesting;
    int32_t MaxIfNesting;
    int32_t procNestingLevel;
    int32_t maxProcNestingLevel;
    int32_t CurrentStepIndex;
    struct RD_JobStep* StepList[kMaxSteps]; // not owned
    struct RD_DDStatement* CurrentDDStatement;
    OutputSpecificationList JobOutputSpecificationList; // made with the first
};

struct RD_JobStep : RD_JclCommon { // type 6
    OwnedText StepName;
    OwnedText InvokingStepName;
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    BOOLEAN ExpandedFromProcedure;
    int32_t procNestingLevel;
    OwnedText RegionSize;
    OwnedText ExecutableName;
    OwnedText ExecutableParms;
    OwnedText AllParms;
    OwnedList<RD_DDStatement> DDStatementList{FreeDDStatement, "FreeStep"}; // keyed by DD name
    struct RD_DDStatement* CurrentDDStatement;
    OutputSpecificationList StepOutputSpecificationList; // made with the first
};

// A step DD (type 2, in its step's list) or a JOBCAT, JOBLIB or PROCLIB DD (3, 4, 5, in
// the deck).
struct RD_DDStatement : RD_JclCommon {
    OwnedText DDName;
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    OwnedList<RD_DatasetConcatenation> ConcatList{FreeConcatenation, "FreeDDStatement"};
};

struct RD_DatasetConcatenation {
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    BOOLEAN hasDUMMY;
    OwnedText DatasetName;
    OwnedText Status;
    OwnedText Disposition;
    OwnedText Parms;
    OwnedSpool inStreamData; // or null
};

struct RD_IfElseEndIf : RD_JclCommon { // types 9, 10, 11
    OwnedText statementLabel;
    OwnedText parms; // IF: condition text; null for ELSE and ENDIF
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
};

struct RD_StepCursor {
    RD_JobStruct* Job;
    int32_t StepNumber; // 1..StepCount, else on no step
    int32_t procNestingLevel;
    int32_t OriginalStepNumber;
};

// ---- module state

// ---- current-job layer (each does nothing, or answers null/0, without a current job)
void ProcessJobCard(MemberContext& ctx, JCLStatement* iStmt);
void AddStep(MemberContext& ctx, const char* iStepName, const char* iInvokingStepName,
             SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
             BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel, const char* iRegion,
             const char* iProgramName, const char* iProgramParm, const char* iAllParms);
void AddDD(MemberContext& ctx, const char* iDDName, SOURCE_REF iFileReference, BOOLEAN iHasDUMMY,
           const char* iDatasetName, const char* iStatus, const char* iDisposition,
           const char* iParms, void* iInStreamData, int32_t iFileLine, int32_t iEndFileLine, JCLStatement* iStmt);
BOOLEAN AddOutput(MemberContext& ctx, void* iOutputSpec, const char* iOutputName);
void AddIf(MemberContext& ctx, JCLStatement* iStmt);
void AddElse(MemberContext& ctx, JCLStatement* iStmt);
void AddEndIf(MemberContext& ctx, JCLStatement* iStmt);
int32_t QueryIfNesting(MemberContext& ctx);
void IncrementProcNestingLevel(MemberContext& ctx);
void DecrementProcNestingLevel(MemberContext& ctx);
int32_t QueryProcNestingLevel(MemberContext& ctx);
RD_StepCursor* GetStepCursor(MemberContext& ctx);

// ---- job, step and DD layer
RD_JobStruct* AllocateCurrentJob(MemberContext& ctx, JCLStatement* iStmt);
void AddStepToJob(MemberContext& ctx, RD_JobStruct* iJob, RD_JobStep* iStep);
void AddIfToJob(MemberContext& ctx, RD_JobStruct* iJob, JCLStatement* iStmt);
void AddElseToJob(MemberContext& ctx, RD_JobStruct* iJob, JCLStatement* iStmt);
void AddEndIfToJob(MemberContext& ctx, RD_JobStruct* iJob, JCLStatement* iStmt);
BOOLEAN AddOutputToJob(MemberContext& ctx, RD_JobStruct* iJob, void* iOutputSpec, const char* iOutputName);
RD_JobStep* QueryCurrentStep(RD_JobStruct* iJob);
RD_DDStatement* QueryCurrentDDStatement(MemberContext& ctx, RD_JobStruct* iJob);
int32_t QueryStepCount(RD_JobStruct* iJob);
int32_t QueryIfNestingForJob(RD_JobStruct* iJob);
int32_t QueryProcNestingLevelForJob(RD_JobStruct* iJob);
void* QueryJobOutputSpecificationList(RD_JobStruct* iJob);
void IncrementProcNestingLevelForJob(MemberContext& ctx, RD_JobStruct* iJob);
void DecrementProcNestingLevelForJob(MemberContext& ctx, RD_JobStruct* iJob);
void SetDDForJOBCAT(MemberContext& ctx, RD_JobStruct* iJob, RD_DDStatement* iDD);
void SetDDForJOBLIB(MemberContext& ctx, RD_JobStruct* iJob, RD_DDStatement* iDD);
void SetDDForPROCLIB(MemberContext& ctx, RD_JobStruct* iJob, RD_DDStatement* iDD);
RD_JobStep* AllocateStep(MemberContext& ctx, const char* iStepName, const char* iInvokingStepName,
                         SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
                         BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel,
                         const char* iRegion, const char* iProgramName, const char* iProgramParm,
                         const char* iAllParms);
void AddDDToStep(MemberContext& ctx, RD_JobStep* iStep, RD_DDStatement* iDD, const char* iName);
BOOLEAN FindDDForStep(RD_JobStep* iStep, const char* iName, RD_DDStatement** outDD);
RD_DDStatement* QueryStepCurrentDDStatement(MemberContext& ctx, RD_JobStep* iStep);
BOOLEAN AddOutputToStep(MemberContext& ctx, RD_JobStep* iStep, void* iOutputSpec, const char* iOutputName);
void* QueryStepOutputSpecificationList(RD_JobStep* iStep);
RD_DDStatement* AllocateDD(MemberContext& ctx, const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                           int32_t iEndFileLine);
void AddConcatenationToDD(MemberContext& ctx, RD_DDStatement* iDD, RD_DatasetConcatenation* iEntry);
// ---- data set entries (model/concatenations.cpp)
RD_DatasetConcatenation* AllocateConcatenation(MemberContext& ctx, SOURCE_REF iFileReference, int32_t iFileLine,
                                               int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                                               const char* iDatasetName, const char* iStatus,
                                               const char* iDisposition, const char* iParms,
                                               void* iInStreamData);
void MergeConcatenation(MemberContext& ctx, RD_DatasetConcatenation* iEntry, SOURCE_REF iFileReference,
                        int32_t iFileLine, int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                        const char* iDatasetName, const char* iStatus, const char* iDisposition,
                        const char* iParms, void* iInStreamData);
// Status and normal disposition of a parenthesised DISP value such as (NEW,CATLG,DELETE).
void ExtractStatusAndDisposition(const char* iValue, std::string& outStatus,
                                 std::string& outDisposition);


void* CreateConcatenationCursor(MemberContext& ctx, RD_DDStatement* iDD);
void AdvanceConcatenationCursor(void* iCursor);
RD_DatasetConcatenation* QueryConcatenationCursor(void* iCursor);
void DeleteConcatenationCursor(void* iCursor);

// ---- step cursors
RD_StepCursor* CreateStepCursorForJob(MemberContext& ctx, RD_JobStruct* iJob);
RD_StepCursor* DuplicateStepCursor(MemberContext& ctx, RD_StepCursor* iCursor);
void DeleteStepCursor(RD_StepCursor* iCursor);
RD_JobStep* QueryStepCursor(RD_StepCursor* iCursor);
void AdvanceStepCursor(RD_StepCursor* iCursor, BOOLEAN thisProcOnly);
void DeclineStepCursor(RD_StepCursor* iCursor, BOOLEAN thisProcOnly);
BOOLEAN AdvanceCursorToStep(RD_StepCursor* iCursor, const char* iStepName,
                            const char* iProcStepName, BOOLEAN thisProcOnly);
BOOLEAN DeclineCursorToStep(RD_StepCursor* iCursor, const char* iStepName,
                            const char* iProcStepName);

} // namespace kvr

#endif
