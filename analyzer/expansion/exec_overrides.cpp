// EXEC parameter overrides of a procedure call. The overrides coded on the calling EXEC are
// kept for as long as its procedure is walked, one set per active call, innermost last.
// Each EXEC statement met at the procedure's own level has its operand text rewritten
// before it becomes a step: an overridden keyword gets the new value, or is appended when
// the step does not code it; an empty value removes the keyword (nullifies it).
//
// A step that is itself the call of a nested procedure is rewritten in the same way: the
// keyword lands on the nested calling EXEC, where it is an override of that call in turn
// (so a PARM given to it goes to the nested procedure's first step). The steps inside the
// nested procedure are never addressed from the outer call directly.
#include "expansion/exec_overrides.h"

#include <cctype>
#include <string>
#include <vector>

#include "expansion/statement_log.h"
#include "reader/statement_list.h"

namespace kvr {
namespace {

constexpr uint32_t kMsgStepNotFound = 1481;

// The keyword parameters of the EXEC statement. An unqualified NAME=VALUE on a procedure
// call is one of these, or else a symbolic parameter of the procedure.
constexpr const char* kExecKeywords[] = {
    "PARM",    "PARMDD", "COND",    "REGION", "REGIONX", "TIME",     "ACCT",
    "ADDRSPC", "DPRTY",  "PERFORM", "RD",     "CCSID",   "MEMLIMIT", "DYNAMNBR",
};

bool IsExecKeyword(const std::string& name) {
    for (const char* keyword : kExecKeywords)
        if (name == keyword) return true;
    return false;
}

// An unqualified PARM or TIME goes to the procedure's first step and nullifies the
// keyword on the others; every other keyword goes to every step.
bool GoesToFirstStepOnly(const std::string& keyword) {
    return keyword == "PARM" || keyword == "TIME";
}

// One edit of a step's operands: the keyword set to value, or removed when value is empty.
struct KeywordEdit {
    std::string keyword;
    std::string value;
};

// A keyword or step name: letters, digits and the national characters @ # $.
bool IsName(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '@' && c != '#' && c != '$')
            return false;
    return true;
}

// NAME=VALUE or NAME.procstep=VALUE of a calling EXEC as an override; false for a symbolic
// parameter (or a positional one that holds "="). PGM and PROC name what runs and are
// never overridden.
bool ReadExecOverride(const char* parm, ExecOverride& out) {
    const std::string text(parm);
    const size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = text.substr(0, equals);
    out.value = text.substr(equals + 1);
    const size_t period = name.find('.');
    if (period == std::string::npos) {
        out.keyword = name;
        out.procStep.clear();
        return IsExecKeyword(name);
    }
    out.keyword = name.substr(0, period);
    out.procStep = name.substr(period + 1);
    return IsName(out.keyword) && IsName(out.procStep) && out.keyword != "PGM" &&
           out.keyword != "PROC";
}

// Adds the edit, or changes the value of the edit of the same keyword made before.
void MergeEdit(std::vector<KeywordEdit>& edits, const std::string& keyword,
               const std::string& value) {
    for (KeywordEdit& edit : edits)
        if (edit.keyword == keyword) {
            edit.value = value;
            return;
        }
    edits.push_back({keyword, value});
}

// The edits for one step, one per keyword: an override naming the step wins over an
// unqualified one of the same keyword.
std::vector<KeywordEdit> EditsForStep(ExecOverrideFrame& frame, const char* stepName,
                                      bool firstStep) {
    std::vector<KeywordEdit> edits;
    for (const ExecOverride& entry : frame.overrides) {
        if (!entry.procStep.empty()) continue;
        const bool nullified = GoesToFirstStepOnly(entry.keyword) && !firstStep;
        MergeEdit(edits, entry.keyword, nullified ? std::string() : entry.value);
    }
    for (ExecOverride& entry : frame.overrides) {
        if (entry.procStep.empty() || entry.procStep != stepName) continue;
        entry.stepFound = true;
        MergeEdit(edits, entry.keyword, entry.value);
    }
    return edits;
}

// Sets or removes the keyword among the parameters; a keyword coded twice keeps one entry.
void ApplyKeywordEdit(std::vector<std::string>& parms, const KeywordEdit& edit) {
    const std::string prefix = edit.keyword + "=";
    bool placed = false;
    for (auto parm = parms.begin(); parm != parms.end();) {
        if (parm->compare(0, prefix.size(), prefix) != 0) {
            ++parm;
        } else if (edit.value.empty() || placed) {
            parm = parms.erase(parm);
        } else {
            *parm = prefix + edit.value;
            placed = true;
            ++parm;
        }
    }
    if (!placed && !edit.value.empty()) parms.push_back(prefix + edit.value);
}

// The statement's parameters as cut by the parameter structure; false when it cannot be
// parsed, which leaves the statement as it is.
bool ReadParameters(MemberContext& ctx, JCLStatement* stmt, std::vector<std::string>& parms) {
    if (JCLStmtParsedParms(ctx, stmt) == nullptr) return false;
    const int32_t count = JCLStatementParmCount(ctx, stmt);
    for (int32_t sequence = 1; sequence <= count; ++sequence) {
        char* parm = nullptr;
        if (!JCLStatementPositionalParm(ctx, stmt, sequence, &parm) || parm == nullptr)
            return false;
        parms.emplace_back(parm);
    }
    return true;
}

std::string JoinParameters(const std::vector<std::string>& parms) {
    std::string text;
    for (size_t index = 0; index < parms.size(); ++index) {
        if (index > 0) text += ',';
        text += parms[index];
    }
    return text;
}

void ReportStepsNotFound(MemberContext& ctx, const ExecOverrideFrame& frame,
                         const JCLStatement* callingExec) {
    for (const ExecOverride& entry : frame.overrides) {
        if (entry.procStep.empty() || entry.stepFound) continue;
        // One insert, keyword and step: a MSG record carries only the first.
        const std::string parameter = entry.keyword + "." + entry.procStep;
        KVRWriteMessageWithStringsAndFileLine(kMsgStepNotFound, parameter.c_str(), nullptr, nullptr,
                                              nullptr, TRUE, JCLStmtFileReference(callingExec),
                                              JCLStmtFileLine(callingExec), ctx.run.mode);
    }
}

} // namespace

void BeginExecOverrides(MemberContext& ctx, JCLStatement* callingExec) {
    ExecOverrideFrame frame;
    // The first parameter names the procedure.
    const int32_t count = JCLStatementParmCount(ctx, callingExec);
    for (int32_t sequence = 2; sequence <= count; ++sequence) {
        char* parm = nullptr;
        if (!JCLStatementPositionalParm(ctx, callingExec, sequence, &parm) || parm == nullptr)
            continue;
        ExecOverride entry;
        if (ReadExecOverride(parm, entry)) frame.overrides.push_back(entry);
    }
    ctx.expansion.execOverrides.push_back(std::move(frame));
}

void ApplyExecOverrides(MemberContext& ctx, JCLStatement* procedureExec) {
    if (ctx.expansion.execOverrides.empty()) return;
    ExecOverrideFrame& frame = ctx.expansion.execOverrides.back();
    const bool firstStep = frame.stepsWalked++ == 0;
    const std::vector<KeywordEdit> edits =
        EditsForStep(frame, procedureExec->StatementLabel, firstStep);
    if (edits.empty() || procedureExec->StatementParms == nullptr) return;
    std::vector<std::string> parms;
    if (!ReadParameters(ctx, procedureExec, parms)) return;
    for (const KeywordEdit& edit : edits)
        ApplyKeywordEdit(parms, edit);
    if (!ReplaceJCLStatementParms(ctx, procedureExec, JoinParameters(parms).c_str())) {
        reportMemoryAllocationError(ctx);
        return;
    }
    LogJCLStatement(ctx, procedureExec, RD_LOGOVERRIDE);
}

void EndExecOverrides(MemberContext& ctx, JCLStatement* callingExec) {
    if (ctx.expansion.execOverrides.empty()) return;
    // A procedure without steps is one that was not found (reported already, with 1309):
    // its overrides have nothing to miss.
    const ExecOverrideFrame& frame = ctx.expansion.execOverrides.back();
    if (frame.stepsWalked > 0 && KVRU005() <= 4) ReportStepsNotFound(ctx, frame, callingExec);
    ctx.expansion.execOverrides.pop_back();
}

} // namespace kvr
