// OUTPUT statements keep only their FCB, FORMDEF and FORMS parameters and their DEFAULT
// flag. When a SYSOUT DD is written, its parameter text is replaced by a short summary of
// the form information of the OUTPUT statements it names (OUTPUT=) or picks up by default.
#include "model/output_statements.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "driver/run_settings.h"
#include "model/model_lists.h"

namespace kvr {
namespace {

constexpr size_t kSummaryMax = 511;

// The summary handed out by ProcessOutputSpecs, valid until the next call.
char FormattedParms[kSummaryMax + 1] = {};
int32_t FormSpecsAdded = 0;

// Appends as much of text as fits in a summary of at most kSummaryMax characters.
void AddToBuf(char* buffer, const char* text) {
    const size_t used = std::strlen(buffer);
    if (used >= kSummaryMax) return;
    const size_t room = kSummaryMax - used;
    const size_t length = std::min(std::strlen(text), room);
    std::memcpy(buffer + used, text, length);
    buffer[used + length] = '\0';
}

void ResetFormattedParms() {
    FormattedParms[0] = '\0';
    AddToBuf(FormattedParms, "SYSOUT:");
    FormSpecsAdded = 0;
}

// One piece of the summary: a blank and the text; an empty text adds nothing.
void ConcatenateFormText(const char* text) {
    if (text == nullptr || *text == '\0') return;
    AddToBuf(FormattedParms, " ");
    AddToBuf(FormattedParms, text);
    ++FormSpecsAdded;
}

// The present ones of FCB, FORMDEF and FORMS, joined by ", ", into a 512-character text.
void OrphanFormsText(const RD_OutputSpecification* spec, char* text) {
    text[0] = '\0';
    for (const char* parm : {spec->ParmValueFCB, spec->ParmValueFORMDEF, spec->ParmValueFORMS}) {
        if (parm == nullptr) continue;
        if (text[0] != '\0') AddToBuf(text, ", ");
        AddToBuf(text, parm);
    }
}

void AppendSummaryOf(const RD_OutputSpecification* spec, int32_t debug) {
    char* text = OrphanFormattedFormsInfoForOneOutput(spec, debug);
    ConcatenateFormText(text);
    FreeString(text, debug);
}

// Appends the summary of every default OUTPUT statement of the list; TRUE when the list
// holds at least one, whether or not it had anything to append.
bool ProcessDefaultsInList(void* list, int32_t debug) {
    void* cursor = nullptr;
    if (list == nullptr || !KVR_CreateCursor(list, &cursor, debug)) return false;
    bool found = false;
    void* data = nullptr;
    for (bool more = GetDataAtCursor(cursor, &data) != 0; more;
         more = AdvanceCursor(cursor) != 0 && GetDataAtCursor(cursor, &data) != 0) {
        const auto* spec = static_cast<const RD_OutputSpecification*>(data);
        if (!spec->IsDefault) continue;
        found = true;
        AppendSummaryOf(spec, debug);
    }
    DeleteCursor(cursor, debug);
    return found;
}

void* JobOutputList() {
    return QueryJobOutputSpecificationList(QueryCurrentJob());
}

const char* SummaryOr(const char* text) {
    return FormSpecsAdded > 0 ? FormattedParms : text;
}

// Step defaults hide the job's; a job-level DD (no step) consults only the job's list.
const char* ProcessDefaultOutput(RD_JobStep* step, const char* text, int32_t debug) {
    ResetFormattedParms();
    if (!ProcessDefaultsInList(QueryStepOutputSpecificationList(step), debug))
        ProcessDefaultsInList(JobOutputList(), debug);
    return SummaryOr(text);
}

// The references of OUTPUT=(...) or OUTPUT=ref; false when the text has no OUTPUT keyword.
bool OutputReferences(const char* text, std::string& references, int16_t mode, int32_t debug) {
    void* parms = nullptr;
    CreateParmStructure(&parms, text, FALSE, mode, debug);
    char* parm = nullptr;
    const bool found = parms != nullptr && QueryKeywordParm("OUTPUT", parms, &parm);
    if (found) {
        references = parm + std::strlen("OUTPUT=");
        if (!references.empty() && references[0] == '(') {
            references.erase(0, 1);
            references.erase(std::min(references.find(')'), references.size()));
        }
    }
    DeleteParmStructure(parms, debug ? TRUE : FALSE);
    return found;
}

const RD_OutputSpecification* FindOutput(RD_JobStep* step, const char* name) {
    void* data = nullptr;
    if (step != nullptr && FindItemWithKey(QueryStepOutputSpecificationList(step), name, &data))
        return static_cast<const RD_OutputSpecification*>(data);
    if (FindItemWithKey(JobOutputList(), name, &data))
        return static_cast<const RD_OutputSpecification*>(data);
    return nullptr;
}

const char* ProcessNamedOutput(RD_JobStep* step, const char* text, int16_t mode, int32_t debug) {
    std::string references;
    if (!OutputReferences(text, references, mode, debug)) return text;
    ResetFormattedParms();
    void* parms = nullptr;
    CreateParmStructure(&parms, references.c_str(), FALSE, mode, debug);
    const int32_t count = parms != nullptr ? QueryParmCount(parms) : 0;
    for (int32_t i = 1; i <= count; ++i) {
        char* reference = nullptr;
        if (!QueryPositionalParm(i, parms, &reference)) continue;
        // Drop the "*." of *.name; a qualified *.step.name is thus looked up as step.name.
        const char* name = std::strlen(reference) >= 2 ? reference + 2 : "";
        const RD_OutputSpecification* spec = FindOutput(step, name);
        if (spec != nullptr)
            AppendSummaryOf(spec, debug);
        else
            KVRWriteMessageWithStrings(MessageFor(mode, 1445, 3102), name, nullptr, nullptr,
                                       nullptr);
    }
    DeleteParmStructure(parms, debug ? TRUE : FALSE);
    return SummaryOr(text);
}

const char* ProcessSysout(RD_JobStep* step, const char* text, int16_t mode, int32_t debug) {
    if (std::strstr(text, "OUTPUT=") != nullptr) return ProcessNamedOutput(step, text, mode, debug);
    return ProcessDefaultOutput(step, text, debug);
}

bool HasSysoutParm(const char* text, int16_t mode, int32_t debug) {
    void* parms = nullptr;
    CreateParmStructure(&parms, text, FALSE, mode, debug);
    bool found = false;
    const int32_t count = parms != nullptr ? QueryParmCount(parms) : 0;
    for (int32_t i = 1; i <= count && !found; ++i) {
        char* parm = nullptr;
        found = QueryPositionalParm(i, parms, &parm) && std::strncmp(parm, "SYSOUT=", 7) == 0;
    }
    DeleteParmStructure(parms, debug ? TRUE : FALSE);
    return found;
}

void FreeSpecItem(void* data, int32_t debug) {
    FreeOutputSpecification(static_cast<RD_OutputSpecification*>(data), debug);
}

char* CloneOrNull(const char* text, int32_t debug) {
    return text != nullptr ? CloneString(text, debug) : nullptr;
}

} // namespace

void KVR4037_InitializeFields() {
    FormattedParms[0] = '\0';
    FormSpecsAdded = 0;
}

// ---------------------------------------------------------------- OUTPUT statement records

RD_OutputSpecification* AllocateOutputSpecification(const char* ArgOutputName, const char* ArgFCB,
                                                    const char* ArgFORMDEF, const char* ArgFORMS,
                                                    BOOLEAN ArgIsDefault, int16_t iProcessingMode,
                                                    int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_OutputSpecification), "AllocateOutputSpecification",
                              debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return nullptr;
    }
    auto* spec = static_cast<RD_OutputSpecification*>(block);
    spec->OutputSpecificationName = CloneString(TextOrEmpty(ArgOutputName), debug);
    spec->ParmValueFCB = CloneOrNull(ArgFCB, debug);
    spec->ParmValueFORMDEF = CloneOrNull(ArgFORMDEF, debug);
    spec->ParmValueFORMS = CloneOrNull(ArgFORMS, debug);
    spec->IsDefault = ArgIsDefault;
    return spec;
}

void FreeOutputSpecification(RD_OutputSpecification* iSpec, int32_t debug) {
    if (iSpec == nullptr) return;
    FreeString(iSpec->OutputSpecificationName, debug);
    FreeString(iSpec->ParmValueFCB, debug);
    FreeString(iSpec->ParmValueFORMDEF, debug);
    FreeString(iSpec->ParmValueFORMS, debug);
    FreeBlockWithDebug(iSpec, "FreeOutputSpecification", debug);
}

void FreeOutputSpecificationList(void* iList, int32_t debug) {
    DrainList(iList, FreeSpecItem, "FreeOutputSpecificationList", debug);
}

const char* QueryOutputSpecificationName(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->OutputSpecificationName : nullptr;
}
const char* QueryOutputSpecificationFCB(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->ParmValueFCB : nullptr;
}
const char* QueryOutputSpecificationFORMDEF(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->ParmValueFORMDEF : nullptr;
}
const char* QueryOutputSpecificationFORMS(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->ParmValueFORMS : nullptr;
}
BOOLEAN QueryIsOutputSpecificationDefault(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->IsDefault : FALSE;
}

void ProcessOutputCard(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    // Without a job there is no list to hold the statement; making a record would only leak it.
    if (iStmt == nullptr || QueryCurrentJob() == nullptr) return;
    char* fcb = nullptr;
    char* formdef = nullptr;
    char* forms = nullptr;
    char* defaultParm = nullptr;
    if (!JCLStatementKeywordParm(iStmt, "FCB", &fcb, iProcessingMode, debug)) fcb = nullptr;
    if (!JCLStatementKeywordParm(iStmt, "FORMDEF", &formdef, iProcessingMode, debug))
        formdef = nullptr;
    if (!JCLStatementKeywordParm(iStmt, "FORMS", &forms, iProcessingMode, debug)) forms = nullptr;
    const BOOLEAN isDefault =
        JCLStatementKeywordParm(iStmt, "DEFAULT", &defaultParm, iProcessingMode, debug) &&
                defaultParm[std::strlen("DEFAULT=")] == 'Y'
            ? TRUE
            : FALSE;
    RD_OutputSpecification* spec = AllocateOutputSpecification(
        iStmt->StatementLabel, fcb, formdef, forms, isDefault, iProcessingMode, debug);
    if (spec == nullptr) return;
    if (!AddOutput(spec, spec->OutputSpecificationName, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        FreeOutputSpecification(spec, debug);
    }
}

char* OrphanFormattedFormsInfoForOneOutput(const RD_OutputSpecification* OutputSpec,
                                           int32_t debug) {
    char text[kSummaryMax + 1] = {};
    if (OutputSpec != nullptr) OrphanFormsText(OutputSpec, text);
    return CloneString(text, debug);
}

const char* ProcessOutputSpecs(RD_JobStep* iStep, const char* ParmArg, int16_t iProcessingMode,
                               int32_t debug) {
    if (ParmArg == nullptr || !HasSysoutParm(ParmArg, iProcessingMode, debug)) return ParmArg;
    return ProcessSysout(iStep, ParmArg, iProcessingMode, debug);
}

} // namespace kvr
