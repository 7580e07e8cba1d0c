// Pieces of run-unit detection shared between its source files: the region controller PARM
// split into its names, the state of an FTP command stream and the transfers it yields, and
// the per-program handlers that write the records.
#ifndef KVR_RUNUNITS_RUN_UNITS_INTERNAL_H
#define KVR_RUNUNITS_RUN_UNITS_INTERNAL_H

#include <cstdint>
#include <optional>
#include <string>

#include "kvrbase.h"
#include "model/job_model.h"
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
RegionControllerParm ParseRegionControllerParm(const char* iExecParm, BOOLEAN useAsterisk,
                                               int16_t iProcessingMode, int32_t debug);

void ProcessDFSRRC00(const char* iExecName, const char* iExecParm, RD_JobStep* Step,
                     BOOLEAN useAsterisk, int16_t iProcessingMode, BOOLEAN iFormatXML,
                     int32_t debug);
void ProcessDSNMTV01(RD_JobStep* Step, const char* iRunUnitName, const char* iPsbName,
                     const char* iIMSRegionName, int16_t iProcessingMode, BOOLEAN iFormatXML,
                     int32_t debug);
void ProcessIKJEFT01(const char* iExecName, RD_JobStep* Step, int16_t iProcessingMode,
                     BOOLEAN iFormatXML, int32_t debug);

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

// One transfer: the data set names and servers of its input and output side.
struct FtpTransfer {
    int32_t number = 0;
    std::string inputName;
    std::string inputServer;
    std::string outputName;
    std::string outputServer;
};

// Feeds one record of the command stream; TRUE with *outTransfer for GET, PUT and APPEND.
bool FtpProcessRecord(FtpInputState& state, const char* iRecord, FtpTransfer* outTransfer);
// "FTP001_I", "FTP001_O", ...; past 999 the number simply grows (FTP1000_I).
std::string FtpTransferDDName(int32_t iNumber, char iSide);
// The data set name a path is written as: itself up to 56 characters, else "..." and
// its last 53 characters.
std::string PathNameForDD(const std::string& iPathName);

int16_t ProcessZOKFTP(RD_JobStep* Step, int16_t iNormalizeGDG, int16_t iProcessingMode,
                      BOOLEAN iFormatXML, int32_t debug);
void ProcessZOKFTP_INPUT(RD_DD_IO_Control* Handle, int16_t iProcessingMode,
                         SOURCE_REF iFileReference, int32_t iFileLine, int16_t iNormalizeGDG,
                         BOOLEAN iFormatXML, int32_t debug);
void PutPathNameAsDD(const char* iDDName, const char* iPathName, const char* iServerName,
                     int16_t iNormalizeGDG, int16_t iProcessingMode, BOOLEAN iFormatXML,
                     int32_t debug);

} // namespace kvr

#endif
