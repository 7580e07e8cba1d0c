// Run-unit detection: the program a step really runs, with its DB2 plan and subsystem and
// its IMS PSB and region, found in the EXEC statement, in SYSTSIN or in DDITV02; and the
// transfers of FTP steps as pairs of DD records.
#ifndef KVR_RUNUNITS_RUN_UNITS_H
#define KVR_RUNUNITS_RUN_UNITS_H

#include <cstdint>

#include "kvrbase.h"
#include "model/job_model.h"

namespace kvr {

// Writes the run-unit records of one step (and the transfer DDs of an FTP step).
void ProcessRunUnit(const char* iExecName, const char* iExecParm, RD_JobStep* Step,
                    int16_t iNormalizeGDG, int16_t iProcessingMode, BOOLEAN iFormatXML,
                    int32_t debug);
// An owned copy of a PARM value without its enclosing parentheses and, with removeApost,
// without its enclosing apostrophes.
char* CopyParmText(const char* iParms, BOOLEAN removeApost, int32_t debug);

} // namespace kvr

#endif
