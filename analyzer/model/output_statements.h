// OUTPUT statements (FCB, FORMDEF, FORMS and DEFAULT) and the summary that replaces a
// SYSOUT DD's parameter text when it is written.
#ifndef KVR_MODEL_OUTPUT_STATEMENTS_H
#define KVR_MODEL_OUTPUT_STATEMENTS_H

#include "model/job_model.h"
#include "base/contexts.h"

namespace kvr {

struct RD_OutputSpecification {
    OwnedText OutputSpecificationName;
    OwnedText ParmValueFCB;     // whole parameter ("FCB=STD3") or null
    OwnedText ParmValueFORMDEF; // or null
    OwnedText ParmValueFORMS;   // or null
    BOOLEAN IsDefault;
};

void KVR4037_InitializeFields(MemberContext& ctx);
void ProcessOutputCard(MemberContext& ctx, JCLStatement* iStmt);
RD_OutputSpecification* AllocateOutputSpecification(MemberContext& ctx, const char* ArgOutputName,
                                                    const char* ArgFCB, const char* ArgFORMDEF,
                                                    const char* ArgFORMS, BOOLEAN ArgIsDefault);
void FreeOutputSpecification(RD_OutputSpecification* iSpec);
const char* QueryOutputSpecificationName(const RD_OutputSpecification* iSpec);
const char* QueryOutputSpecificationFCB(const RD_OutputSpecification* iSpec);
const char* QueryOutputSpecificationFORMDEF(const RD_OutputSpecification* iSpec);
const char* QueryOutputSpecificationFORMS(const RD_OutputSpecification* iSpec);
BOOLEAN QueryIsOutputSpecificationDefault(const RD_OutputSpecification* iSpec);
// The parameter text to write for a data set entry: ParmArg itself, or the module's summary
// text (valid until the next call). iStep is null for a job-level DD.
const char* ProcessOutputSpecs(MemberContext& ctx, RD_JobStep* iStep, const char* ParmArg);
// Owned summary of one OUTPUT statement ("FCB=STD3, FORMS=1PRT"); empty when none applies.
char* OrphanFormattedFormsInfoForOneOutput(MemberContext& ctx, const RD_OutputSpecification* OutputSpec);

} // namespace kvr

#endif
