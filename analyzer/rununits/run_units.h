// Run-unit detection: the program a step really runs, with its DB2 plan and subsystem and
// its IMS PSB and region, found in the EXEC statement, in SYSTSIN or in DDITV02; and the
// transfers of FTP steps. Detection reads and reports; the deck walk writes the records.
#ifndef KVR_RUNUNITS_RUN_UNITS_H
#define KVR_RUNUNITS_RUN_UNITS_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kvrbase.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {

// What runs in a step: the program, and what the run record names beside it when present.
struct RunUnit {
    std::string program;
    std::optional<std::string> plan;
    std::optional<std::string> psb;
    std::optional<std::string> region;
    std::optional<std::string> subsystem;
};

// The run unit of one step; SYSTSIN or DDITV02 are read where its program asks for it, and
// what is wrong with them is reported as it is met. Step null: the EXEC program.
RunUnit FindRunUnit(MemberContext& ctx, const char* iExecName, const char* iExecParm,
                    RD_JobStep* Step);

// One transfer of an FTP step: the data set names and servers of its input and output side.
struct FtpTransfer {
    int32_t number = 0;
    std::string inputName;
    std::string inputServer;
    std::string outputName;
    std::string outputServer;
};

// Whether the program transfers files by FTP (ZOKFTP); its INPUT DD holds the commands.
bool IsFtpProgram(const char* iExecName);
// Reads the FTP commands of the step's INPUT DD and hands each transfer to visit as soon as
// it is read, so that messages about the input and the transfers' records stay in order.
// Answers the open result of the DD (StepDDResult).
int16_t ForEachFtpTransfer(MemberContext& ctx, RD_JobStep* Step,
                           const std::function<void(const FtpTransfer&)>& visit);
// "FTP001_I", "FTP001_O", ...; past 999 the number simply grows (FTP1000_I).
std::string FtpTransferDDName(int32_t iNumber, char iSide);
// The data set name a path is written as: itself up to 56 characters, else "..." and
// its last 53 characters.
std::string PathNameForDD(const std::string& iPathName);
// An owned copy of a PARM value without its enclosing parentheses and, with removeApost,
// without its enclosing apostrophes.
char* CopyParmText(MemberContext& ctx, const char* iParms, BOOLEAN removeApost);

} // namespace kvr

#endif
