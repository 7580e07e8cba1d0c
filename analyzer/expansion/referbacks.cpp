// Backward references (*.ddname, *.step.ddname, *.step.procstep.ddname) in the PGM of an
// EXEC and the DSN of a DD: the referenced DD is looked up among the steps built so far and
// the reference is replaced by its member name or data set name (a temporary name is made up
// when the referenced DD has none). An unresolved reference stays as written.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "base/contexts.h"
#include "base/text.h"
#include "expansion/statement_dispatch.h"

namespace kvr {
namespace {

// The names of a referback after "*.": DD name alone, step and DD, or step, procedure step
// and DD. FALSE when the text is not of that form or a name is empty.
struct ReferbackNames {
    std::string step;
    std::string procStep;
    std::string dd;
    bool hasStep = false;
    bool hasProcStep = false;
};

bool ProcessReferbackTempName(const char* iReferback, BOOLEAN iExecPGM, ReferbackNames& out) {
    const std::string text(iReferback);
    if (text.size() < 2 || text[0] != '*' || text[1] != '.') return false;
    std::vector<std::string> names;
    size_t start = 2;
    for (;;) {
        const size_t dot = text.find('.', start);
        names.push_back(text.substr(start, dot == std::string::npos ? dot : dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (names.size() > 3) return false;
    if (iExecPGM && names.size() == 1) return false;
    for (const std::string& name : names)
        if (name.empty()) return false;
    out.dd = names.back();
    if (names.size() >= 2) {
        out.step = names[0];
        out.hasStep = true;
    }
    if (names.size() == 3) {
        out.procStep = names[1];
        out.hasProcStep = true;
    }
    return true;
}

// The member name in parentheses of a data set name such as A.LOAD(MYPROG); FALSE without
// both parentheses.
bool MemberName(const char* iDatasetName, std::string& outMember) {
    const char* open = std::strchr(iDatasetName, '(');
    if (open == nullptr) return false;
    const char* close = std::strchr(open + 1, ')');
    if (close == nullptr) return false;
    outMember.assign(open + 1, close);
    return true;
}

void ReplaceReferback(OwnedText& ioReferback, const char* iValue) {
    ioReferback = CopyText(iValue);
}

} // namespace

// The time made-up data set names carry: now, or SOURCE_DATE_EPOCH (seconds since 1970) when
// it is set, so that two runs over the same members write the same import file.
std::time_t NameTime() {
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (fixed != nullptr && *fixed != '\0') {
        char* end = nullptr;
        const long long seconds = std::strtoll(fixed, &end, 10);
        if (*end == '\0' && seconds >= 0) return static_cast<std::time_t>(seconds);
    }
    return std::time(nullptr);
}

void SetLocalTimeField(MemberContext& ctx) {
    const std::time_t now = NameTime();
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return;
    char hour[3] = "00";
    char minute[3] = "00";
    char second[3] = "00";
    std::strftime(hour, sizeof hour, "%H", &local);
    std::strftime(minute, sizeof minute, "%M", &local);
    std::strftime(second, sizeof second, "%S", &local);
    std::string joined = std::string(hour) + minute + second;
    std::strncpy(ctx.expansion.referbackTime, joined.c_str(), sizeof ctx.expansion.referbackTime - 1);
    ctx.expansion.referbackTime[sizeof ctx.expansion.referbackTime - 1] = '\0';
}

const char* GetLocalTimeField(MemberContext& ctx) {
    return ctx.expansion.referbackTime;
}

BOOLEAN FindReferbackDDStatement(MemberContext& ctx, const char* iStepName, const char* iProcStepName,
                                 const char* iDDName, RD_DatasetConcatenation** outConcat,
                                 RD_JobStep** outJobStep, BOOLEAN iExecPGM) {
    *outConcat = nullptr;
    *outJobStep = nullptr;
    RD_StepCursor* cursor = GetStepCursor(ctx);
    if (cursor == nullptr) return FALSE;

    bool found = true;
    if (iStepName != nullptr) {
        if (iExecPGM) {
            // A program is searched from the first step of the job on.
            cursor->StepNumber = 1;
            found = AdvanceCursorToStep(cursor, iStepName, iProcStepName, FALSE) != FALSE;
        } else {
            found = DeclineCursorToStep(cursor, iStepName, iProcStepName) != FALSE;
        }
    }
    RD_JobStep* step = found ? QueryStepCursor(cursor) : nullptr;
    DeleteStepCursor(cursor);
    if (step == nullptr) return FALSE;

    RD_DDStatement* dd = nullptr;
    if (!FindDDForStep(step, iDDName, &dd) || dd == nullptr) return FALSE;
    void* concatCursor = CreateConcatenationCursor(ctx, dd);
    if (concatCursor == nullptr) return FALSE;
    RD_DatasetConcatenation* first = QueryConcatenationCursor(concatCursor);
    DeleteConcatenationCursor(concatCursor);
    if (first == nullptr) return FALSE;
    *outConcat = first;
    *outJobStep = step;
    return TRUE;
}

void ProcessReferbackSyntax(MemberContext& ctx, OwnedText& ioReferback, BOOLEAN iExecPGM) {
    if (ioReferback == nullptr) return;
    ReferbackNames names;
    if (!ProcessReferbackTempName(ioReferback.get(), iExecPGM, names)) return;

    RD_DatasetConcatenation* concat = nullptr;
    RD_JobStep* step = nullptr;
    if (!FindReferbackDDStatement(ctx, names.hasStep ? names.step.c_str() : nullptr,
                                  names.hasProcStep ? names.procStep.c_str() : nullptr,
                                  names.dd.c_str(), &concat, &step, iExecPGM))
        return;

    if (iExecPGM) {
        std::string member;
        if (MemberName(concat->DatasetName.get(), member))
            ReplaceReferback(ioReferback, member.c_str());
        return;
    }
    if (IsEmpty(concat->DatasetName.get())) {
        // The referenced DD names no data set: both get a made-up temporary name.
        RD_JobStruct* job = ctx.model.currentJob;
        const std::string temporary = std::string("&&") +
                                      (job != nullptr ? job->JobName.get() : "") + "." +
                                      step->StepName.get() + "." + GetLocalTimeField(ctx);
        concat->DatasetName = CopyText(temporary.c_str());
    }
    ReplaceReferback(ioReferback, concat->DatasetName.get());
}

} // namespace kvr
