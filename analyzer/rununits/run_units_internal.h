// Pieces of run-unit detection shared between its source files: the region controller PARM
// split into its names, and the state of an FTP command stream.
#ifndef KVR_RUNUNITS_RUN_UNITS_INTERNAL_H
#define KVR_RUNUNITS_RUN_UNITS_INTERNAL_H

#include <cstdint>
#include <optional>
#include <string>

#include "kvrbase.h"
#include "base/contexts.h"
#include "model/job_model.h"
#include "rununits/run_units.h"
#include "rununits/step_dd_reader.h"

namespace kvr {

// ---- IMS region controllers (DFSRRC00 and its relatives)

// The names of a region controller PARM; a part is absent when the PARM is too short.
struct RegionControllerParm {
    std::optional<std::string> regionType; // positional 1
    std::optional<std::string> program;    // positional 2
    std::optional<std::string> psb;        // positional 3, the program when defaulted
    std::optional<std::string> region;     // positional 14 for BMP, else 12
    bool psbDefaulted = false;             // no PSB given: the program stands in (1453)
};

// TRUE when both the region type and a non-empty program name are there.
bool HasRegionTypeAndProgram(const RegionControllerParm& iParm);
// Splits the EXEC PARM (apostrophes and parentheses dropped); useAsterisk ends the
// parameter list at the first asterisk.
RegionControllerParm ParseRegionControllerParm(MemberContext& ctx, const char* iExecParm, BOOLEAN useAsterisk);


// ---- FTP transfers of the ZOKFTP utility

constexpr size_t kFtpServerMax = 254;
constexpr size_t kFtpPathMax = 511;
constexpr size_t kFtpActionMax = 15;
constexpr size_t kFtpOperandMax = 511;
constexpr size_t kDDPathMax = 56;

// What the commands of one INPUT DD have set so far.
struct FtpInputState {
    int32_t recordCount = 0;   // records counted (comment records "/*" are not)
    int32_t transferCount = 0; // GET, PUT and APPEND commands met
    std::string server;        // first word of record 1
    std::string path;          // current remote directory, "/" separated
};

// Feeds one record of the command stream; TRUE with *outTransfer for GET, PUT and APPEND.
bool FtpProcessRecord(FtpInputState& state, const char* iRecord, FtpTransfer* outTransfer);

} // namespace kvr

#endif
