// The fixture of the expansion tests: members written into temporary containers (JOBS, and
// PROCS and INCS on the default search list), the log and the import file on temporary
// files, every per-member state reset, and the block counters checked balanced once the
// deck, the statement lists and the procedure and include lists are released.
#ifndef KVR_TESTS_UNIT_ANALYZER_EXPANSION_DECK_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_EXPANSION_DECK_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer/statement_test_support.h"
#include "driver/member_loop.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "expansion/statement_lists.h"
#include "expansion/symbols.h"
#include "locale/locale.h"
#include "model/job_model.h"
#include "services/messages.h"
#include "source/source_access.h"

namespace kvr::test {

using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

// A statement made by hand with its operation word, from line `line` of member `ref`.
inline StmtPtr MakeStatement(RD_JCL_STATEMENT_TYPE type, const char* label, const char* op,
                             const char* parms, SOURCE_REF ref = 0, int32_t line = 1) {
    StmtPtr stmt = MakeStatement(type, label, parms, line);
    std::snprintf(stmt->StatementOp, sizeof stmt->StatementOp, "%s", op);
    stmt->FileReference = ref;
    return stmt;
}

// The items of a kvrbase list, in order.
template <typename Item> std::vector<Item*> ListItems(void* list) {
    std::vector<Item*> items;
    void* cursor = nullptr;
    if (list == nullptr || !KVR_CreateCursor(list, &cursor, 0)) return items;
    for (void* data = nullptr; GetDataAtCursor(cursor, &data); AdvanceCursor(cursor))
        items.push_back(static_cast<Item*>(data));
    DeleteCursor(cursor, 0);
    return items;
}

inline std::string Symbol(const char* name) {
    char value[kSymbolValueSize] = {};
    return GetScopedSymbolValue(name, value) ? value : "<undefined>";
}

// The statements of a statement list, their types, labels and operand texts.
inline std::vector<JCLStatement*> Stmts(StatementList* list) {
    std::vector<JCLStatement*> stmts;
    void* cursor = nullptr;
    if (list == nullptr || !CreateStmtCursor(list, &cursor, 0)) return stmts;
    for (JCLStatement* stmt = nullptr; GetStmtViaCursor(cursor, &stmt);)
        stmts.push_back(stmt);
    DeleteStmtCursor(cursor, 0);
    return stmts;
}
template <typename Out, typename Field> Out Each(StatementList* list, Field field) {
    Out out;
    for (JCLStatement* stmt : Stmts(list))
        out.push_back(field(stmt));
    return out;
}
inline Ints Types(StatementList* list) {
    return Each<Ints>(list, [](JCLStatement* s) { return int(s->StatementType); });
}
inline Strings Labels(StatementList* list) {
    return Each<Strings>(list, [](JCLStatement* s) { return std::string(s->StatementLabel); });
}
inline std::string Parms(const JCLStatement* stmt) {
    return stmt->StatementParms != nullptr ? stmt->StatementParms : "";
}
inline JCLStatement* Labelled(StatementList* list, const std::string& label) {
    for (JCLStatement* stmt : Stmts(list))
        if (label == stmt->StatementLabel) return stmt;
    return nullptr;
}

class DeckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLocaleForTests();
        ResetMessageServicesForTests();
        msgPath_.Set(KVR_CATALOG_DIR);
        lang_.Unset();
        KVR_SetLocale("en_US", nullptr);
        for (ScopedEnv& env : unset_)
            env.Unset();
        logPath_ = dir_.File("rdprint.log");
        rdprint_.Set(logPath_);
        attrbout_.Set(dir_.File("attrbout.txt"));
        KVROpenLogFile(FALSE, 0);
        KVR_SetMSG_Format(FALSE);
        KVR_OpenImportFile("w", 0);
        ResetDefaultListForTests();
        ResetExtensionListForTests();
        ResetTranslationsForTests();
        jobs_ = Container("JOBS");
        procs_ = Container("PROCS");
        incs_ = Container("INCS");
        WriteFile(dir_.File("jcllib.txt"), procs_ + "\n" + incs_ + "\n");
        jcllib_.Set(dir_.File("jcllib.txt"));
        LoadDefaultSearchList(0, 0);
        InitializeFields(0);
        ResetMaximumSeverity();
        QueryBlockStatistics(&created_, &freed_);
        BeginSymbolScope(0, 0); // the job scope, as the deck processor opens it
    }

    void TearDown() override {
        if (jobList_ != nullptr) DeleteStmtList(jobList_, 0);
        Release();
        CloseAnyRemainingFiles(0, 0);
        InitializeScopedSymbolData(0);
        int32_t created = 0, freed = 0;
        QueryBlockStatistics(&created, &freed);
        EXPECT_EQ(created - created_, freed - freed_) << "blocks left behind";
        setMessageDll("kvrmsg.dll");
        KVRU940_InitializeFields();
        ResetDefaultListForTests();
        KVR_CloseImportFile();
        ResetMessageServicesForTests();
        ResetLocaleForTests();
    }

    std::string Container(const std::string& name) {
        std::filesystem::create_directories(dir_.path() / name);
        return (dir_.path() / name).string();
    }
    static void Member(const std::string& container, const std::string& name,
                       const Strings& cards) {
        std::string text;
        for (const std::string& card : cards)
            text += card + "\n";
        WriteFile((std::filesystem::path(container) / name).string(), text);
    }
    void Proc(const std::string& name, const Strings& cards) { Member(procs_, name, cards); }

    // Expands JOBS/MEM as the member loop does; the deck stays for inspection.
    BOOLEAN Expand(const Strings& cards, int16_t mode = 0, int32_t debug = 0) {
        Release();
        ClearLog();
        setMessageDll(mode == kModeVelkor ? "pjwenus.dll" : "kvrmsg.dll");
        Member(jobs_, "MEM", cards);
        InitializeFields(debug);
        ResetMaximumSeverity();
        EXPECT_EQ(Open(mode, debug), TRUE);
        CreateList(&deck_, 0);
        SetLocalTimeField();
        const BOOLEAN rc = ProcessJclDeck(deck_, ignoreJCLLIB_, "", "JES2", mode, FALSE, debug);
        CloseAnyRemainingFiles(mode, debug);
        return rc;
    }
    BOOLEAN Open(int16_t mode = 0, int32_t debug = 0) {
        return OpenFileWithLanguageAndType(jobs_.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "", "",
                                           mode, debug);
    }
    void Release() {
        FreeIncludeList(0);
        FreeProcedureList(0);
        Free_arrayJclDeck(deck_, 0);
        deck_ = nullptr;
    }

    // The expanded deck: structure types, records of one type, steps and their DDs.
    Ints Kinds() {
        Ints kinds;
        for (RD_JclCommon* item : ListItems<RD_JclCommon>(deck_))
            kinds.push_back(item->structureType);
        return kinds;
    }
    template <typename Record> std::vector<Record*> DeckItems(int16_t type) {
        std::vector<Record*> items;
        for (RD_JclCommon* item : ListItems<RD_JclCommon>(deck_))
            if (item->structureType == type) items.push_back(reinterpret_cast<Record*>(item));
        return items;
    }
    std::vector<RD_JobStep*> Steps() { return DeckItems<RD_JobStep>(RD_STRUCT_STEP); }
    std::vector<RD_JobStruct*> Jobs() { return DeckItems<RD_JobStruct>(RD_STRUCT_JOB); }
    // Invoking step name and procedure nesting level of each step: "CALL/1".
    Strings StepOrigins() {
        Strings origins;
        for (RD_JobStep* step : Steps())
            origins.push_back(std::string(step->InvokingStepName) + "/" +
                              std::to_string(step->procNestingLevel));
        return origins;
    }
    RD_JobStep* StepNamed(const std::string& name) {
        for (RD_JobStep* step : Steps())
            if (name == step->StepName) return step;
        return nullptr;
    }
    static Strings DDNames(RD_JobStep* step) {
        Strings names;
        for (RD_DDStatement* dd : ListItems<RD_DDStatement>(step ? step->DDStatementList : nullptr))
            names.push_back(dd->DDName);
        return names;
    }

    // Reads the member JOBS/MEM into the job statement list.
    StatementList* ReadJob(const Strings& cards) {
        Member(jobs_, "MEM", cards);
        EXPECT_EQ(Open(), TRUE);
        if (jobList_ != nullptr) DeleteStmtList(jobList_, 0);
        if (deck_ == nullptr) CreateList(&deck_, 0);
        BuildJobStatementList(deck_, &jobList_, "JES2", 0, 0);
        return jobList_;
    }
    // One procedure call as the deck processor makes it: a call scope with the EXEC's
    // keyword parameters, the procedure's entry, and the call's statements built from its
    // cached cards.
    struct Call {
        RD_ProcedureHeader* entry = nullptr;
        StatementList* list = nullptr;
    };
    Call CallProcedure(const char* name, JCLStatement* exec) {
        EXPECT_TRUE(BeginSymbolScope(0, 0));
        AddStmtParmsToCurrentScope(0, exec, TRUE, 0);
        Call call;
        call.entry = GetProcedureStatementList(deck_, name, &call.list, exec, "JES2", 0, 0);
        if (call.entry == nullptr) return call;
        void* cursor = nullptr;
        KVR_CreateCursor(call.entry->rawJclCardsList, &cursor, 0);
        if (call.entry->isInstreamProc) {
            KVR4006_BuildInstreamProcStatementList(deck_, call.list, cursor, "JES2", 0, 0);
        } else {
            KVR4006_BuildCatalogedProcStatementList(deck_, &call.list, cursor, "JES2", 0, 0);
            call.entry->StatementList = call.list;
        }
        call.entry->isStatementListBuilt = TRUE;
        DeleteCursor(cursor, 0);
        return call;
    }
    void EndCall(const Call& call) {
        AddEndProc(deck_, 0);
        CleanProcedureStatements(call.entry, 0);
        EXPECT_TRUE(EndSymbolScope(0));
    }

    void ClearLog() { // each expansion is judged by its own messages
        KVRCloseLogFile();
        WriteFile(logPath_, "");
        KVROpenLogFile(FALSE, 0);
    }
    Strings LogLines() {
        KVRFlushLogFile();
        return SplitLines(ReadFile(logPath_));
    }
    // The numbers of the messages written, without the locator lines (1470/1471, 3130/3131).
    Ints Raised() {
        Ints numbers;
        for (const std::string& line : LogLines()) {
            const int number = line.size() >= 8 ? std::atoi(line.substr(3, 4).c_str()) : 0;
            if (number != 1470 && number != 1471 && number != 3130 && number != 3131)
                numbers.push_back(number);
        }
        return numbers;
    }
    // The locator line of a warning about a card of a member, and a message's own line.
    static std::string At(int line, const std::string& member = "MEM") {
        char text[512] = {};
        KVRGetMessageText(text, 1470, member.c_str(), std::to_string(line).c_str(), nullptr,
                          nullptr);
        return text;
    }
    static std::string Text(uint32_t n, const char* insert = nullptr) {
        return MessageLine(n, insert);
    }

    TempDir dir_;
    std::string logPath_, jobs_, procs_, incs_;
    void* deck_ = nullptr;
    StatementList* jobList_ = nullptr;
    BOOLEAN ignoreJCLLIB_ = FALSE;
    int32_t created_ = 0, freed_ = 0;
    ScopedEnv msgPath_{"KVRMSGPATH"};
    ScopedEnv lang_{"LANG"};
    ScopedEnv rdprint_{"DD:RDPRINT"};
    ScopedEnv attrbout_{"DD:ATTRBOUT"};
    ScopedEnv jcllib_{"DD:JCLLIB"};
    ScopedEnv unset_[5] = {ScopedEnv{"DD_RDPRINT"}, ScopedEnv{"DD_ATTRBOUT"},
                           ScopedEnv{"DD_JCLLIB"}, ScopedEnv{"DD:XLATLIBS"},
                           ScopedEnv{"DD_XLATLIBS"}};
};

} // namespace kvr::test

#endif
