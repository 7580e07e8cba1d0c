// Parameter capture control: the control file "DD:KVRPCTL" lists, one line each, a program
// name pattern and the DD name patterns whose data are copied into the import file for steps
// of that program. Read once per run; asked per step and per DD during the deck walk.
#include "rununits/parameter_capture.h"

#include <cstdio>
#include <cstring>

#include "model/model_lists.h"
#include "rununits/data_set_files.h"

namespace kvr {

struct ParmControlNode {
    char* ProgramName;   // owned: the program name pattern, also the node's key
    void* ListOfDDNames; // owned strings keyed by themselves: the DD name patterns
};

namespace {

void FreeDDName(void* data) {
    FreeString(static_cast<char*>(data), BlockTraceLevel());
}

void ReleaseNode(ParmControlNode* node) {
    FreeString(node->ProgramName, BlockTraceLevel());
    DrainList(node->ListOfDDNames, FreeDDName, "TerminateParameterCaptureControl");
    FreeBlockWithDebug(node, "TerminateParameterCaptureControl", BlockTraceLevel());
}

// A node appended to the control list; null (nothing added) when it cannot be made.
ParmControlNode* AddNode(RunContext& run, const char* iProgramName) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(ParmControlNode), "AddCaptureSpecifications",
                              run.debug))
        return nullptr;
    auto* node = static_cast<ParmControlNode*>(block);
    node->ProgramName = CloneString(iProgramName, run.debug);
    node->ListOfDDNames = nullptr;
    if (!CreateList(&node->ListOfDDNames, run.debug)) {
        ReleaseNode(node);
        return nullptr;
    }
    return run.capture.Add(node, node->ProgramName) ? node : nullptr;
}

void AddDDName(RunContext& run, ParmControlNode* ioNode, const char* iDDName) {
    char* name = CutOffSpacesAndNewLine(CloneString(iDDName, run.debug));
    if (!AddItemToList(ioNode->ListOfDDNames, name, name, run.debug)) FreeString(name, run.debug);
}

// One control line: program pattern, then DD name patterns, comma-separated.
void AddCaptureSpecifications(RunContext& run, const char* iLine) {
    void* parms = nullptr;
    CreateParmStructure(&parms, iLine, FALSE, run.mode, run.debug);
    if (parms == nullptr) return;
    const int32_t count = QueryParmCount(parms);
    char* text = nullptr;
    ParmControlNode* node = nullptr;
    if (count > 0) node = AddNode(run, QueryPositionalParm(1, parms, &text) ? text : "");
    for (int32_t i = 2; node != nullptr && i <= count; ++i)
        AddDDName(run, node, QueryPositionalParm(i, parms, &text) ? text : "");
    DeleteParmStructure(parms, run.debug != 0 ? TRUE : FALSE);
}

void DumpControlTables(const RunContext& run) {
    for (ParmControlNode* node : run.capture.Items()) {
        std::printf("PARM DUMP PGM=%s\n", node->ProgramName);
        void* name = nullptr;
        for (int32_t ddMore = FindFirstItem(node->ListOfDDNames, &name); ddMore;
             ddMore = GetNextItem(node->ListOfDDNames, &name))
            std::printf("     DUMP DD=%s\n", static_cast<char*>(name));
    }
}

} // namespace

BOOLEAN InitializeParameterCaptureControl(RunContext& run) {
    run.capture.Clear(); // a second start reads the file afresh
    run.capture.Bind(ReleaseNode, "TerminateParameterCaptureControl");
    char value[1025] = {};
    if (!CheckWorkstationEnvironmentVariable("DD:KVRPCTL", value, run.debug)) return TRUE;
    char path[1025] = {};
    NormalizeName(value, path, 230, 0, 1, run.debug);
    FILE* file = KVRIOAPI_OpenRegularFile(path); // a device would be read without end
    if (file == nullptr) return TRUE;
    if (!run.capture.Create()) {
        std::fclose(file);
        return FALSE;
    }
    char line[kRecordLength + 2] = {};
    while (ReadFileRecord(file, line, nullptr)) {
        if (line[0] == '*' && line[1] == ' ') continue; // a comment
        AddCaptureSpecifications(run, line);
    }
    std::fclose(file);
    if (run.debug) DumpControlTables(run);
    return TRUE;
}

BOOLEAN CheckProgramForParmLogging(const RunContext& run, const char* iProgramName, void** PtrArg) {
    if (PtrArg != nullptr) *PtrArg = nullptr;
    void* list = run.capture.Handle();
    if (list == nullptr || iProgramName == nullptr || !MatchItemWithKey(list, iProgramName))
        return FALSE;
    void* node = nullptr;
    GetCurrentItem(list, &node);
    if (PtrArg != nullptr) *PtrArg = node;
    return TRUE;
}

BOOLEAN CheckDDForParmLogging(void* iPgm, const char* iDDName) {
    if (iPgm == nullptr || iDDName == nullptr) return FALSE;
    const auto* node = static_cast<ParmControlNode*>(iPgm);
    return MatchItemWithKey(node->ListOfDDNames, iDDName) ? TRUE : FALSE;
}

char* CutOffSpacesAndNewLine(char* InString) {
    if (InString != nullptr) InString[std::strcspn(InString, " \n")] = '\0';
    return InString;
}

} // namespace kvr
