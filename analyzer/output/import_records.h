// The import records of jobs, steps, procedures, IF/ELSE/ENDIF, comments, DDs and run
// units, in text form (one line a record) or XML form (one line an element, indented).
#ifndef KVR_OUTPUT_IMPORT_RECORDS_H
#define KVR_OUTPUT_IMPORT_RECORDS_H

#include <cstdint>

#include "kvrbase.h"
#include "model/job_model.h"

namespace kvr {

void KVR_PutJOB_START(const char* iJobName, BOOLEAN iFormatXML);
void KVR_PutJOB_LINES(SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
                      BOOLEAN iFormatXML);
// Text: one "JOB PARM" record a parameter; XML: the jobcard element. Nothing when absent.
void KVR_PutJOB_PARM(const char* iParms, int16_t iProcessingMode, BOOLEAN iFormatXML,
                     int32_t debug);
void KVR_PutJOB_END(BOOLEAN iFormatXML);

void KVR_PutSTEP(int32_t iStepNbr, const RD_JobStep* iStep, const char* iStepName,
                 const char* iProcStepName, int16_t iProcessingMode, BOOLEAN iFormatXML,
                 int32_t debug);
void KVR_PutEndSTEP();

// The source record of the member a step or procedure comes from (text only).
void KVR_PutPROC(SOURCE_REF iFileReference, int16_t iProcessingMode, BOOLEAN iFormatXML);
void KVR_PutPROC_LINES(SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine);
void KVR_PutPROC_PARM(const char* iParms, int16_t iProcessingMode, BOOLEAN iFormatXML,
                      int32_t debug);
void KVR_PutPROCEND();

void KVR_PutJCL_IF(const char* iLabel, const char* iCondition, SOURCE_REF iFileReference,
                   int32_t iFileLine, int32_t iEndFileLine, BOOLEAN iFormatXML);
void KVR_PutJCL_ELSE(const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                     int32_t iEndFileLine, BOOLEAN iFormatXML);
void KVR_PutJCL_ENDIF(const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                      int32_t iEndFileLine, BOOLEAN iFormatXML);
void KVR_PutJCL_COMMENT(int32_t iFileLine, const char* iText, BOOLEAN iFormatXML);
void KVR_PutQuillo_OPC(int32_t iFileLine, const char* iOperation, const char* iParms,
                       BOOLEAN iFormatXML);

// Text: "DD START"/"DD END"; XML: the DD element's opening and closing lines. The start
// sets the indentation of the DD's later XML lines.
void KVR_PutDD_start(const char* iDDName, BOOLEAN iFormatXML);
void KVR_PutDD_end(const char* iDDName, BOOLEAN iFormatXML);
// One element of a DD concatenation (sequence from 1); iServerName is empty except for
// the transfer DDs of FTP steps.
void KVR_PutDD(const char* iFsDDName, SOURCE_REF iFileReference, int32_t iFileLine,
               int32_t iEndFileLine, int32_t iConcatSeq, BOOLEAN iHasDUMMY, const char* iDSN,
               const char* iStatus, const char* iDisp, const char* iParms, void* iISD,
               BOOLEAN iDDLogFlag, RD_DatasetConcatenation* iDDConcat, const char* iServerName,
               int16_t iNormalizeGDG, int16_t iProcessingMode, BOOLEAN iFormatXML,
               int32_t debug);
// Every part but the name may be null (not written).
void KVR_PutRU(const char* iRunUnitName, const char* iPlanName, const char* iPsbName,
               const char* iIMSRegionName, const char* iDB2SubsystemName, BOOLEAN iFormatXML);

// Forgets the indentation of the last DD; called before each member.
void ResetImportRecordWriter();

} // namespace kvr

#endif
