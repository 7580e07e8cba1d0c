// Parameter structures: an operand field such as DSN=A.B,DISP=(NEW,CATLG) is copied once
// and cut at its outer-level commas into positional and keyword parameters, which are
// then answered by position or by keyword. Commas inside parentheses or apostrophes do
// not separate; a small delimiter stack tracks what would close the innermost group.
#include "services/parameter_structure.h"

#include "kvrbase.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr uint32_t kMsgNoMemory = 1450;
constexpr uint32_t kMsgNoMemoryVelkor = 3050;
constexpr uint32_t kMsgTooManyParms = 1359;
constexpr uint32_t kMsgTooManyParmsVelkor = 3062;
constexpr uint32_t kMsgNestedTooDeep = 1360;
constexpr uint32_t kMsgNestedTooDeepVelkor = 3063;
constexpr int16_t kVelkorMode = 2;

// The structure behind the handle. Entries grow as parameters are found, so a short
// operand field does not pay for the full table of 2096 pointers.
struct RD_ParameterList {
    int32_t ParmCount;
    uint32_t ParmDataLength;
    char* ParmData;
    std::vector<char*> ParmEntry;
};

void Report(int16_t iProcessingMode, uint32_t standard, uint32_t velkor) {
    KVRWriteMessage(iProcessingMode == kVelkorMode ? velkor : standard);
}

enum class Verdict { Ordinary, Separator, Overflow };

// What closes the innermost open group; the bottom entry is the separating comma.
struct DelimiterStack {
    char MatchChar[kvr::kMatchStackSize];
    int32_t MatchIndex = -1;

    void Reset() {
        MatchChar[0] = ',';
        MatchIndex = 0;
    }
    bool Push(char c) {
        if (MatchIndex + 1 >= kvr::kMatchStackSize) return false;
        MatchChar[++MatchIndex] = c;
        return true;
    }
    // Decides what character c means at the current nesting.
    Verdict Test(char c) {
        const char top = MatchChar[MatchIndex];
        if (c == top) {
            if (MatchIndex == 0) return Verdict::Separator;
            --MatchIndex; // a closing apostrophe or parenthesis
            return Verdict::Ordinary;
        }
        // A doubled apostrophe inside a string pops above and pushes here again.
        if (c == '\'') return Push('\'') ? Verdict::Ordinary : Verdict::Overflow;
        if (c == '(' && top != '\'') return Push(')') ? Verdict::Ordinary : Verdict::Overflow;
        return Verdict::Ordinary;
    }
};

bool EndsList(char c, bool useAsterisk) {
    return c == '\0' || c == '\n' || (useAsterisk && c == '*');
}

// Copies the text and cuts it into parameters. On failure the partial result stays in
// parms, for the caller to release.
bool BuildParmArray(RD_ParameterList* parms, const char* text, bool useAsterisk,
                    int16_t iProcessingMode, int32_t debug) {
    if (text == nullptr) {
        parms->ParmDataLength = 0;
        return true;
    }
    const size_t length = std::strlen(text);
    void* copy = nullptr;
    if (CreateBlockWithDebug(&copy, length + 1, "BuildParmArray", debug) == 0) {
        Report(iProcessingMode, kMsgNoMemory, kMsgNoMemoryVelkor);
        return false;
    }
    std::memcpy(copy, text, length + 1);
    parms->ParmData = static_cast<char*>(copy);
    parms->ParmDataLength = static_cast<uint32_t>(length + 1);

    DelimiterStack stack;
    char* scan = parms->ParmData;
    for (;;) {
        if (EndsList(*scan, useAsterisk)) return true;
        if (parms->ParmCount >= kvr::kMaxParmEntries) {
            Report(iProcessingMode, kMsgTooManyParms, kMsgTooManyParmsVelkor);
            return false;
        }
        try {
            parms->ParmEntry.push_back(scan);
        } catch (const std::bad_alloc&) {
            Report(iProcessingMode, kMsgNoMemory, kMsgNoMemoryVelkor);
            return false;
        }
        ++parms->ParmCount;
        stack.Reset();
        for (; !EndsList(*scan, useAsterisk); ++scan) {
            const Verdict verdict = stack.Test(*scan);
            if (verdict == Verdict::Separator) break;
            if (verdict == Verdict::Overflow) {
                Report(iProcessingMode, kMsgNestedTooDeep, kMsgNestedTooDeepVelkor);
                return false;
            }
        }
        if (*scan == '\0') return true;
        const bool separator = *scan == ',';
        *scan = '\0';
        if (!separator) return true; // a line feed or asterisk ends the list
        ++scan;
    }
}

void ReleaseParmList(RD_ParameterList* parms, int32_t debug) {
    if (parms->ParmDataLength > 0)
        FreeBlockWithDebug(parms->ParmData, "DeleteParmStructure", debug);
    parms->~RD_ParameterList();
    FreeBlockWithDebug(parms, "DeleteParmStructure", debug);
}

} // namespace

namespace kvr {

const char* ParmDataOf(const void* ParmArg, uint32_t* outLength) {
    const auto* parms = static_cast<const RD_ParameterList*>(ParmArg);
    if (outLength != nullptr) *outLength = parms != nullptr ? parms->ParmDataLength : 0;
    return parms != nullptr ? parms->ParmData : nullptr;
}

} // namespace kvr

extern "C" {

void CreateParmStructure(void** StructArg, const char* StringArg, BOOLEAN useAsterisk,
                         int16_t iProcessingMode, int32_t debug) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_ParameterList), "CreateParmStructure", debug) == 0) {
        Report(iProcessingMode, kMsgNoMemory, kMsgNoMemoryVelkor);
        return;
    }
    auto* parms = new (block) RD_ParameterList{0, 0, nullptr, {}};
    if (!BuildParmArray(parms, StringArg, useAsterisk != FALSE, iProcessingMode, debug)) {
        // A structure that failed to build is never handed out, so it is released here.
        ReleaseParmList(parms, debug);
        return;
    }
    if (StructArg != nullptr)
        *StructArg = parms;
    else
        ReleaseParmList(parms, debug);
}

int32_t QueryParmCount(void* ParmArg) {
    return ParmArg != nullptr ? static_cast<RD_ParameterList*>(ParmArg)->ParmCount : 0;
}

BOOLEAN QueryPositionalParm(int32_t iSequence, void* iParmList, char** outParm) {
    const auto* parms = static_cast<RD_ParameterList*>(iParmList);
    if (parms == nullptr || iSequence < 1 || iSequence > parms->ParmCount) return FALSE;
    if (outParm != nullptr) *outParm = parms->ParmEntry[static_cast<size_t>(iSequence - 1)];
    return TRUE;
}

BOOLEAN QueryKeywordParm(const char* iKeyword, void* iParmList, char** outParm) {
    const auto* parms = static_cast<RD_ParameterList*>(iParmList);
    if (parms == nullptr || iKeyword == nullptr) return FALSE;
    const size_t keywordLength = std::strlen(iKeyword);
    for (char* parm : parms->ParmEntry) {
        // Comparing first means the equals sign is only read inside the parameter.
        if (std::strncmp(parm, iKeyword, keywordLength) == 0 && parm[keywordLength] == '=') {
            if (outParm != nullptr) *outParm = parm;
            return TRUE;
        }
    }
    return FALSE;
}

void DeleteParmStructure(void* ParmArg, BOOLEAN debug) {
    if (ParmArg == nullptr) return;
    ReleaseParmList(static_cast<RD_ParameterList*>(ParmArg), debug);
}

} // extern "C"
