// The run unit of a step as its input data name it: the DSN RUN command of the TSO batch
// commands in SYSTSIN, or the DB2 attachment parameters in the first record of DDITV02.
// Both give the program, the DB2 plan and the DB2 subsystem.
#include <optional>
#include <string>
#include <string_view>

#include "base/contexts.h"
#include "reader/jcl_statement.h"
#include "rununits/step_dd_reader.h"

namespace kvr {
namespace {

struct RunUnitNames {
    std::optional<std::string> runUnit;
    std::optional<std::string> plan;
    std::optional<std::string> subsystem;
};

enum class ReadOutcome { Found, NoRunUnit, Empty };

enum class CommandState {
    FindDsn,
    FindSubsystemName,
    GetSubsystemName,
    FindRun,
    FindProg,
    GetProg,
    FindPlan,
    GetPlan,
    Done
};

SOURCE_REF StepReference(const RD_JobStep* step) {
    return step != nullptr ? step->FileReference : -1;
}
int32_t StepLine(const RD_JobStep* step) {
    return step != nullptr ? step->fileLine : 0;
}

void reportCouldNotFindRunUnit(MemberContext& ctx, bool systsin, RD_JobStep* Step) {
    const bool velkor = ctx.run.mode == kModeVelkor;
    if (systsin) {
        if (!velkor)
            KVRWriteMessageWithFileLine(1443, FALSE, StepReference(Step), StepLine(Step),
                                        ctx.run.mode);
        return;
    }
    KVRWriteMessageWithFileLine(velkor ? 3105 : 1449, velkor ? TRUE : FALSE, StepReference(Step),
                                StepLine(Step), ctx.run.mode);
}

// One token of a TSO command: moves the search for DSN ... RUN PROGRAM(x) PLAN(y) along.
void ProcessToken(std::string_view token, CommandState& state, RunUnitNames& names) {
    switch (state) {
    case CommandState::FindDsn:
        if (token == "DSN") state = CommandState::FindSubsystemName;
        break;
    case CommandState::FindSubsystemName:
        if (token == "RUN")
            state = CommandState::FindProg;
        else if (token.front() == 'S')
            state = CommandState::GetSubsystemName;
        break;
    case CommandState::GetSubsystemName:
        names.subsystem = std::string(token);
        state = CommandState::FindRun;
        break;
    case CommandState::FindRun:
        if (token == "RUN") state = CommandState::FindProg;
        break;
    case CommandState::FindProg:
        if (token.starts_with("PROG")) state = CommandState::GetProg;
        break;
    case CommandState::GetProg:
        names.runUnit = std::string(token);
        state = CommandState::FindPlan;
        break;
    case CommandState::FindPlan:
        if (token == "PLAN") state = CommandState::GetPlan;
        break;
    case CommandState::GetPlan:
        names.plan = std::string(token);
        state = CommandState::Done;
        break;
    case CommandState::Done: // END and anything else: the command is complete
        break;
    }
}

// Tokens end at blanks and parentheses only; a line end stays part of the last token.
void ProcessRecordTokens(std::string_view record, CommandState& state, RunUnitNames& names) {
    size_t pos = 0;
    while (pos < record.size()) {
        const size_t start = record.find_first_not_of(" ()", pos);
        if (start == std::string_view::npos) break;
        size_t end = record.find_first_of(" ()", start);
        if (end == std::string_view::npos) end = record.size();
        ProcessToken(record.substr(start, end - start), state, names);
        pos = end;
    }
}

// SYSTSIN: reads until the first DSN RUN command is complete; comments ("*") are skipped.
ReadOutcome ProcessInput(MemberContext& ctx, RD_DD_IO_Control* iControl, RD_JobStep* Step, RunUnitNames& names) {
    CommandState state = CommandState::FindDsn;
    char* record = nullptr;
    while (state != CommandState::Done && ReadStepDD(ctx, iControl, &record, StepReference(Step),
                                                     StepLine(Step))) {
        if (record[0] != '*') ProcessRecordTokens(record, state, names);
    }
    return names.runUnit ? ReadOutcome::Found : ReadOutcome::NoRunUnit;
}

// DDITV02: SSN,LIT,ESMT,RTT,REO,CRC,connection name,PLAN,PROG. An empty parameter counts
// as not given: a run unit needs a name.
bool ProcessInputLine(MemberContext& ctx, const char* iRecord, RunUnitNames& names) {
    void* parms = nullptr;
    CreateParmStructure(&parms, iRecord, FALSE, ctx.run.mode, ctx.run.debug);
    if (parms == nullptr) return false;
    auto parameter = [parms](int32_t position) -> std::optional<std::string> {
        char* text = nullptr;
        if (!QueryPositionalParm(position, parms, &text) || text == nullptr || *text == '\0')
            return std::nullopt;
        return std::string(text);
    };
    names.runUnit = parameter(9);
    names.plan = parameter(8);
    names.subsystem = parameter(1);
    DeleteParmStructure(parms, ctx.run.debug != 0 ? TRUE : FALSE);
    return names.runUnit.has_value();
}

ReadOutcome ProcessFirstRecord(MemberContext& ctx, RD_DD_IO_Control* iControl, RD_JobStep* Step, RunUnitNames& names) {
    char* record = nullptr;
    if (!ReadStepDD(ctx, iControl, &record, StepReference(Step), StepLine(Step)))
        return ReadOutcome::Empty;
    return ProcessInputLine(ctx, record, names) ? ReadOutcome::Found
                                                                   : ReadOutcome::NoRunUnit;
}

// Opens SYSTSIN or DDITV02, finds the names in it, and hands them out as owned strings
// with the plan defaulting to the run unit and the subsystem to "DSN".
int16_t FindRunUnitInDD(MemberContext& ctx, RD_JobStep* Step, bool systsin, char** runUnitName, char** planName,
                        char** db2SubsystemName) {
    for (char** out : {runUnitName, planName, db2SubsystemName})
        if (out != nullptr) *out = nullptr;
    const char* ddName = systsin ? "SYSTSIN" : "DDITV02";
    const BOOLEAN suppressMsg = systsin ? TRUE : FALSE;
    RD_DD_IO_Control* control = nullptr;
    const int16_t result = OpenStepDD(ctx, Step, ddName, &control, StepReference(Step), StepLine(Step), suppressMsg);
    if (result == kStepDDNoMemory || result == kStepDDNoEntry) return result;
    if (result != kStepDDInstream && result != kStepDDFile) {
        CloseStepDD(ctx, control);
        reportCouldNotFindRunUnit(ctx, systsin, Step);
        return result;
    }
    RunUnitNames names;
    const ReadOutcome outcome =
        systsin ? ProcessInput(ctx, control, Step, names)
                : ProcessFirstRecord(ctx, control, Step, names);
    CloseStepDD(ctx, control);
    if (outcome == ReadOutcome::Empty) {
        KVRWriteMessageWithFileLine(MessageFor(ctx, 1448, 3104), FALSE,
                                    StepReference(Step), StepLine(Step), ctx.run.mode);
        reportCouldNotFindRunUnit(ctx, systsin, Step);
        return kStepDDDummy;
    }
    if (outcome == ReadOutcome::NoRunUnit) {
        reportCouldNotFindRunUnit(ctx, systsin, Step);
        return kStepDDNoRunUnit;
    }
    if (runUnitName != nullptr) *runUnitName = CloneString(names.runUnit->c_str(), ctx.run.debug);
    if (planName != nullptr)
        *planName = CloneString(names.plan.value_or(*names.runUnit).c_str(), ctx.run.debug);
    if (db2SubsystemName != nullptr)
        *db2SubsystemName = CloneString(names.subsystem.value_or("DSN").c_str(), ctx.run.debug);
    return result;
}

} // namespace

int16_t ProcessSYSTSIN(MemberContext& ctx, RD_JobStep* Step, char** runUnitName, char** planName,
                       char** db2SubsystemName) {
    return FindRunUnitInDD(ctx, Step, true, runUnitName, planName, db2SubsystemName);
}

int16_t ProcessDDITV02(MemberContext& ctx, RD_JobStep* Step, char** runUnitName, char** planName,
                       char** db2SubsystemName) {
    return FindRunUnitInDD(ctx, Step, false, runUnitName, planName, db2SubsystemName);
}

} // namespace kvr
