// Fuzz target for the statement-list builders: arbitrary bytes are read as a job member
// (beside a cataloged procedure and an INCLUDE member found through the default search
// list), the job list is walked, procedure calls and INCLUDEs are expanded, JCLLIB
// statements processed, and everything is released with the block counters balanced.
#include <cctype>
#include <cstring>

#include "expansion/list_builder_state.h"
#include "expansion/statement_lists.h"
#include "expansion/symbols.h"
#include "fuzz_support.h"
#include "model/deck_records.h"
#include "reader/card_reader.h"

namespace {

using namespace kvr;

// The procedure FPROC and the INCLUDE member FINC it uses, in the searched library.
const std::filesystem::path& Root() {
    static const bool ready = [] {
        const std::filesystem::path& path = fuzz::Folder();
        std::filesystem::create_directories(path / "JOBS");
        fuzz::WriteBytes(path / "LIB" / "FPROC", "//FPROC PROC A=1,B='X Y'\n"
                                                 "//F1 EXEC PGM=F,PARM=&A\n"
                                                 "//FD1 DD DSN=&B..C,DISP=SHR\n"
                                                 "//  INCLUDE MEMBER=FINC\n");
        fuzz::WriteBytes(path / "LIB" / "FINC", "//I1 DD DSN=&A\n//  SET A=2\n//I2 DD *\nDATA\n");
        fuzz::UseLibraryAsSearchList();
        return true;
    }();
    (void)ready;
    return fuzz::Folder();
}

// Names searched in the container must stay plain member names: the harness must not be
// steered to arbitrary files of the machine.
bool IsPlainName(const std::string& name) {
    if (name.empty() || name.size() > 8 || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

bool IsPlainLibraryText(const char* text) {
    if (text == nullptr) return false;
    for (const char* p = text; *p != '\0'; ++p)
        if (!std::isalnum(static_cast<unsigned char>(*p)) && std::strchr(".,()'=", *p) == nullptr)
            return false;
    return true;
}

std::string FirstPositional(JCLStatement* stmt) {
    char* parm = nullptr;
    if (!JCLStatementPositionalParm(stmt, 1, &parm, 0, 0)) return "";
    std::string name(parm);
    const size_t equals = name.find('=');
    return equals == std::string::npos ? name : name.substr(equals + 1);
}

void ExpandCall(void* deck, JCLStatement* exec) {
    const std::string name = FirstPositional(exec);
    if (!IsPlainName(name) || !BeginSymbolScope(0, 0)) return;
    AddStmtParmsToCurrentScope(0, exec, TRUE, 0);
    StatementList* list = nullptr;
    RD_ProcedureHeader* entry =
        GetProcedureStatementList(deck, name.c_str(), &list, exec, "JES2", 0, 0);
    if (entry != nullptr && !entry->isStatementListBuilt) {
        void* cursor = nullptr;
        if (KVR_CreateCursor(entry->rawJclCardsList, &cursor, 0)) {
            if (entry->isInstreamProc) {
                KVR4006_BuildInstreamProcStatementList(deck, list, cursor, "JES2", 0, 0);
            } else {
                KVR4006_BuildCatalogedProcStatementList(deck, &list, cursor, "JES2", 0, 0);
                entry->StatementList = list;
            }
            entry->isStatementListBuilt = TRUE;
            DeleteCursor(cursor, 0);
        }
        AddEndProc(deck, 0);
        CleanProcedureStatements(entry, 0);
    }
    EndSymbolScope(0);
}

void Walk(void* deck, StatementList* jobList) {
    void* cursor = nullptr;
    if (jobList == nullptr || !CreateStmtCursor(jobList, &cursor, 0)) return;
    JCLStatement* stmt = nullptr;
    while (GetStmtViaCursor(cursor, &stmt) && KVRU005() <= 4) {
        switch (stmt->StatementType) {
        case RD_EXEC: {
            char* pgm = nullptr;
            if (!JCLStatementKeywordParm(stmt, "PGM", &pgm, 0, 0)) ExpandCall(deck, stmt);
            break;
        }
        case RD_INCLUDE: {
            char* member = nullptr;
            if (JCLStatementKeywordParm(stmt, "MEMBER", &member, 0, 0) && IsPlainName(member + 7))
                GetIncludeStatementList(deck, member + 7, stmt, "JES2", 0, 0);
            break;
        }
        case RD_JCLLIB: {
            char* text = nullptr;
            if (JCLStatementParmText(stmt, &text) && IsPlainLibraryText(text))
                ProcessJCLLIBCard(stmt, "", 0, 0);
            break;
        }
        default:
            break;
        }
    }
    DeleteStmtCursor(cursor, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path& root = Root();
    const std::string jobs = (root / "JOBS").string();
    fuzz::WriteBytes(root / "JOBS" / "MEM",
                     std::string_view(reinterpret_cast<const char*>(data), size));
    KVRU940_InitializeFields();
    KVR4002_InitializeFields();
    InitializeStatementListBuilder();
    InitializeScopedSymbolData(0);
    InitializeProcedureList();
    InitializeIncludeList();
    ResetMaximumSeverity();

    const int32_t before = fuzz::Outstanding();
    void* deck = nullptr;
    StatementList* jobList = nullptr;
    if (OpenFileWithLanguageAndType(jobs.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "", "", 0, 0) &&
        CreateList(&deck, 0) && BeginSymbolScope(0, 0)) {
        BuildJobStatementList(deck, &jobList, "JES2", 0, 0);
        Walk(deck, jobList);
    }
    if (jobList != nullptr) DeleteStmtList(jobList, 0);
    FreeProcedureList(0);
    FreeIncludeList(0);
    Free_arrayJclDeck(deck, 0);
    CloseAnyRemainingFiles(0, 0);
    InitializeScopedSymbolData(0);
    fuzz::Require(before == fuzz::Outstanding());
    return 0;
}
