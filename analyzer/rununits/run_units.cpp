// Run-unit detection: for every step the program it really runs, written as a run-unit
// record. Ordinary steps run their EXEC program; IMS region controllers name theirs in the
// PARM, the TSO terminal monitor in the DSN RUN command of SYSTSIN, and the DB2/IMS
// attachment program in DDITV02.
#include "rununits/run_units.h"

#include <cstring>
#include <string>

#include "driver/run_settings.h"
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

void FreeIfSet(char* iText, int32_t debug) {
    if (iText != nullptr) FreeString(iText, debug);
}

// The positional parameter as an owned value; absent beyond the end of the list.
std::optional<std::string> Positional(void* iParms, int32_t iSequence) {
    char* text = nullptr;
    if (iParms == nullptr || !QueryPositionalParm(iSequence, iParms, &text) || text == nullptr)
        return std::nullopt;
    return std::string(text);
}

} // namespace

char* CopyParmText(const char* iParms, BOOLEAN removeApost, int32_t debug) {
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
    return CloneString(copy.c_str(), debug);
}

bool HasRegionTypeAndProgram(const RegionControllerParm& iParm) {
    // A run unit without a name would make an unusable record: an empty program counts
    // as missing.
    return iParm.regionType && iParm.program && !iParm.program->empty();
}

RegionControllerParm ParseRegionControllerParm(const char* iExecParm, BOOLEAN useAsterisk,
                                               int16_t iProcessingMode, int32_t debug) {
    RegionControllerParm result;
    char* text = CopyParmText(iExecParm, TRUE, debug);
    void* parms = nullptr;
    CreateParmStructure(&parms, text, useAsterisk, iProcessingMode, debug);
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
    if (parms != nullptr) DeleteParmStructure(parms, debug != 0 ? TRUE : FALSE);
    FreeString(text, debug);
    return result;
}

void ProcessDFSRRC00(const char* iExecName, const char* iExecParm, RD_JobStep* Step,
                     BOOLEAN useAsterisk, int16_t iProcessingMode, BOOLEAN iFormatXML,
                     int32_t debug) {
    const int16_t mode = iProcessingMode;
    const RegionControllerParm parm =
        ParseRegionControllerParm(iExecParm, useAsterisk, mode, debug);
    if (!HasRegionTypeAndProgram(parm)) {
        KVRWriteMessageWithFileLine(MessageFor(mode, 1452, 3108), TRUE, Step->FileReference,
                                    Step->fileLine, mode);
        KVR_PutRU(iExecName, nullptr, nullptr, nullptr, nullptr, iFormatXML);
        return;
    }
    if (parm.psbDefaulted)
        KVRWriteMessageWithStringsAndFileLine(MessageFor(mode, 1453, 3109), parm.program->c_str(),
                                              nullptr, nullptr, nullptr, TRUE, Step->FileReference,
                                              Step->fileLine, mode);
    if (*parm.program == "DSNMTV01") {
        ProcessDSNMTV01(Step, parm.program->c_str(), OrNull(parm.psb), OrNull(parm.region), mode,
                        iFormatXML, debug);
        return;
    }
    KVR_PutRU(parm.program->c_str(), nullptr, OrNull(parm.psb), OrNull(parm.region), nullptr,
              iFormatXML);
}

// Reads the run unit from one of the step's DDs (SYSTSIN or DDITV02).
using RunUnitInputReader = int16_t (*)(RD_JobStep*, char**, char**, char**, int16_t, int32_t);

// Writes the run unit the reader found, with the PSB and region given; when it found none,
// the fallback name alone with them.
void PutRunUnitFromInput(RunUnitInputReader reader, RD_JobStep* Step, const char* iFallbackName,
                         const char* iPsbName, const char* iIMSRegionName, int16_t iProcessingMode,
                         BOOLEAN iFormatXML, int32_t debug) {
    char* runUnit = nullptr;
    char* plan = nullptr;
    char* subsystem = nullptr;
    const int16_t result = reader(Step, &runUnit, &plan, &subsystem, iProcessingMode, debug);
    if (StepDDWasRead(result))
        KVR_PutRU(runUnit, plan, iPsbName, iIMSRegionName, subsystem, iFormatXML);
    else
        KVR_PutRU(iFallbackName, nullptr, iPsbName, iIMSRegionName, nullptr, iFormatXML);
    FreeIfSet(runUnit, debug);
    FreeIfSet(plan, debug);
    FreeIfSet(subsystem, debug);
}

void ProcessDSNMTV01(RD_JobStep* Step, const char* iRunUnitName, const char* iPsbName,
                     const char* iIMSRegionName, int16_t iProcessingMode, BOOLEAN iFormatXML,
                     int32_t debug) {
    PutRunUnitFromInput(ProcessDDITV02, Step, iRunUnitName, iPsbName, iIMSRegionName,
                        iProcessingMode, iFormatXML, debug);
}

void ProcessIKJEFT01(const char* iExecName, RD_JobStep* Step, int16_t iProcessingMode,
                     BOOLEAN iFormatXML, int32_t debug) {
    PutRunUnitFromInput(ProcessSYSTSIN, Step, iExecName, nullptr, nullptr, iProcessingMode,
                        iFormatXML, debug);
}

void ProcessRunUnit(const char* iExecName, const char* iExecParm, RD_JobStep* Step,
                    int16_t iNormalizeGDG, int16_t iProcessingMode, BOOLEAN iFormatXML,
                    int32_t debug) {
    const char* name = iExecName != nullptr ? iExecName : "";
    if (Step == nullptr) { // nothing to read data from or to point messages at
        KVR_PutRU(name, nullptr, nullptr, nullptr, nullptr, iFormatXML);
        return;
    }
    if (NameIs(name, "DFSRRC00")) {
        ProcessDFSRRC00(name, iExecParm, Step, FALSE, iProcessingMode, iFormatXML, debug);
    } else if (NameIs(name, "BMPRRC00") || NameIs(name, "TOYRRC00") || NameIs(name, "IVTRRC00")) {
        ProcessDFSRRC00(name, iExecParm, Step, TRUE, iProcessingMode, iFormatXML, debug);
    } else if (NameIs(name, "IKJEFT01") || NameIs(name, "IKJEFT1A") || NameIs(name, "IKJEFT1B")) {
        ProcessIKJEFT01(name, Step, iProcessingMode, iFormatXML, debug);
    } else {
        KVR_PutRU(name, nullptr, nullptr, nullptr, nullptr, iFormatXML);
        if (NameIs(name, "ZOKFTP"))
            ProcessZOKFTP(Step, iNormalizeGDG, iProcessingMode, iFormatXML, debug);
    }
}

} // namespace kvr
