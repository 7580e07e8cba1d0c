// Parameter capture: the control file "DD:KVRPCTL" names the programs whose input data
// go into the import file and, for each, the DDs whose data are wanted. Also the reader
// of one data set entry's data used by the DD records.
#ifndef KVR_RUNUNITS_PARAMETER_CAPTURE_H
#define KVR_RUNUNITS_PARAMETER_CAPTURE_H

#include <cstdint>

#include "kvrbase.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {

// Reads the control file once for the run; FALSE only when the list cannot be made.
BOOLEAN InitializeParameterCaptureControl(RunContext& run);
// *PtrArg := the first control entry (file order) whose program pattern matches, or null.
BOOLEAN CheckProgramForParmLogging(const RunContext& run, const char* iProgramName,
                                   void** PtrArg);
// TRUE when the control entry iPgm (may be null) selects the DD name.
BOOLEAN CheckDDForParmLogging(void* iPgm, const char* iDDName);
// Cuts InString at its first blank or line feed; returns it.
char* CutOffSpacesAndNewLine(char* InString);

// The data of one data set entry. Open hands out a handle in every case but a memory
// failure; FALSE when the file could not be opened (1444/3101 and a MSG record).
BOOLEAN OpenConcatenationData(MemberContext& ctx, RD_DatasetConcatenation* ConcatArg, void** Control);
// The next record and its length (at most 80 characters, a shorter line keeping its line
// end); FALSE at the end. In Dravix mode the in-stream data's "DD DATALINES" record is
// written before its first record.
BOOLEAN ReadConcatenationData(MemberContext& ctx, void* iControl, char** Record, int32_t* RecordLength);
BOOLEAN CloseConcatenationData(MemberContext& ctx, void* iControl);

} // namespace kvr

#endif
