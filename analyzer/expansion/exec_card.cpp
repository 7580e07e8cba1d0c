// EXEC statements that run a program: the program name (a referback resolved to the member
// it names), PARM, REGION and the parameter text become a step of the current job, invoked
// by the procedure call on top of the step-name stack.
#include "driver/run_settings.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "reader/statement_list.h"

namespace kvr {
namespace {

// The value of a keyword parameter as an owned clone, empty when it is not coded.
char* KeywordValueOrEmpty(JCLStatement* iStmt, const char* iKeyword, int16_t iProcessingMode,
                          int32_t debug) {
    char* parm = nullptr;
    char* value = nullptr;
    if (JCLStatementKeywordParm(iStmt, iKeyword, &parm, iProcessingMode, debug))
        value = CopyParmValue(iStmt, parm, iProcessingMode, debug);
    return value != nullptr ? value : CloneString("", debug);
}

// Standard and Dravix mode keep the whole parameter text; Velkor mode only the COND value.
char* CaptureAllParms(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    char* text = nullptr;
    if (!JCLStatementParmText(iStmt, &text) || text == nullptr) return CloneString("", debug);
    if (iProcessingMode == kModeVelkor)
        return KeywordValueOrEmpty(iStmt, "COND", iProcessingMode, debug);
    return CloneString(text, debug);
}

struct ExecWorkData {
    char* AllParms = nullptr;
    char* ProgramParm = nullptr;
    char* ProgramName = nullptr;
    char* Region = nullptr;
};

void FreeExecWorkData(ExecWorkData& work, int32_t debug) {
    FreeString(work.AllParms, debug);
    FreeString(work.ProgramParm, debug);
    FreeString(work.ProgramName, debug);
    FreeString(work.Region, debug);
}

} // namespace

void ProcessExecCard(void* arrayJclDeck, JCLStatement* iStmt, int16_t iProcessingMode,
                     int32_t debug) {
    if (iStmt == nullptr) return;
    ExecWorkData work;
    work.AllParms = CaptureAllParms(iStmt, iProcessingMode, debug);
    work.ProgramParm = KeywordValueOrEmpty(iStmt, "PARM", iProcessingMode, debug);
    work.ProgramName = KeywordValueOrEmpty(iStmt, "PGM", iProcessingMode, debug);
    if (work.ProgramName[0] == '\0') {
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1372, 3071), TRUE,
                                    JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                    iProcessingMode);
        FreeExecWorkData(work, debug);
        return;
    }
    if (work.ProgramName[0] == '*') {
        ProcessReferbackSyntax(&work.ProgramName, TRUE, iProcessingMode, debug);
        if (KVRU005() > 4) {
            FreeExecWorkData(work, debug);
            return;
        }
    }
    work.Region = KeywordValueOrEmpty(iStmt, "REGION", iProcessingMode, debug);

    // An empty stack has been reported by QueryStepName; no step can be placed then.
    const char* invokingStepName = QueryStepName(iProcessingMode);
    if (invokingStepName != nullptr) {
        const int32_t level = QueryProcNestingLevel();
        AddStep(arrayJclDeck, iStmt->StatementLabel, invokingStepName, JCLStmtFileReference(iStmt),
                JCLStmtFileLine(iStmt), JCLStmtEndFileLine(iStmt), level > 0 ? TRUE : FALSE, level,
                work.Region, work.ProgramName, work.ProgramParm, work.AllParms, iProcessingMode,
                debug);
    }
    FreeExecWorkData(work, debug);
}

} // namespace kvr
