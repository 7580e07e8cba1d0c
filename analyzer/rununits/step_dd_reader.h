// Reading the data a step gives its program through one of its DDs, record by record
// across the DD's concatenation: in-stream data kept with an entry, or the workstation
// file that stands for the entry's data set. On top: the TSO batch commands (SYSTSIN)
// and the DB2 attachment parameters (DDITV02) that name a step's run unit.
#ifndef KVR_RUNUNITS_STEP_DD_READER_H
#define KVR_RUNUNITS_STEP_DD_READER_H

#include <cstdint>

#include "kvrbase.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {

// Result codes of OpenStepDD, also passed on by ProcessSYSTSIN, ProcessDDITV02 and
// ProcessZOKFTP.
enum StepDDResult : int16_t {
    kStepDDNoMemory = 0,         // no handle
    kStepDDNotFound = 1,         // the step has no DD of that name; no handle
    kStepDDOpenFailed = 2,       // handle made, must be closed
    kStepDDInstream = 3,         // open on in-stream data
    kStepDDNoDatasetName = 4,    // handle made, must be closed
    kStepDDFile = 5,             // open on a file
    kStepDDTemporary = 6,        // "&&" data set; handle made, must be closed
    kStepDDNoEntry = 7,          // no handle
    kStepDDDummy = 8,            // no handle
    kStepDDNoRunUnit = 9,        // SYSTSIN/DDITV02 only: read, no run unit; closed
};

struct RD_DD_IO_Control;

// iFileReference/iFileLine: where messages point (the step's EXEC). iSuppressMsg
// suppresses, in Velkor mode only, the message about a DD or data set not opened.
int16_t OpenStepDD(MemberContext& ctx, RD_JobStep* iStep, const char* DDName, RD_DD_IO_Control** outControl,
                   SOURCE_REF iFileReference, int32_t iFileLine,
                   BOOLEAN iSuppressMsg);
// The next record (NUL-terminated, at most 80 characters plus a kept line end); FALSE at
// the end of the last readable entry. The record is valid until the next read.
BOOLEAN ReadStepDD(MemberContext& ctx, RD_DD_IO_Control* iControl, char** Record, SOURCE_REF iFileReference,
                   int32_t iFileLine);
void CloseStepDD(MemberContext& ctx, RD_DD_IO_Control* iControl);

// On 3 or 5 the three names are owned strings (CloneString) the caller releases.
int16_t ProcessSYSTSIN(MemberContext& ctx, RD_JobStep* Step, char** runUnitName, char** planName,
                       char** db2SubsystemName);
int16_t ProcessDDITV02(MemberContext& ctx, RD_JobStep* Step, char** runUnitName, char** planName,
                       char** db2SubsystemName);

} // namespace kvr

#endif
