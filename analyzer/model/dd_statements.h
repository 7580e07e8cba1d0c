// DD statements: the values of a data set entry (DUMMY, data set name, DISP status and
// disposition, parameter text, in-stream data) taken from a statement, and the merge of an
// overriding statement into a procedure step's entry.
#ifndef KVR_MODEL_DD_STATEMENTS_H
#define KVR_MODEL_DD_STATEMENTS_H

#include <string>

#include "model/job_model.h"

namespace kvr {

void ProcessDDCard(void* arrayJclDeck, JCLStatement* iStmt, const char* iSiteName,
                   int16_t iProcessingMode, int32_t debug);
void MergeProcedureConcatenation(RD_DatasetConcatenation* iConcat, JCLStatement* iStmt,
                                 int16_t iProcessingMode, int32_t debug);
void AddProcedureConcatenation(RD_DDStatement* iDD, JCLStatement* iStmt,
                               int16_t iProcessingMode, int32_t debug);
RD_DatasetConcatenation* AllocateConcatenation(SOURCE_REF iFileReference, int32_t iFileLine,
                                               int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                                               const char* iDatasetName, const char* iStatus,
                                               const char* iDisposition, const char* iParms,
                                               void* iInStreamData, int16_t iProcessingMode,
                                               int32_t debug);
void MergeConcatenation(RD_DatasetConcatenation* iEntry, SOURCE_REF iFileReference,
                        int32_t iFileLine, int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                        const char* iDatasetName, const char* iStatus, const char* iDisposition,
                        const char* iParms, void* iInStreamData, int16_t iProcessingMode,
                        int32_t debug);
// Status and normal disposition of a parenthesised DISP value such as (NEW,CATLG,DELETE).
void ExtractStatusAndDisposition(const char* iValue, std::string& outStatus,
                                 std::string& outDisposition);

} // namespace kvr

#endif
