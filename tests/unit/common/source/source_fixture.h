// A fixture for the source-access tests: a temporary folder for containers, the log on a
// temporary DD:RDPRINT, the import file on a temporary DD:ATTRBOUT, the repository's own
// catalogs, no search list or translation table named, and every source table empty.
#ifndef KVR_TESTS_UNIT_COMMON_SOURCE_SOURCE_FIXTURE_H
#define KVR_TESTS_UNIT_COMMON_SOURCE_SOURCE_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/scoped_env.h"
#include "kvrbase.h"
#include "locale/locale.h"
#include "services/messages.h"
#include "source/source_access.h"

namespace kvr::test {

class SourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLocaleForTests();
        ResetMessageServicesForTests();
        msgPath_.Set(KVR_CATALOG_DIR);
        lang_.Unset();
        KVR_SetLocale("en_US", nullptr);
        for (ScopedEnv* unset :
             {&jcllib_, &jcllibAlt_, &xlatlibs_, &xlatlibsAlt_, &rdprintAlt_, &attrboutAlt_})
            unset->Unset();
        logPath_ = dir_.File("rdprint.log");
        importPath_ = dir_.File("attrbout.txt");
        rdprint_.Set(logPath_);
        attrbout_.Set(importPath_);
        KVROpenLogFile(FALSE, 0);
        KVR_SetMSG_Format(FALSE);
        KVR_OpenImportFile("w", 0);
        ResetSourceTables();
        ResetMaximumSeverity();
    }
    void TearDown() override {
        CloseAnyRemainingFiles(0, 0);
        ResetSourceTables();
        KVR_CloseImportFile();
        ResetMessageServicesForTests();
        ResetLocaleForTests();
    }

    static void ResetSourceTables() {
        KVRU940_InitializeFields();
        ResetDefaultListForTests();
        ResetExtensionListForTests();
        ResetTranslationsForTests();
    }

    // A container folder under the temporary folder, with members name -> content.
    std::string Container(const std::string& name,
                          const std::vector<std::pair<std::string, std::string>>& members = {}) {
        std::filesystem::path folder = dir_.path() / name;
        std::filesystem::create_directories(folder);
        for (const auto& [member, content] : members)
            WriteFile((folder / member).string(), content);
        return folder.string();
    }

    // The message numbers written to the log so far, in order (identifier columns 4-7).
    std::vector<int> LoggedNumbers() {
        KVRFlushLogFile();
        std::vector<int> numbers;
        for (const std::string& line : SplitLines(ReadFile(logPath_)))
            numbers.push_back(line.size() >= 7 ? std::atoi(line.substr(3, 4).c_str()) : 0);
        return numbers;
    }
    std::vector<std::string> LogLines() {
        KVRFlushLogFile();
        return SplitLines(ReadFile(logPath_));
    }
    std::vector<std::string> ImportLines() {
        KVRFlushLogFile();
        return SplitLines(ReadFile(importPath_));
    }

    // Opens a member as the member to analyze.
    static BOOLEAN OpenMain(const std::string& container, const std::string& member,
                            int16_t mode = 0) {
        return OpenFileWithLanguageAndType(container.c_str(), member.c_str(), "", "JCL", "MAIN",
                                           "NTFS", "", "", mode, 0);
    }

    // Every line ReadNextLine delivers until it answers FALSE.
    static std::vector<SourceLine> ReadAll(int16_t mode = 0) {
        std::vector<SourceLine> lines;
        SourceLine line{};
        while (ReadNextLine(&line, mode, 0))
            lines.push_back(line);
        return lines;
    }

    TempDir dir_;
    std::string logPath_;
    std::string importPath_;
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
