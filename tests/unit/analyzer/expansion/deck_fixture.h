// A fixture for the deck processor tests: a member written into a temporary container is
// expanded the way the member loop does it (per-member resets, open, ProcessJclDeck, close),
// with a procedure library and an include library found through the default search list
// (DD:JCLLIB). The log goes to a temporary file; the deck, the procedure and include lists
// are released after each test and the block counters must balance.
#ifndef KVR_TESTS_UNIT_ANALYZER_EXPANSION_DECK_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_EXPANSION_DECK_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/scoped_env.h"
#include "driver/member_loop.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "expansion/statement_lists.h"
#include "kvrbase.h"
#include "locale/locale.h"
#include "model/job_model.h"
#include "services/messages.h"
#include "source/source_access.h"

namespace kvr::test {

class DeckTest : public ::testing::Test {
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
        incs_ = Container("INCS");
        const std::string searchList = dir_.File("jcllib.txt");
        WriteFile(searchList, procs_ + "\n" + incs_ + "\n");
        jcllib_.Set(searchList);
        LoadDefaultSearchList(0, 0);
        ResetMaximumSeverity();
        QueryBlockStatistics(&created_, &freed_);
    }

    void TearDown() override {
        Release();
        int32_t created = 0;
        int32_t freed = 0;
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
    void Proc(const std::string& name, const std::vector<std::string>& cards) {
        Member(procs_, name, cards);
    }
    void Include(const std::string& name, const std::vector<std::string>& cards) {
        Member(incs_, name, cards);
    }

    // Expands JOBS/MEM as the member loop does; the deck stays for inspection.
    BOOLEAN Expand(const std::vector<std::string>& cards, int16_t mode = 0, int32_t debug = 0) {
        Release();
        ClearLog();
        if (mode == 2) setMessageDll("pjwenus.dll");
        Member(jobs_, "MEM", cards);
        InitializeFields(debug);
        ResetMaximumSeverity();
        EXPECT_EQ(OpenFileWithLanguageAndType(jobs_.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "",
                                              "", mode, debug),
                  TRUE);
        CreateList(&deck_, 0);
        SetLocalTimeField();
        const BOOLEAN rc = ProcessJclDeck(deck_, ignoreJCLLIB_, "", "JES2", mode, FALSE, debug);
        CloseAnyRemainingFiles(mode, debug);
        return rc;
    }
    void Release() {
        FreeIncludeList(0);
        FreeProcedureList(0);
        Free_arrayJclDeck(deck_, 0);
        deck_ = nullptr;
    }

    // The structure types of the deck, in order.
    std::vector<int> Kinds() {
        std::vector<int> kinds;
        ForEachItem([&](RD_JclCommon* item) { kinds.push_back(item->structureType); });
        return kinds;
    }
    template <typename Record> std::vector<Record*> DeckItems(int16_t type) {
        std::vector<Record*> items;
        ForEachItem([&](RD_JclCommon* item) {
            if (item->structureType == type) items.push_back(reinterpret_cast<Record*>(item));
        });
        return items;
    }
    std::vector<RD_JobStep*> Steps() { return DeckItems<RD_JobStep>(RD_STRUCT_STEP); }
    std::vector<RD_JobStruct*> Jobs() { return DeckItems<RD_JobStruct>(RD_STRUCT_JOB); }
    std::vector<std::string> StepNames() {
        std::vector<std::string> names;
        for (RD_JobStep* step : Steps())
            names.push_back(step->StepName);
        return names;
    }
    // Invoking step name and procedure nesting level of each step: "CALL/1".
    std::vector<std::string> StepOrigins() {
        std::vector<std::string> origins;
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
    static std::vector<RD_DDStatement*> DDs(RD_JobStep* step) {
        std::vector<RD_DDStatement*> dds;
        if (step == nullptr) return dds;
        void* cursor = nullptr;
        KVR_CreateCursor(step->DDStatementList, &cursor, 0);
        void* data = nullptr;
        for (bool more = GetDataAtCursor(cursor, &data) != 0; more;
             more = AdvanceCursor(cursor) != 0 && GetDataAtCursor(cursor, &data) != 0)
            dds.push_back(static_cast<RD_DDStatement*>(data));
        DeleteCursor(cursor, 0);
        return dds;
    }
    static std::vector<std::string> DDNames(RD_JobStep* step) {
        std::vector<std::string> names;
        for (RD_DDStatement* dd : DDs(step))
            names.push_back(dd->DDName);
        return names;
    }
    static RD_DDStatement* DDNamed(RD_JobStep* step, const std::string& name) {
        for (RD_DDStatement* dd : DDs(step))
            if (name == dd->DDName) return dd;
        return nullptr;
    }
    static std::vector<RD_DatasetConcatenation*> Concat(RD_DDStatement* dd) {
        std::vector<RD_DatasetConcatenation*> entries;
        if (dd == nullptr) return entries;
        void* cursor = nullptr;
        KVR_CreateCursor(dd->ConcatList, &cursor, 0);
        void* data = nullptr;
        for (bool more = GetDataAtCursor(cursor, &data) != 0; more;
             more = AdvanceCursor(cursor) != 0 && GetDataAtCursor(cursor, &data) != 0)
            entries.push_back(static_cast<RD_DatasetConcatenation*>(data));
        DeleteCursor(cursor, 0);
        return entries;
    }
    static std::vector<std::string> DatasetNames(RD_DDStatement* dd) {
        std::vector<std::string> names;
        for (RD_DatasetConcatenation* entry : Concat(dd))
            names.push_back(entry->DatasetName);
        return names;
    }

    // Each expansion is judged by its own messages.
    void ClearLog() {
        KVRCloseLogFile();
        WriteFile(logPath_, "");
        KVROpenLogFile(FALSE, 0);
    }
    std::vector<std::string> LogLines() {
        KVRFlushLogFile();
        return SplitLines(ReadFile(logPath_));
    }
    // The numbers of the messages written, without the locator lines (1470/1471, 3130/3131).
    std::vector<int> Raised() {
        std::vector<int> numbers;
        for (const std::string& line : LogLines()) {
            const int number = line.size() >= 8 ? std::atoi(line.substr(3, 4).c_str()) : 0;
            if (number != 1470 && number != 1471 && number != 3130 && number != 3131)
                numbers.push_back(number);
        }
        return numbers;
    }
    // The locator line for a message at a card of JOBS/MEM (or another member).
    static std::string At(int line, bool warning = true, const std::string& member = "MEM") {
        char text[512] = {};
        KVRGetMessageText(text, warning ? 1470 : 1471, member.c_str(), std::to_string(line).c_str(),
                          nullptr, nullptr);
        return text;
    }
    static std::string Text(uint32_t number) {
        char text[512] = {};
        KVRGetMessageText(text, number, nullptr, nullptr, nullptr, nullptr);
        return text;
    }

    TempDir dir_;
    std::string logPath_;
    std::string jobs_;
    std::string procs_;
    std::string incs_;
    void* deck_ = nullptr;
    BOOLEAN ignoreJCLLIB_ = FALSE;
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

  private:
    template <typename Visit> void ForEachItem(Visit visit) {
        if (deck_ == nullptr) return;
        void* cursor = nullptr;
        KVR_CreateCursor(deck_, &cursor, 0);
        void* data = nullptr;
        for (bool more = GetDataAtCursor(cursor, &data) != 0; more;
             more = AdvanceCursor(cursor) != 0 && GetDataAtCursor(cursor, &data) != 0)
            visit(static_cast<RD_JclCommon*>(data));
        DeleteCursor(cursor, 0);
    }
};

} // namespace kvr::test

#endif
