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

void* ParameterControlList = nullptr; // ParmControlNode items in file order; null: capture off

void FreeDDName(void* data, int32_t debug) {
    FreeString(static_cast<char*>(data), debug);
}

void FreeNode(void* data, int32_t debug) {
    auto* node = static_cast<ParmControlNode*>(data);
    FreeString(node->ProgramName, debug);
    DrainList(node->ListOfDDNames, FreeDDName, "TerminateParameterCaptureControl", debug);
    FreeBlockWithDebug(node, "TerminateParameterCaptureControl", debug);
}

// A node appended to the control list; null (nothing added) when it cannot be made.
ParmControlNode* AddNode(const char* iProgramName, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(ParmControlNode), "AddCaptureSpecifications", debug))
        return nullptr;
    auto* node = static_cast<ParmControlNode*>(block);
    node->ProgramName = CloneString(iProgramName, debug);
    node->ListOfDDNames = nullptr;
    if (!CreateList(&node->ListOfDDNames, debug) ||
        !AddItemToList(ParameterControlList, node, node->ProgramName, debug)) {
        FreeNode(node, debug);
        return nullptr;
    }
    return node;
}

void AddDDName(ParmControlNode* ioNode, const char* iDDName, int32_t debug) {
    char* name = CutOffSpacesAndNewLine(CloneString(iDDName, debug));
    if (!AddItemToList(ioNode->ListOfDDNames, name, name, debug)) FreeString(name, debug);
}

// One control line: program pattern, then DD name patterns, comma-separated.
void AddCaptureSpecifications(const char* iLine, int16_t iProcessingMode, int32_t debug) {
    void* parms = nullptr;
    CreateParmStructure(&parms, iLine, FALSE, iProcessingMode, debug);
    if (parms == nullptr) return;
    const int32_t count = QueryParmCount(parms);
    char* text = nullptr;
    ParmControlNode* node = nullptr;
    if (count > 0) node = AddNode(QueryPositionalParm(1, parms, &text) ? text : "", debug);
    for (int32_t i = 2; node != nullptr && i <= count; ++i)
        AddDDName(node, QueryPositionalParm(i, parms, &text) ? text : "", debug);
    DeleteParmStructure(parms, debug != 0 ? TRUE : FALSE);
}

void DumpControlTables() {
    void* data = nullptr;
    for (int32_t more = FindFirstItem(ParameterControlList, &data); more;
         more = GetNextItem(ParameterControlList, &data)) {
        auto* node = static_cast<ParmControlNode*>(data);
        std::printf("PARM DUMP PGM=%s\n", node->ProgramName);
        void* name = nullptr;
        for (int32_t ddMore = FindFirstItem(node->ListOfDDNames, &name); ddMore;
             ddMore = GetNextItem(node->ListOfDDNames, &name))
            std::printf("     DUMP DD=%s\n", static_cast<char*>(name));
    }
}

} // namespace

BOOLEAN InitializeParameterCaptureControl(int16_t iProcessingMode, int32_t debug) {
    TerminateParameterCaptureControl(debug); // a second start reads the file afresh
    char value[1025] = {};
    if (!CheckWorkstationEnvironmentVariable("DD:KVRPCTL", value, debug)) return TRUE;
    char path[1025] = {};
    NormalizeName(value, path, 230, 0, 1, debug);
    FILE* file = KVRIOAPI_OpenRegularFile(path); // a device would be read without end
    if (file == nullptr) return TRUE;
    if (!CreateList(&ParameterControlList, debug)) {
        ParameterControlList = nullptr;
        std::fclose(file);
        return FALSE;
    }
    char line[kRecordLength + 2] = {};
    while (ReadFileRecord(file, line, nullptr)) {
        if (line[0] == '*' && line[1] == ' ') continue; // a comment
        AddCaptureSpecifications(line, iProcessingMode, debug);
    }
    std::fclose(file);
    if (debug) DumpControlTables();
    return TRUE;
}

void TerminateParameterCaptureControl(int32_t debug) {
    DrainList(ParameterControlList, FreeNode, "TerminateParameterCaptureControl", debug);
    ParameterControlList = nullptr;
}

BOOLEAN CheckProgramForParmLogging(const char* iProgramName, void** PtrArg) {
    if (PtrArg != nullptr) *PtrArg = nullptr;
    if (ParameterControlList == nullptr || iProgramName == nullptr ||
        !MatchItemWithKey(ParameterControlList, iProgramName))
        return FALSE;
    void* node = nullptr;
    GetCurrentItem(ParameterControlList, &node);
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
