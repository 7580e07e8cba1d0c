// The job model of one member: jobs with their step tables, steps with their DD
// statements, DDs with their data set concatenations, IF/ELSE/ENDIF records and step
// cursors. Records go into the expanded deck list in statement order; step DDs hang off
// their step. One job is under construction at a time (the current job).
#ifndef KVR_MODEL_JOB_MODEL_H
#define KVR_MODEL_JOB_MODEL_H

#include "model/deck_records.h"
#include "reader/jcl_statement.h"

namespace kvr {

constexpr int32_t kMaxSteps = 255;

struct RD_JobStruct {
    int16_t structureType; // 1
    char* JobName;         // "DUMMYJC" for the job made without a JOB statement
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    char* JobClass;
    char* JobAccountingData;
    char* statementParms;
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
    void* JobOutputSpecificationList; // RD_OutputSpecification items, owned
};

struct RD_JobStep {
    int16_t structureType; // 6
    char* StepName;
    char* InvokingStepName;
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    BOOLEAN ExpandedFromProcedure;
    int32_t procNestingLevel;
    char* RegionSize;
    char* ExecutableName;
    char* ExecutableParms;
    char* AllParms;
    void* DDStatementList; // RD_DDStatement items keyed by DD name, owned
    struct RD_DDStatement* CurrentDDStatement;
    void* StepOutputSpecificationList; // owned, null until the first
};

struct RD_DDStatement {
    int16_t structureType; // 2 step DD; 3, 4, 5 JOBCAT, JOBLIB, PROCLIB
    char* DDName;
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    void* ConcatList; // RD_DatasetConcatenation items in order
};

struct RD_DatasetConcatenation {
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    BOOLEAN hasDUMMY;
    char* DatasetName;
    char* Status;
    char* Disposition;
    char* Parms;
    void* inStreamData; // owned RD_InstreamData or null
};

struct RD_IfElseEndIf {
    int16_t structureType; // 9, 10, 11
    char* statementLabel;
    char* parms; // IF: condition text; null for ELSE and ENDIF
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
void KVR4007_InitializeFields();

// ---- current-job layer (each does nothing, or answers null/0, without a current job)
void ProcessJobCard(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode,
                    BOOLEAN iFormatXML, int32_t debug);
RD_JobStruct* QueryCurrentJob();
void AddStep(void* arrayJclDeck, const char* iStepName, const char* iInvokingStepName,
             SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
             BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel, const char* iRegion,
             const char* iProgramName, const char* iProgramParm, const char* iAllParms,
             int16_t iProcessingMode, int32_t debug);
void AddDD(void* arrayJclDeck, const char* iDDName, SOURCE_REF iFileReference, BOOLEAN iHasDUMMY,
           const char* iDatasetName, const char* iStatus, const char* iDisposition,
           const char* iParms, void* iInStreamData, int32_t iFileLine, int32_t iEndFileLine,
           const char* iSiteName, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
BOOLEAN AddOutput(void* iOutputSpec, const char* iOutputName, int32_t debug);
void AddIf(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
void AddElse(void* arrayJclDeck, JCLStatement* iStmt, int32_t debug);
void AddEndIf(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
int32_t QueryIfNesting();
void IncrementProcNestingLevel(int16_t iProcessingMode);
void DecrementProcNestingLevel(int16_t iProcessingMode);
int32_t QueryProcNestingLevel();
RD_StepCursor* GetStepCursor(int16_t iProcessingMode, int32_t debug);
int32_t QueryParmCaptureStepCount();
void IncrementParmCaptureStepCount();
void FreeJobStruct(RD_JobStruct* iJob, int32_t debug);

// ---- job, step and DD layer
RD_JobStruct* AllocateCurrentJob(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
void AddStepToJob(void* arrayJclDeck, RD_JobStruct* iJob, RD_JobStep* iStep,
                  int16_t iProcessingMode, int32_t debug);
void AddIfToJob(void* arrayJclDeck, RD_JobStruct* iJob, JCLStatement* iStmt,
                int16_t iProcessingMode, int32_t debug);
void AddElseToJob(void* arrayJclDeck, RD_JobStruct* iJob, JCLStatement* iStmt, int32_t debug);
void AddEndIfToJob(void* arrayJclDeck, RD_JobStruct* iJob, JCLStatement* iStmt,
                   int16_t iProcessingMode, int32_t debug);
BOOLEAN AddOutputToJob(RD_JobStruct* iJob, void* iOutputSpec, const char* iOutputName,
                       int32_t debug);
RD_JobStep* QueryCurrentStep(RD_JobStruct* iJob);
RD_DDStatement* QueryCurrentDDStatement(RD_JobStruct* iJob, int16_t iProcessingMode);
int32_t QueryStepCount(RD_JobStruct* iJob);
int32_t QueryIfNestingForJob(RD_JobStruct* iJob);
int32_t QueryProcNestingLevelForJob(RD_JobStruct* iJob);
void* QueryJobOutputSpecificationList(RD_JobStruct* iJob);
void IncrementProcNestingLevelForJob(RD_JobStruct* iJob, int16_t iProcessingMode);
void DecrementProcNestingLevelForJob(RD_JobStruct* iJob, int16_t iProcessingMode);
void SetDDForJOBCAT(void* arrayJclDeck, RD_JobStruct* iJob, RD_DDStatement* iDD,
                    int16_t iProcessingMode, int32_t debug);
void SetDDForJOBLIB(void* arrayJclDeck, RD_JobStruct* iJob, RD_DDStatement* iDD,
                    int16_t iProcessingMode, int32_t debug);
void SetDDForPROCLIB(void* arrayJclDeck, RD_JobStruct* iJob, RD_DDStatement* iDD,
                     int16_t iProcessingMode, int32_t debug);
RD_JobStep* AllocateStep(const char* iStepName, const char* iInvokingStepName,
                         SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
                         BOOLEAN iExpandedFromProcedure, int32_t iProcNestingLevel,
                         const char* iRegion, const char* iProgramName, const char* iProgramParm,
                         const char* iAllParms, int16_t iProcessingMode, int32_t debug);
void AddDDToStep(RD_JobStep* iStep, RD_DDStatement* iDD, const char* iName, int32_t debug);
BOOLEAN FindDDForStep(RD_JobStep* iStep, const char* iName, RD_DDStatement** outDD);
RD_DDStatement* QueryStepCurrentDDStatement(RD_JobStep* iStep, int16_t iProcessingMode);
BOOLEAN AddOutputToStep(RD_JobStep* iStep, void* iOutputSpec, const char* iOutputName,
                        int32_t debug);
void* QueryStepOutputSpecificationList(RD_JobStep* iStep);
RD_DDStatement* AllocateDD(const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                           int32_t iEndFileLine, int32_t debug);
void AddConcatenationToDD(RD_DDStatement* iDD, RD_DatasetConcatenation* iEntry,
                          const char* iName, int32_t debug);
void* CreateConcatenationCursor(RD_DDStatement* iDD, int16_t iProcessingMode, int32_t debug);
void AdvanceConcatenationCursor(void* iCursor);
RD_DatasetConcatenation* QueryConcatenationCursor(void* iCursor);
void DeleteConcatenationCursor(void* iCursor, int32_t debug);
void FreeStep(RD_JobStep* iStep, int32_t debug);
void FreeDDStatement(RD_DDStatement* iDD, int32_t debug);

// ---- step cursors
RD_StepCursor* CreateStepCursorForJob(RD_JobStruct* iJob, int16_t iProcessingMode,
                                      int32_t debug);
RD_StepCursor* DuplicateStepCursor(RD_StepCursor* iCursor, int16_t iProcessingMode,
                                   int32_t debug);
void DeleteStepCursor(RD_StepCursor* iCursor, int32_t debug);
RD_JobStep* QueryStepCursor(RD_StepCursor* iCursor);
void AdvanceStepCursor(RD_StepCursor* iCursor, BOOLEAN thisProcOnly);
void DeclineStepCursor(RD_StepCursor* iCursor, BOOLEAN thisProcOnly);
BOOLEAN AdvanceCursorToStep(RD_StepCursor* iCursor, const char* iStepName,
                            const char* iProcStepName, BOOLEAN thisProcOnly);
BOOLEAN DeclineCursorToStep(RD_StepCursor* iCursor, const char* iStepName,
                            const char* iProcStepName);

} // namespace kvr

#endif
