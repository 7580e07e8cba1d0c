// A fixture for the statement-list tests: members written into a temporary container, a
// procedure library found through the default search list, the log and the import file on
// temporary files, every per-member state reset, and the block counters checked balanced
// once everything the test built has been released.
#ifndef KVR_TESTS_UNIT_ANALYZER_EXPANSION_EXPANSION_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_EXPANSION_EXPANSION_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/scoped_env.h"
#include "expansion/statement_lists.h"
#include "expansion/symbols.h"
#include "kvrbase.h"
#include "locale/locale.h"
#include "model/deck_records.h"
#include "reader/card_reader.h"
#include "services/messages.h"
#include "source/source_access.h"

namespace kvr::test {

class ExpansionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLocaleForTests();
        ResetMessageServicesForTests();
        msgPath_.Set(KVR_CATALOG_DIR);
        lang_.Unset();
        KVR_SetLocale("en_US", nullptr);
        for (ScopedEnv* unset :
             {&jcllibAlt_, &xlatlibs_, &xlatlibsAlt_, &rdprintAlt_, &attrboutAlt_})
            unset->Unset();
        logPath_ = dir_.File("rdprint.log");
        rdprint_.Set(logPath_);
        attrbout_.Set(dir_.File("attrbout.txt"));
        KVROpenLogFile(FALSE, 0);
        KVR_SetMSG_Format(FALSE);
        KVR_OpenImportFile("w", 0);
        KVRU940_InitializeFields();
        ResetDefaultListForTests();
        ResetExtensionListForTests();
        ResetTranslationsForTests();

        jobs_ = Container("JOBS");
        procs_ = Container("PROCS");
        const std::string searchList = dir_.File("jcllib.txt");
        WriteFile(searchList, procs_ + "\n");
        jcllib_.Set(searchList);
        LoadDefaultSearchList(0, 0);

        KVR4002_InitializeFields();
        InitializeStatementListBuilder();
        InitializeScopedSymbolData(0);
        InitializeProcedureList();
        InitializeIncludeList();
        ResetMaximumSeverity();
        QueryBlockStatistics(&created_, &freed_);
        CreateList(&deck_, 0);
        BeginSymbolScope(0, 0); // the job scope, as the deck processor opens it
    }

    void TearDown() override {
        if (jobList_ != nullptr) DeleteStmtList(jobList_, 0);
        FreeProcedureList(0);
        FreeIncludeList(0);
        Free_arrayJclDeck(deck_, 0);
        CloseAnyRemainingFiles(0, 0);
        InitializeScopedSymbolData(0);
        int32_t created = 0;
        int32_t freed = 0;
        QueryBlockStatistics(&created, &freed);
        EXPECT_EQ(created - created_, freed - freed_) << "blocks left behind";
        KVRU940_InitializeFields();
        ResetDefaultListForTests();
        KVR_CloseImportFile();
        ResetMessageServicesForTests();
        ResetLocaleForTests();
    }

    std::string Container(const std::string& name) {
        std::filesystem::path folder = dir_.path() / name;
        std::filesystem::create_directories(folder);
        return folder.string();
    }
    static void Member(const std::string& container, const std::string& name,
                       const std::vector<std::string>& cards) {
        std::string text;
        for (const std::string& card : cards)
            text += card + "\n";
        WriteFile((std::filesystem::path(container) / name).string(), text);
    }

    // Reads the member JOBS/MEM into the job statement list.
    StatementList* ReadJob(const std::vector<std::string>& cards) {
        Member(jobs_, "MEM", cards);
        EXPECT_EQ(OpenFileWithLanguageAndType(jobs_.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "",
                                              "", 0, 0),
                  TRUE);
        BuildJobStatementList(deck_, &jobList_, "JES2", 0, 0);
        return jobList_;
    }

    // A card list as a procedure's cached cards: lines from 1 in the member of reference 0.
    static void* CardList(const std::vector<std::string>& cards) {
        void* list = nullptr;
        CreateList(&list, 0);
        int32_t line = 0;
        for (const std::string& text : cards) {
            void* block = nullptr;
            CreateBlock(&block, sizeof(SourceLine));
            auto* card = static_cast<SourceLine*>(block);
            *card = SourceLine{};
            card->FileReference = 0;
            card->fileLine = ++line;
            card->lineLength = static_cast<int32_t>(text.size());
            text.copy(card->SourceText, sizeof(card->SourceText) - 1);
            AddItemToList(list, card, card->SourceText, 0);
        }
        return list;
    }

    static std::vector<JCLStatement*> Stmts(StatementList* list) {
        std::vector<JCLStatement*> stmts;
        void* cursor = nullptr;
        if (list == nullptr || !CreateStmtCursor(list, &cursor, 0)) return stmts;
        JCLStatement* stmt = nullptr;
        while (GetStmtViaCursor(cursor, &stmt))
            stmts.push_back(stmt);
        DeleteStmtCursor(cursor, 0);
        return stmts;
    }
    static std::vector<int> Types(StatementList* list) {
        std::vector<int> types;
        for (JCLStatement* stmt : Stmts(list))
            types.push_back(stmt->StatementType);
        return types;
    }
    static std::vector<std::string> Labels(StatementList* list) {
        std::vector<std::string> labels;
        for (JCLStatement* stmt : Stmts(list))
            labels.push_back(stmt->StatementLabel);
        return labels;
    }
    static std::string Parms(const JCLStatement* stmt) {
        return stmt->StatementParms != nullptr ? stmt->StatementParms : "";
    }
    // The statement of the list with this label (the first), or null.
    static JCLStatement* Labelled(StatementList* list, const std::string& label) {
        for (JCLStatement* stmt : Stmts(list))
            if (label == stmt->StatementLabel) return stmt;
        return nullptr;
    }

    // The deck items of one structure type, in order.
    template <typename Record> std::vector<Record*> DeckItems(int16_t type) {
        std::vector<Record*> items;
        void* cursor = nullptr;
        KVR_CreateCursor(deck_, &cursor, 0);
        void* data = nullptr;
        while (GetDataAtCursor(cursor, &data)) {
            if (static_cast<RD_JclCommon*>(data)->structureType == type)
                items.push_back(static_cast<Record*>(data));
            AdvanceCursor(cursor);
        }
        DeleteCursor(cursor, 0);
        return items;
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

    // The message numbers written to the log so far (identifier columns 4-7).
    std::vector<int> LoggedNumbers() {
        std::vector<int> numbers;
        for (const std::string& line : LogLines())
            numbers.push_back(line.size() >= 7 ? std::atoi(line.substr(3, 4).c_str()) : 0);
        return numbers;
    }
    std::vector<std::string> LogLines() {
        KVRFlushLogFile();
        return SplitLines(ReadFile(logPath_));
    }
    // The locator line that precedes a warning about a card.
    static std::string WarningAt(const std::string& member, int line) {
        char text[512] = {};
        KVRGetMessageText(text, 1470, member.c_str(), std::to_string(line).c_str(), nullptr,
                          nullptr);
        return text;
    }
    static std::string MessageText(uint32_t number) {
        char text[512] = {};
        KVRGetMessageText(text, number, nullptr, nullptr, nullptr, nullptr);
        return text;
    }

    static std::string SymbolValue(const char* name) {
        char value[kSymbolValueSize] = {};
        return GetScopedSymbolValue(name, value) ? value : "<undefined>";
    }

    TempDir dir_;
    std::string logPath_;
    std::string jobs_;
    std::string procs_;
    void* deck_ = nullptr;
    StatementList* jobList_ = nullptr;
    int32_t created_ = 0;
    int32_t freed_ = 0;
    ScopedEnv msgPath_{"KVRMSGPATH"};
    ScopedEnv lang_{"LANG"};
    ScopedEnv rdprint_{"DD:RDPRINT"};
    ScopedEnv rdprintAlt_{"DD_RDPRINT"};
    ScopedEnv attrbout_{"DD:ATTRBOUT"};
    ScopedEnv attrboutAlt_{"DD_ATTRBOUT"};
    ScopedEnv jcllib_{"DD:JCLLIB"};
    ScopedEnv jcllibAlt_{"DD_JCLLIB"};
    ScopedEnv xlatlibs_{"DD:XLATLIBS"};
    ScopedEnv xlatlibsAlt_{"DD_XLATLIBS"};
};

} // namespace kvr::test

#endif
