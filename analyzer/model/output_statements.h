// OUTPUT statements (FCB, FORMDEF, FORMS and DEFAULT) and the summary that replaces a
// SYSOUT DD's parameter text when it is written.
#ifndef KVR_MODEL_OUTPUT_STATEMENTS_H
#define KVR_MODEL_OUTPUT_STATEMENTS_H

#include "model/job_model.h"

namespace kvr {

struct RD_OutputSpecification {
    char* OutputSpecificationName;
    char* ParmValueFCB;     // whole parameter ("FCB=STD3") or null
    char* ParmValueFORMDEF; // or null
    char* ParmValueFORMS;   // or null
    BOOLEAN IsDefault;
};

void KVR4037_InitializeFields();
void ProcessOutputCard(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
RD_OutputSpecification* AllocateOutputSpecification(const char* ArgOutputName,
                                                    const char* ArgFCB, const char* ArgFORMDEF,
                                                    const char* ArgFORMS, BOOLEAN ArgIsDefault,
                                                    int16_t iProcessingMode, int32_t debug);
void FreeOutputSpecification(RD_OutputSpecification* iSpec, int32_t debug);
const char* QueryOutputSpecificationName(const RD_OutputSpecification* iSpec);
const char* QueryOutputSpecificationFCB(const RD_OutputSpecification* iSpec);
const char* QueryOutputSpecificationFORMDEF(const RD_OutputSpecification* iSpec);
const char* QueryOutputSpecificationFORMS(const RD_OutputSpecification* iSpec);
BOOLEAN QueryIsOutputSpecificationDefault(const RD_OutputSpecification* iSpec);
// The parameter text to write for a data set entry: ParmArg itself, or the module's summary
// text (valid until the next call). iStep is null for a job-level DD.
const char* ProcessOutputSpecs(RD_JobStep* iStep, const char* ParmArg, int16_t iProcessingMode,
                               int32_t debug);
// Owned summary of one OUTPUT statement ("FCB=STD3, FORMS=1PRT"); empty when none applies.
char* OrphanFormattedFormsInfoForOneOutput(const RD_OutputSpecification* OutputSpec,
                                           int32_t debug);

} // namespace kvr

#endif
