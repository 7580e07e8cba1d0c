// A fixture for the message tests: a temporary catalog folder named by KVRMSGPATH, a log
// file named by DD:RDPRINT, the locale en_US and the message state as at load.
#ifndef KVR_TESTS_UNIT_COMMON_SERVICES_MESSAGE_FIXTURE_H
#define KVR_TESTS_UNIT_COMMON_SERVICES_MESSAGE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "common/scoped_env.h"
#include "kvrbase.h"
#include "locale/locale.h"
#include "services/messages.h"

namespace kvr::test {

// Texts chosen so that each test can tell which catalog answered.
inline const char kTestEnglishCatalog[] = "# test catalog\n"
                                          "\n"
                                          "1000\tKVR1000I\n"
                                          "1201\tKVR1201I  member %2 of %1\n"
                                          "1300\tKVR1300E  an error\n"
                                          "1309\tKVR1309W  member %1 not found (en)\n"
                                          "1450\tKVR1450S  a severe error\n"
                                          "1638\tKVR1638I  no log file\n"
                                          "1700\tKVR1700I  %1|%2|%3|%4\n"
                                          "1900\tKVR1900I  crlf\r\n"
                                          "bad line without a tab\n"
                                          "12x4\tKVR1234I  not a number\n";

class MessageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLocaleForTests();
        ResetMessageServicesForTests();
        msgPath_.Set(catalogs_.path().string());
        logPath_ = catalogs_.File("rdprint.log");
        rdprint_.Set(logPath_);
        rdprintAlternate_.Unset();
        lang_.Unset();
        KVR_SetLocale("en_US", nullptr);
        WriteCatalog("kvrenus", kTestEnglishCatalog);
        WriteCatalog("kvrkokr", "1309\tKVR1309W  member %1 not found (ko)\n");
        WriteCatalog("kvrjajp", "1309\tKVR1309W  member %1 not found (ja)\n");
        WriteCatalog("pjwenus", "3028\tVAD3028W  member %1 not found (velkor)\n");
    }
    void TearDown() override {
        ResetMessageServicesForTests();
        ResetLocaleForTests();
    }

    void WriteCatalog(const std::string& name, const std::string& content) {
        WriteFile(catalogs_.File(name + ".msg"), content);
    }
    std::string LogText() {
        KVRFlushLogFile();
        return ReadFile(logPath_);
    }
    std::string Text(uint32_t number, const char* r1 = nullptr, const char* r2 = nullptr) {
        char buffer[kMessageBufferSize];
        KVRGetMessageText(buffer, number, r1, r2, nullptr, nullptr);
        return buffer;
    }

    TempDir catalogs_;
    std::string logPath_;
    ScopedEnv msgPath_{"KVRMSGPATH"};
    ScopedEnv rdprint_{"DD:RDPRINT"};
    ScopedEnv rdprintAlternate_{"DD_RDPRINT"};
    ScopedEnv lang_{"LANG"};
};

} // namespace kvr::test

#endif
