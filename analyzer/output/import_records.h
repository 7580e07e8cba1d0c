// The import records of jobs, steps, procedures, IF/ELSE/ENDIF, comments, DDs and run
// units, in text form (one line a record) or XML form (one line an element, indented).
#ifndef KVR_OUTPUT_IMPORT_RECORDS_H
#define KVR_OUTPUT_IMPORT_RECORDS_H

#include <cstdint>

#include "kvrbase.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {

void KVR_PutJOB_START(MemberContext& ctx, const char* iJobName);
void KVR_PutJOB_LINES(MemberContext& ctx, SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine);
// Text: one "JOB PARM" record a parameter; XML: the jobcard element. Nothing when absent.
void KVR_PutJOB_PARM(MemberContext& ctx, const char* iParms);
void KVR_PutJOB_END(MemberContext& ctx);

void KVR_PutSTEP(MemberContext& ctx, int32_t iStepNbr, const RD_JobStep* iStep, const char* iStepName,
                 const char* iProcStepName);
void KVR_PutEndSTEP(MemberContext& ctx);

// The source record of the member a step or procedure comes from (text only).
void KVR_PutPROC(MemberContext& ctx, SOURCE_REF iFileReference);
void KVR_PutPROC_LINES(MemberContext& ctx, SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine);
void KVR_PutPROC_PARM(MemberContext& ctx, const char* iParms);
void KVR_PutPROCEND(MemberContext& ctx);

void KVR_PutJCL_IF(MemberContext& ctx, const char* iLabel, const char* iCondition, SOURCE_REF iFileReference,
                   int32_t iFileLine, int32_t iEndFileLine);
void KVR_PutJCL_ELSE(MemberContext& ctx, const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                     int32_t iEndFileLine);
void KVR_PutJCL_ENDIF(MemberContext& ctx, const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                      int32_t iEndFileLine);
void KVR_PutJCL_COMMENT(MemberContext& ctx, int32_t iFileLine, const char* iText);
void KVR_PutQuillo_OPC(MemberContext& ctx, int32_t iFileLine, const char* iOperation, const char* iParms);

// Text: "DD START"/"DD END"; XML: the DD element's opening and closing lines. The start
// sets the indentation of the DD's later XML lines.
void KVR_PutDD_start(MemberContext& ctx, const char* iDDName);
void KVR_PutDD_end(MemberContext& ctx, const char* iDDName);
// One element of a DD concatenation (sequence from 1); iServerName is empty except for
// the transfer DDs of FTP steps.
void KVR_PutDD(MemberContext& ctx, const char* iFsDDName, SOURCE_REF iFileReference, int32_t iFileLine,
               int32_t iEndFileLine, int32_t iConcatSeq, BOOLEAN iHasDUMMY, const char* iDSN,
               const char* iStatus, const char* iDisp, const char* iParms, void* iISD,
               BOOLEAN iDDLogFlag, RD_DatasetConcatenation* iDDConcat, const char* iServerName);
// The run-unit record of a step and, for an FTP step, the DD records of its transfers.
void PutStepRunUnit(MemberContext& ctx, RD_JobStep* iStep);
// Every part but the name may be null (not written).
void KVR_PutRU(MemberContext& ctx, const char* iRunUnitName, const char* iPlanName, const char* iPsbName,
               const char* iIMSRegionName, const char* iDB2SubsystemName);


} // namespace kvr

#endif
