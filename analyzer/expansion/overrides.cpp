// Override statements of a procedure call: a DD labelled procstep.ddname (or ddname for the
// first procedure step) overrides or adds a DD of the expanded procedure, and unlabelled DDs
// after it go on through that DD's concatenation, appending past its end.
#include "expansion/overrides.h"

#include <cstring>

#include "driver/run_settings.h"
#include "model/dd_statements.h"
#include "output/statement_log.h"

namespace kvr {
namespace {

// Kept from one override DD to the next within one procedure call.
struct OverrideState {
    // The procedure step name of the last qualified override. Held at full label length so
    // that a name longer than a JCL step name is compared, never cut or overrun.
    char PreviousStepName[kLabelMax + 1];
    RD_JobStep* PreviousStep;
    RD_DDStatement* DDSave; // the DD overridden or added last
    void* ConcatCursor;     // the entry of DDSave the last statement was applied to
    char Buffer[kLabelMax]; // label work copy, split at the period
};

OverrideState State{};

// The label split into procedure step name and DD name (both point into Buffer).
struct LabelParts {
    const char* procStepName;
    const char* ddName;
};

bool ParseStatementLabel(JCLStatement* iStmt, LabelParts& out, int16_t iProcessingMode) {
    const size_t length = strnlen(iStmt->StatementLabel, sizeof iStmt->StatementLabel);
    if (length >= static_cast<size_t>(kLabelMax)) {
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1395, 3086), TRUE,
                                    JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                    iProcessingMode);
        return false;
    }
    std::memcpy(State.Buffer, iStmt->StatementLabel, length);
    State.Buffer[length] = '\0';
    char* period = std::strchr(State.Buffer, '.');
    if (period == nullptr) {
        out.procStepName = "";
        out.ddName = State.Buffer;
    } else {
        *period = '\0';
        out.procStepName = State.Buffer;
        out.ddName = period + 1;
    }
    return true;
}

void ForgetOverriddenDD(int32_t debug) {
    State.DDSave = nullptr;
    DeleteConcatenationCursor(State.ConcatCursor, debug);
    State.ConcatCursor = nullptr;
}

// Merges the statement into the entry at the cursor, or appends it past the last entry.
void ApplyOverridingStatement(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    RD_DatasetConcatenation* entry = QueryConcatenationCursor(State.ConcatCursor);
    if (entry != nullptr) {
        MergeProcedureConcatenation(entry, iStmt, iProcessingMode, debug);
        LogJCLStatement(iStmt, RD_LOGOVERRIDE, iProcessingMode, debug);
    } else {
        AddProcedureConcatenation(State.DDSave, iStmt, iProcessingMode, debug);
        LogJCLStatement(iStmt, RD_LOGADD, iProcessingMode, debug);
    }
}

// Starts overriding iDD at its first entry.
void OverrideDD(RD_DDStatement* iDD, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    ForgetOverriddenDD(debug);
    State.ConcatCursor = CreateConcatenationCursor(iDD, iProcessingMode, debug);
    State.DDSave = iDD;
    if (State.ConcatCursor != nullptr) ApplyOverridingStatement(iStmt, iProcessingMode, debug);
}

void ContinueConcatenation(RD_JobStep* iStep, JCLStatement* iStmt, int16_t iProcessingMode,
                           int32_t debug) {
    if (State.DDSave == nullptr) {
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1463, 3111), TRUE,
                                    iStep->FileReference, iStep->fileLine, iProcessingMode);
        return;
    }
    if (State.ConcatCursor == nullptr) {
        const uint32_t number = MessageFor(iProcessingMode, 1462, 3110);
        KVRWriteMessage(number);
        KVR_Write_MSG_Record("JCL", MsgProgramId(iProcessingMode), static_cast<int32_t>(number));
        return;
    }
    AdvanceConcatenationCursor(State.ConcatCursor);
    ApplyOverridingStatement(iStmt, iProcessingMode, debug);
}

void ProcessDDOverrideOrAddForStep(RD_JobStep* iStep, const char* iDDName, JCLStatement* iStmt,
                                   int16_t iProcessingMode, int32_t debug) {
    if (iDDName[0] == '\0') {
        ContinueConcatenation(iStep, iStmt, iProcessingMode, debug);
        return;
    }
    RD_DDStatement* dd = nullptr;
    if (FindDDForStep(iStep, iDDName, &dd) && dd != nullptr) {
        OverrideDD(dd, iStmt, iProcessingMode, debug);
        return;
    }
    // A DD the step does not have is added, then overridden as an empty DD.
    dd = AllocateDD(iDDName, JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                    JCLStmtEndFileLine(iStmt), debug);
    if (dd == nullptr) {
        reportMemoryAllocationError(iProcessingMode);
        return;
    }
    AddDDToStep(iStep, dd, dd->DDName, debug);
    OverrideDD(dd, iStmt, iProcessingMode, debug);
}

// The step a label addresses; null (reported) when there is none.
RD_JobStep* ChooseStep(JCLStatement* iStmt, const char* iProcStepName, RD_StepCursor* CursorArg,
                       int16_t iProcessingMode, int32_t debug) {
    if (iProcStepName[0] == '\0') {
        RD_JobStep* step = QueryStepCursor(CursorArg);
        if (step == nullptr)
            KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1397, 3088), TRUE,
                                        JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                        iProcessingMode);
        return step;
    }
    if (State.PreviousStep != nullptr && std::strcmp(iProcStepName, State.PreviousStepName) == 0)
        return State.PreviousStep;

    ForgetOverriddenDD(debug);
    if (!AdvanceCursorToStep(CursorArg, iProcStepName, nullptr, TRUE)) {
        KVRWriteMessageWithFileLine(MessageFor(iProcessingMode, 1396, 3087), TRUE,
                                    JCLStmtFileReference(iStmt), JCLStmtFileLine(iStmt),
                                    iProcessingMode);
        return nullptr;
    }
    RD_JobStep* step = QueryStepCursor(CursorArg);
    std::strncpy(State.PreviousStepName, iProcStepName, sizeof State.PreviousStepName - 1);
    State.PreviousStepName[sizeof State.PreviousStepName - 1] = '\0';
    State.PreviousStep = step;
    return step;
}

} // namespace

void InitializeOverrideState(int32_t debug) {
    State.PreviousStepName[0] = '\0';
    State.PreviousStep = nullptr;
    ForgetOverriddenDD(debug);
    std::memset(State.Buffer, 0, sizeof State.Buffer);
}

void ProcessDDOverrideOrAdd(JCLStatement* iStmt, RD_StepCursor* CursorArg, int16_t iProcessingMode,
                            int32_t debug) {
    if (iStmt == nullptr || CursorArg == nullptr) return;
    LabelParts label{};
    if (!ParseStatementLabel(iStmt, label, iProcessingMode) || KVRU005() > 4) return;
    RD_JobStep* step = ChooseStep(iStmt, label.procStepName, CursorArg, iProcessingMode, debug);
    if (step == nullptr) return;
    ProcessDDOverrideOrAddForStep(step, label.ddName, iStmt, iProcessingMode, debug);
}

} // namespace kvr
