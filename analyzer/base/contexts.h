// The two contexts every analyzer function takes first, as SQLite's functions take their
// database: the RunContext holds what one run of kvr4000 was asked to do and what it keeps
// for all members; the MemberContext holds everything about the one member being read, so
// a fresh MemberContext is a fresh start and nothing of a member outlives its context.
//
// Each layer keeps its part here as plain data; what a part owns is held by the handles of
// ownership.h and lists.h, released by the function of the layer that made it. Records of
// the higher layers are named by forward declarations only: the contexts depend on nothing
// above this folder.
#ifndef KVR_BASE_CONTEXTS_H
#define KVR_BASE_CONTEXTS_H

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/deck.h"
#include "base/lists.h"
#include "base/ownership.h"
#include "base/run_mode.h"
#include "kvrbase.h"

namespace kvr {

struct JCLStatement;
struct RD_JobStruct;
struct RD_JobStep;
struct RD_DDStatement;
struct RD_InputContext;
struct RD_ProcedureHeader;
struct RD_IncludeHeader;
struct ParmControlNode;

// The operand area of a statement and the work areas that hold a whole operand field.
inline constexpr int32_t kOperandAreaSize = 32768;
// Procedure calls, INCLUDE levels and IF levels nest at most this deep.
inline constexpr int32_t kMaxStackDepth = 16;

// ---------------------------------------------------------------- the run

struct RunContext {
    RunContext();
    ~RunContext();
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    // What the command line asked for.
    int16_t mode = kModeStandard;
    int32_t debug = 0;
    BOOLEAN formatXML = FALSE;
    int16_t normalizeGDG = 0;
    BOOLEAN ignoreJCLLIB = FALSE;
    bool captureOPC = false;       // //*%OPC directives are statements (-opc)
    std::string jesVersion = "JES3";
    std::string siteName;          // the site of the job member's own container

    // Parameter capture: the control entries of DD:KVRPCTL in file order; empty: no capture.
    OwnedList<ParmControlNode> capture;
    // The system symbols of DD:SYSSYMS, the outermost symbol scope; null without the file.
    Owned<SymbolTable> systemSymbols;
    // The highest severity of the set-up's warnings (a malformed DD:SYSSYMS line): it counts
    // for the run's exit code, not for the first member's.
    int32_t setUpSeverity = 0;
    // Memory ran out: the run ends after the member it ran out in.
    bool outOfMemory = false;
};

// ---------------------------------------------------------------- the member, by layer

// reader: the one card the file reader can hand out again.
struct PushBackCard {
    SourceLine line = {};
    BOOLEAN status = FALSE;
    bool cached = false;
};

// reader: the cards of a statement that is kept as comments (job scheduling statements).
struct KeptCard {
    int32_t fileLine;
    std::string text;
};

// reader: the statement parser's work areas, reused from statement to statement.
struct ParserWork {
    ParserWork() { substituted[0] = '\0'; }
    char card[82];
    char substituted[kOperandAreaSize];
    size_t substitutedUsed = 0;
    std::vector<KeptCard> keptCards; // of the statement being read, when kept as comments
};

// reader: what the statement-list builder has met while a list is read.
struct ListBuilderState {
    int32_t jobCount = 0; // JOB statements read in the member so far
    int32_t statementCount = 0;
    int16_t execFound = 0;
    JCLStatement* currentStepStatement = nullptr; // the list's own copy of the last EXEC
    void* readingCursor = nullptr; // the card list being read; null: the member files
    // The member is read one job at a time: the job list being read ends before the next
    // JOB statement, which waits (pushed back) until this job has been expanded.
    bool readingJob = false;
    int32_t jobsInList = 0;
    bool nextJobWaiting = false;
    // Jobs of the member expanded so far, and the comments read with the first one, which
    // head the deck.
    int32_t jobsExpanded = 0;
    long leadingDeckItems = 0;
    // An INCLUDE member read again for a further INCLUDE: its comments are in the deck
    // already, from its first one.
    bool commentsKept = false;
    // Members at the bottom of the open members that the file reader must not read on:
    // while a job is expanded, its own member still holds the jobs after it.
    int32_t keptMembers = 0;
};


// reader: the stack of symbol scopes (SET values, EXEC overrides and PROC defaults of each
// procedure call), innermost last.
struct SymbolScopes {
    SymbolScopes();
    OwnedList<SymbolTable> scopes;
    SymbolTable* update = nullptr; // receives SET, override and default values
    // The read-time scope of a procedure call while its override statements are read: the
    // system symbols wait for the walk there (BeginOverrideReadScope).
    SymbolTable* overrideReadScope = nullptr;
    // The names reported as unresolved in a data set name (1482), each once per member.
    std::set<std::string> reportedUnresolved;
};

// model: the job under construction and the counts the walk needs.
struct ModelState {
    RD_JobStruct* currentJob = nullptr; // owned by the deck
    int32_t captureSteps = 0;           // steps whose program parameter capture selects
    char outputSummary[512] = {};       // SYSOUT summary handed out until the next one
    int32_t outputSummaryParts = 0;
};

// expansion: the override statements after a procedure call, from one DD to the next.
struct OverrideState {
    OverrideState() = default;
    OverrideState(const OverrideState&) = delete;
    OverrideState& operator=(const OverrideState&) = delete;
    ~OverrideState();
    char previousStepName[19] = {};
    RD_JobStep* previousStep = nullptr;
    RD_DDStatement* ddSave = nullptr; // the DD overridden or added last
    void* concatCursor = nullptr;     // owned cursor on the entry of ddSave applied last
    char label[18] = {};              // label work copy, split at the period
};

// expansion: one EXEC parameter override of a procedure call, as coded on the calling EXEC
// (keyword.procstep=value, or keyword=value for the procedure's steps in general).
struct ExecOverride {
    std::string keyword;    // PARM, COND, REGION, ...
    std::string procStep;   // empty: not qualified by a procedure step
    std::string value;      // as coded, apostrophes kept; empty: the keyword is nullified
    bool stepFound = false; // a qualified override met its step at the procedure's level
};

// expansion: the EXEC overrides of one active procedure call and the EXEC statements of the
// procedure's own level walked so far (the first one takes an unqualified PARM or TIME).
struct ExecOverrideFrame {
    std::vector<ExecOverride> overrides;
    int32_t stepsWalked = 0;
};

// expansion: the walk's stacks, the procedures and INCLUDE members read for the member.
struct ExpansionState {
    ExpansionState();
    RD_InputContext* contexts[kMaxStackDepth] = {}; // one per procedure level, not owned
    int32_t contextDepth = 0;
    OwnedText stepNames[kMaxStackDepth];             // the label of each active call
    int32_t stepNameDepth = 0;
    OverrideState overrides;
    std::vector<ExecOverrideFrame> execOverrides; // one per procedure being walked, innermost last
    OwnedList<RD_ProcedureHeader> procedures;
    OwnedList<RD_IncludeHeader> includes;
    char referbackTime[7] = "000000";       // HHMMSS of made-up temporary data set names
    char substitutionArea[kOperandAreaSize]; // a statement's operands being substituted
};

// output: the state of the import records of the member.
struct OpenElement {
    char name[24];
    size_t indent;
};
struct OutputState {
    std::string ddIndent;          // the indentation of the XML lines of the DD being written
    void* captureEntry = nullptr;  // the capture entry of the step walked last, or null
    bool memberOpen = false;       // START JCL written, END JCL not yet
    bool shortenedWarned = false;  // the member has had its warning about a shortened record
    OpenElement openElements[32];  // XML elements open, outermost first
    size_t openCount = 0;          // may exceed the array when elements nest deeper
    char record[2048];             // the record being composed
};

struct MemberContext {
    explicit MemberContext(RunContext& run);
    ~MemberContext();
    MemberContext(const MemberContext&) = delete;
    MemberContext& operator=(const MemberContext&) = delete;

    RunContext& run;
    DeckList deck;
    // The comments read with the member's second and later jobs: they join the first job's
    // at the head of the deck once the member is expanded, as when the whole member was
    // read before its first job was expanded.
    DeckList memberComments;
    PushBackCard pushBack;
    ParserWork parser;
    ListBuilderState listBuilder;
    SymbolScopes symbols;
    ModelState model;
    ExpansionState expansion;
    OutputState output;
};

// The message number and the MSG records' program id of the member's run mode.
inline uint32_t MessageFor(const MemberContext& ctx, uint32_t standard, uint32_t velkor) {
    return MessageFor(ctx.run.mode, standard, velkor);
}
inline const char* MsgProgramId(const MemberContext& ctx) { return MsgProgramId(ctx.run.mode); }

} // namespace kvr

#endif
