// OUTPUT statements keep only their FCB, FORMDEF and FORMS parameters and their DEFAULT
// flag. When a SYSOUT DD is written, its parameter text is replaced by a short summary of
// the form information of the OUTPUT statements it names (OUTPUT=) or picks up by default.
#include "model/output_statements.h"
#include "base/contexts.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "model/model_lists.h"

namespace kvr {
namespace {

constexpr size_t kSummaryMax = 511;


// Appends as much of text as fits in a summary of at most kSummaryMax characters.
void AddToBuf(char* buffer, const char* text) {
    const size_t used = std::strlen(buffer);
    if (used >= kSummaryMax) return;
    const size_t room = kSummaryMax - used;
    const size_t length = std::min(std::strlen(text), room);
    std::memcpy(buffer + used, text, length);
    buffer[used + length] = '\0';
}

void ResetFormattedParms(MemberContext& ctx) {
    ctx.model.outputSummary[0] = '\0';
    AddToBuf(ctx.model.outputSummary, "SYSOUT:");
    ctx.model.outputSummaryParts = 0;
}

// One piece of the summary: a blank and the text; an empty text adds nothing.
void ConcatenateFormText(MemberContext& ctx, const char* text) {
    if (text == nullptr || *text == '\0') return;
    AddToBuf(ctx.model.outputSummary, " ");
    AddToBuf(ctx.model.outputSummary, text);
    ++ctx.model.outputSummaryParts;
}

// The present ones of FCB, FORMDEF and FORMS, joined by ", ", into a 512-character text.
void OrphanFormsText(const RD_OutputSpecification* spec, char* text) {
    text[0] = '\0';
    for (const char* parm :
         {spec->ParmValueFCB.get(), spec->ParmValueFORMDEF.get(), spec->ParmValueFORMS.get()}) {
        if (parm == nullptr) continue;
        if (text[0] != '\0') AddToBuf(text, ", ");
        AddToBuf(text, parm);
    }
}

void AppendSummaryOf(MemberContext& ctx, const RD_OutputSpecification* spec) {
    char* text = OrphanFormattedFormsInfoForOneOutput(ctx, spec);
    ConcatenateFormText(ctx, text);
    FreeString(text, ctx.run.debug);
}

// Appends the summary of every default OUTPUT statement of the list; TRUE when the list
// holds at least one, whether or not it had anything to append.
bool ProcessDefaultsInList(MemberContext& ctx, void* list) {
    void* cursor = nullptr;
    if (list == nullptr || !KVR_CreateCursor(list, &cursor, ctx.run.debug)) return false;
    bool found = false;
    void* data = nullptr;
    for (bool more = GetDataAtCursor(cursor, &data) != 0; more;
         more = AdvanceCursor(cursor) != 0 && GetDataAtCursor(cursor, &data) != 0) {
        const auto* spec = static_cast<const RD_OutputSpecification*>(data);
        if (!spec->IsDefault) continue;
        found = true;
        AppendSummaryOf(ctx, spec);
    }
    DeleteCursor(cursor, ctx.run.debug);
    return found;
}

void* JobOutputList(MemberContext& ctx) {
    return QueryJobOutputSpecificationList(ctx.model.currentJob);
}

const char* SummaryOr(MemberContext& ctx, const char* text) {
    return ctx.model.outputSummaryParts > 0 ? ctx.model.outputSummary : text;
}

// Step defaults hide the job's; a job-level DD (no step) consults only the job's list.
const char* ProcessDefaultOutput(MemberContext& ctx, RD_JobStep* step, const char* text) {
    ResetFormattedParms(ctx);
    if (!ProcessDefaultsInList(ctx, QueryStepOutputSpecificationList(step)))
        ProcessDefaultsInList(ctx, JobOutputList(ctx));
    return SummaryOr(ctx, text);
}

// The references of OUTPUT=(...) or OUTPUT=ref; false when the text has no OUTPUT keyword.
bool OutputReferences(MemberContext& ctx, const char* text, std::string& references) {
    void* parms = nullptr;
    CreateParmStructure(&parms, text, FALSE, ctx.run.mode, ctx.run.debug);
    char* parm = nullptr;
    const bool found = parms != nullptr && QueryKeywordParm("OUTPUT", parms, &parm);
    if (found) {
        references = parm + std::strlen("OUTPUT=");
        if (!references.empty() && references[0] == '(') {
            references.erase(0, 1);
            references.erase(std::min(references.find(')'), references.size()));
        }
    }
    DeleteParmStructure(parms, ctx.run.debug ? TRUE : FALSE);
    return found;
}

const RD_OutputSpecification* FindOutput(MemberContext& ctx, RD_JobStep* step, const char* name) {
    void* data = nullptr;
    if (step != nullptr && FindItemWithKey(QueryStepOutputSpecificationList(step), name, &data))
        return static_cast<const RD_OutputSpecification*>(data);
    if (FindItemWithKey(JobOutputList(ctx), name, &data))
        return static_cast<const RD_OutputSpecification*>(data);
    return nullptr;
}

const char* ProcessNamedOutput(MemberContext& ctx, RD_JobStep* step, const char* text) {
    std::string references;
    if (!OutputReferences(ctx, text, references)) return text;
    ResetFormattedParms(ctx);
    void* parms = nullptr;
    CreateParmStructure(&parms, references.c_str(), FALSE, ctx.run.mode, ctx.run.debug);
    const int32_t count = parms != nullptr ? QueryParmCount(parms) : 0;
    for (int32_t i = 1; i <= count; ++i) {
        char* reference = nullptr;
        if (!QueryPositionalParm(i, parms, &reference)) continue;
        // Drop the "*." of *.name; a qualified *.step.name is thus looked up as step.name.
        const char* name = std::strlen(reference) >= 2 ? reference + 2 : "";
        const RD_OutputSpecification* spec = FindOutput(ctx, step, name);
        if (spec != nullptr)
            AppendSummaryOf(ctx, spec);
        else
            KVRWriteMessageWithStrings(MessageFor(ctx, 1445, 3102), name, nullptr, nullptr,
                                       nullptr);
    }
    DeleteParmStructure(parms, ctx.run.debug ? TRUE : FALSE);
    return SummaryOr(ctx, text);
}

const char* ProcessSysout(MemberContext& ctx, RD_JobStep* step, const char* text) {
    if (std::strstr(text, "OUTPUT=") != nullptr) return ProcessNamedOutput(ctx, step, text);
    return ProcessDefaultOutput(ctx, step, text);
}

bool HasSysoutParm(MemberContext& ctx, const char* text) {
    void* parms = nullptr;
    CreateParmStructure(&parms, text, FALSE, ctx.run.mode, ctx.run.debug);
    bool found = false;
    const int32_t count = parms != nullptr ? QueryParmCount(parms) : 0;
    for (int32_t i = 1; i <= count && !found; ++i) {
        char* parm = nullptr;
        found = QueryPositionalParm(i, parms, &parm) && std::strncmp(parm, "SYSOUT=", 7) == 0;
    }
    DeleteParmStructure(parms, ctx.run.debug ? TRUE : FALSE);
    return found;
}

} // namespace

void KVR4037_InitializeFields(MemberContext& ctx) {
    ctx.model.outputSummary[0] = '\0';
    ctx.model.outputSummaryParts = 0;
}

// ---------------------------------------------------------------- OUTPUT statement records

RD_OutputSpecification* AllocateOutputSpecification(MemberContext& ctx, const char* ArgOutputName, const char* ArgFCB,
                                                    const char* ArgFORMDEF, const char* ArgFORMS,
                                                    BOOLEAN ArgIsDefault) {
    auto* spec = NewRecord<RD_OutputSpecification>("AllocateOutputSpecification");
    if (spec == nullptr) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    spec->OutputSpecificationName = CopyTextOrEmpty(ArgOutputName);
    spec->ParmValueFCB = CopyText(ArgFCB);
    spec->ParmValueFORMDEF = CopyText(ArgFORMDEF);
    spec->ParmValueFORMS = CopyText(ArgFORMS);
    spec->IsDefault = ArgIsDefault;
    return spec;
}

void FreeOutputSpecification(RD_OutputSpecification* iSpec) {
    DeleteRecord(iSpec, "FreeOutputSpecification");
}

const char* QueryOutputSpecificationName(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->OutputSpecificationName.get() : nullptr;
}
const char* QueryOutputSpecificationFCB(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->ParmValueFCB.get() : nullptr;
}
const char* QueryOutputSpecificationFORMDEF(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->ParmValueFORMDEF.get() : nullptr;
}
const char* QueryOutputSpecificationFORMS(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->ParmValueFORMS.get() : nullptr;
}
BOOLEAN QueryIsOutputSpecificationDefault(const RD_OutputSpecification* iSpec) {
    return iSpec != nullptr ? iSpec->IsDefault : FALSE;
}

void ProcessOutputCard(MemberContext& ctx, JCLStatement* iStmt) {
    // Without a job there is no list to hold the statement; making a record would only leak it.
    if (iStmt == nullptr || ctx.model.currentJob == nullptr) return;
    char* fcb = nullptr;
    char* formdef = nullptr;
    char* forms = nullptr;
    char* defaultParm = nullptr;
    if (!JCLStatementKeywordParm(ctx, iStmt, "FCB", &fcb)) fcb = nullptr;
    if (!JCLStatementKeywordParm(ctx, iStmt, "FORMDEF", &formdef))
        formdef = nullptr;
    if (!JCLStatementKeywordParm(ctx, iStmt, "FORMS", &forms)) forms = nullptr;
    const BOOLEAN isDefault =
        JCLStatementKeywordParm(ctx, iStmt, "DEFAULT", &defaultParm) &&
                defaultParm[std::strlen("DEFAULT=")] == 'Y'
            ? TRUE
            : FALSE;
    RD_OutputSpecification* spec = AllocateOutputSpecification(ctx, 
        iStmt->StatementLabel, fcb, formdef, forms, isDefault);
    if (spec == nullptr) return;
    if (!AddOutput(ctx, spec, spec->OutputSpecificationName.get())) {
        reportMemoryAllocationError(ctx);
        FreeOutputSpecification(spec);
    }
}

char* OrphanFormattedFormsInfoForOneOutput(MemberContext& ctx, const RD_OutputSpecification* OutputSpec) {
    char text[kSummaryMax + 1] = {};
    if (OutputSpec != nullptr) OrphanFormsText(OutputSpec, text);
    return CloneString(text, ctx.run.debug);
}

const char* ProcessOutputSpecs(MemberContext& ctx, RD_JobStep* iStep, const char* ParmArg) {
    if (ParmArg == nullptr || !HasSysoutParm(ctx, ParmArg)) return ParmArg;
    return ProcessSysout(ctx, iStep, ParmArg);
}

} // namespace kvr
