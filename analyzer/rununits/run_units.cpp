// Run-unit detection: for every step the program it really runs. Ordinary steps run their
// EXEC program; IMS region controllers name theirs in the PARM, the TSO terminal monitor in
// the DSN RUN command of SYSTSIN, and the DB2/IMS attachment program in DDITV02.
#include "rununits/run_units.h"

#include <cstring>
#include <string>

#include "rununits/run_units_internal.h"
#include "rununits/step_dd_reader.h"

namespace kvr {
namespace {

bool NameIs(const char* iName, const char* iWanted) {
    return std::strcmp(iName, iWanted) == 0;
}

std::optional<std::string> Owned(const char* iText) {
    if (iText == nullptr) return std::nullopt;
    return std::string(iText);
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

namespace {

// Reads the run unit from one of the step's DDs (SYSTSIN or DDITV02).
using RunUnitInputReader = int16_t (*)(MemberContext&, RD_JobStep*, char**, char**, char**);

// The run unit the reader found, with the PSB and region given; when it found none, the
// fallback name alone with them.
RunUnit RunUnitFromInput(MemberContext& ctx, RunUnitInputReader reader, RD_JobStep* Step,
                         const std::string& iFallbackName, std::optional<std::string> iPsbName,
                         std::optional<std::string> iIMSRegionName) {
    char* runUnit = nullptr;
    char* plan = nullptr;
    char* subsystem = nullptr;
    const int16_t result = reader(ctx, Step, &runUnit, &plan, &subsystem);
    RunUnit found;
    if (StepDDWasRead(result)) {
        found = RunUnit{runUnit != nullptr ? runUnit : "", Owned(plan), std::move(iPsbName),
                        std::move(iIMSRegionName), Owned(subsystem)};
    } else {
        found = RunUnit{iFallbackName, std::nullopt, std::move(iPsbName),
                        std::move(iIMSRegionName), std::nullopt};
    }
    FreeIfSet(ctx, runUnit);
    FreeIfSet(ctx, plan);
    FreeIfSet(ctx, subsystem);
    return found;
}

RunUnit RegionControllerRunUnit(MemberContext& ctx, const char* iExecName, const char* iExecParm,
                                RD_JobStep* Step, BOOLEAN useAsterisk) {
    const RegionControllerParm parm = ParseRegionControllerParm(ctx, iExecParm, useAsterisk);
    if (!HasRegionTypeAndProgram(parm)) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1452, 3108), TRUE, Step->FileReference,
                                    Step->fileLine, ctx.run.mode);
        return RunUnit{iExecName};
    }
    if (parm.psbDefaulted)
        KVRWriteMessageWithStringsAndFileLine(MessageFor(ctx, 1453, 3109), parm.program->c_str(),
                                              nullptr, nullptr, nullptr, TRUE, Step->FileReference,
                                              Step->fileLine, ctx.run.mode);
    // The DB2 attachment program names its run unit in DDITV02.
    if (*parm.program == "DSNMTV01")
        return RunUnitFromInput(ctx, ProcessDDITV02, Step, *parm.program, parm.psb, parm.region);
    return RunUnit{*parm.program, std::nullopt, parm.psb, parm.region, std::nullopt};
}

} // namespace

RunUnit FindRunUnit(MemberContext& ctx, const char* iExecName, const char* iExecParm,
                    RD_JobStep* Step) {
    const char* name = iExecName != nullptr ? iExecName : "";
    if (Step == nullptr) return RunUnit{name}; // nothing to read data from or to point at
    if (NameIs(name, "DFSRRC00")) return RegionControllerRunUnit(ctx, name, iExecParm, Step, FALSE);
    if (NameIs(name, "BMPRRC00") || NameIs(name, "TOYRRC00") || NameIs(name, "IVTRRC00"))
        return RegionControllerRunUnit(ctx, name, iExecParm, Step, TRUE);
    if (NameIs(name, "IKJEFT01") || NameIs(name, "IKJEFT1A") || NameIs(name, "IKJEFT1B"))
        return RunUnitFromInput(ctx, ProcessSYSTSIN, Step, name, std::nullopt, std::nullopt);
    return RunUnit{name};
}

} // namespace kvr
