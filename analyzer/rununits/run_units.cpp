// Run-unit detection: for every step the program it really runs, written as a run-unit
// record. Ordinary steps run their EXEC program; IMS region controllers name theirs in the
// PARM, the TSO terminal monitor in the DSN RUN command of SYSTSIN, and the DB2/IMS
// attachment program in DDITV02.
#include "rununits/run_units.h"
#include "base/contexts.h"

#include <cstring>
#include <string>

#include "output/import_records.h"
#include "rununits/run_units_internal.h"
#include "rununits/step_dd_reader.h"

namespace kvr {
namespace {

bool NameIs(const char* iName, const char* iWanted) {
    return std::strcmp(iName, iWanted) == 0;
}

const char* OrNull(const std::optional<std::string>& iValue) {
    return iValue ? iValue->c_str() : nullptr;
}

bool StepDDWasRead(int16_t iResult) {
    return iResult == kStepDDInstream || iResult == kStepDDFile;
}

void FreeIfSet(MemberContext& ctx, char* iText) {
    if (iText != nullptr) FreeString(iText, ctx.run.debug);
}

// The positional parameter as an owned value; absent beyond the end of the list.
std::optional<std::string> Positional(void* iParms, int32_t iSequence) {
    char* text = nullptr;
    if (iParms == nullptr || !QueryPositionalParm(iSequence, iParms, &text) || text == nullptr)
        return std::nullopt;
    return std::string(text);
}

} // namespace

char* CopyParmText(MemberContext& ctx, const char* iParms, BOOLEAN removeApost) {
    const std::string text = iParms != nullptr ? iParms : "";
    size_t start = 0;
    const bool parenthesised = !text.empty() && text.front() == '(';
    if (parenthesised) ++start;
    if (removeApost && start < text.size() && text[start] == '\'') ++start;
    std::string copy = text.substr(start);
    if (removeApost) {
        const size_t apostrophe = copy.find('\'');
        if (apostrophe != std::string::npos) copy.erase(apostrophe);
    }
    if (parenthesised) {
        const size_t close = copy.rfind(')');
        if (close != std::string::npos) copy.erase(close);
    }
    return CloneString(copy.c_str(), ctx.run.debug);
}

bool HasRegionTypeAndProgram(const RegionControllerParm& iParm) {
    // A run unit without a name would make an unusable record: an empty program counts
    // as missing.
    return iParm.regionType && iParm.program && !iParm.program->empty();
}

RegionControllerParm ParseRegionControllerParm(MemberContext& ctx, const char* iExecParm, BOOLEAN useAsterisk) {
    RegionControllerParm result;
    char* text = CopyParmText(ctx, iExecParm, TRUE);
    void* parms = nullptr;
    CreateParmStructure(&parms, text, useAsterisk, ctx.run.mode, ctx.run.debug);
    result.regionType = Positional(parms, 1);
    result.program = Positional(parms, 2);
    if (HasRegionTypeAndProgram(result)) {
        const bool bmp = *result.regionType == "BMP";
        result.region = Positional(parms, bmp ? 14 : 12);
        if (*result.regionType != "UDR" && *result.regionType != "ULU") {
            result.psb = Positional(parms, 3);
            if (!result.psb) {
                result.psb = result.program;
                result.psbDefaulted = true;
            }
        }
    }
    if (parms != nullptr) DeleteParmStructure(parms, ctx.run.debug != 0 ? TRUE : FALSE);
    FreeString(text, ctx.run.debug);
    return result;
}

void ProcessDFSRRC00(MemberContext& ctx, const char* iExecName, const char* iExecParm, RD_JobStep* Step,
                     BOOLEAN useAsterisk) {
    const int16_t mode = ctx.run.mode;
    const RegionControllerParm parm =
        ParseRegionControllerParm(ctx, iExecParm, useAsterisk);
    if (!HasRegionTypeAndProgram(parm)) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1452, 3108), TRUE, Step->FileReference,
                                    Step->fileLine, mode);
        KVR_PutRU(ctx, iExecName, nullptr, nullptr, nullptr, nullptr);
        return;
    }
    if (parm.psbDefaulted)
        KVRWriteMessageWithStringsAndFileLine(MessageFor(ctx, 1453, 3109), parm.program->c_str(),
                                              nullptr, nullptr, nullptr, TRUE, Step->FileReference,
                                              Step->fileLine, mode);
    if (*parm.program == "DSNMTV01") {
        ProcessDSNMTV01(ctx, Step, parm.program->c_str(), OrNull(parm.psb), OrNull(parm.region));
        return;
    }
    KVR_PutRU(ctx, parm.program->c_str(), nullptr, OrNull(parm.psb), OrNull(parm.region), nullptr);
}

// Reads the run unit from one of the step's DDs (SYSTSIN or DDITV02).
using RunUnitInputReader = int16_t (*)(MemberContext&, RD_JobStep*, char**, char**, char**);

// Writes the run unit the reader found, with the PSB and region given; when it found none,
// the fallback name alone with them.
void PutRunUnitFromInput(MemberContext& ctx, RunUnitInputReader reader, RD_JobStep* Step, const char* iFallbackName,
                         const char* iPsbName, const char* iIMSRegionName) {
    char* runUnit = nullptr;
    char* plan = nullptr;
    char* subsystem = nullptr;
    const int16_t result = reader(ctx, Step, &runUnit, &plan, &subsystem);
    if (StepDDWasRead(result))
        KVR_PutRU(ctx, runUnit, plan, iPsbName, iIMSRegionName, subsystem);
    else
        KVR_PutRU(ctx, iFallbackName, nullptr, iPsbName, iIMSRegionName, nullptr);
    FreeIfSet(ctx, runUnit);
    FreeIfSet(ctx, plan);
    FreeIfSet(ctx, subsystem);
}

void ProcessDSNMTV01(MemberContext& ctx, RD_JobStep* Step, const char* iRunUnitName, const char* iPsbName,
                     const char* iIMSRegionName) {
    PutRunUnitFromInput(ctx, ProcessDDITV02, Step, iRunUnitName, iPsbName, iIMSRegionName);
}

void ProcessIKJEFT01(MemberContext& ctx, const char* iExecName, RD_JobStep* Step) {
    PutRunUnitFromInput(ctx, ProcessSYSTSIN, Step, iExecName, nullptr, nullptr);
}

void ProcessRunUnit(MemberContext& ctx, const char* iExecName, const char* iExecParm, RD_JobStep* Step) {
    const char* name = iExecName != nullptr ? iExecName : "";
    if (Step == nullptr) { // nothing to read data from or to point messages at
        KVR_PutRU(ctx, name, nullptr, nullptr, nullptr, nullptr);
        return;
    }
    if (NameIs(name, "DFSRRC00")) {
        ProcessDFSRRC00(ctx, name, iExecParm, Step, FALSE);
    } else if (NameIs(name, "BMPRRC00") || NameIs(name, "TOYRRC00") || NameIs(name, "IVTRRC00")) {
        ProcessDFSRRC00(ctx, name, iExecParm, Step, TRUE);
    } else if (NameIs(name, "IKJEFT01") || NameIs(name, "IKJEFT1A") || NameIs(name, "IKJEFT1B")) {
        ProcessIKJEFT01(ctx, name, Step);
    } else {
        KVR_PutRU(ctx, name, nullptr, nullptr, nullptr, nullptr);
        if (NameIs(name, "ZOKFTP"))
            ProcessZOKFTP(ctx, Step);
    }
}

} // namespace kvr
