// Message lookup and writing: which catalog answers for a base name and locale, when a
// catalog is read again, and how the severity letter counts. What the log gets in whole
// runs: every golden case.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/services/message_fixture.h"

namespace {

using kvr::test::MessageTest;
using kvr::test::ReadFile;
using kvr::test::SplitLines;

std::string Bind(const char* baseName, const char* locale, BOOLEAN expected) {
    char library[128];
    std::memset(library, 'z', sizeof library);
    EXPECT_EQ(KVRGetMessageBind(baseName, locale, library), expected) << baseName << " " << locale;
    return library;
}

TEST(MessageBind, FirstMatchingRowOfTheBindingTable) {
    EXPECT_EQ(Bind("kvrmsg.dll", "en_US", TRUE), "kvrenus.dll");
    EXPECT_EQ(Bind("kvrmsg.dll", "ko_KR", TRUE), "kvrkokr.dll");
    EXPECT_EQ(Bind("kvrmsg.dll", "ja_JP", TRUE), "kvrjajp.dll");
    EXPECT_EQ(Bind("kvrmsg.dll", "fr_FR", TRUE), "kvrenus.dll"); // catch-all row
    EXPECT_EQ(Bind("kvrmsg.dll", "", TRUE), "kvrenus.dll");
    EXPECT_EQ(Bind("pjwenus.dll", "ko_KR", TRUE), "pjwenus.dll");
    EXPECT_EQ(Bind("other.dll", "en_US", FALSE), "");
    EXPECT_EQ(Bind("KVRMSG.DLL", "en_US", FALSE), ""); // base names compare exactly
    EXPECT_EQ(Bind("", "en_US", FALSE), "");
    EXPECT_EQ(KVRGetMessageBind(nullptr, "en_US", nullptr), FALSE);
}

TEST_F(MessageTest, CatalogFollowsLocaleAndBaseName) {
    EXPECT_EQ(Text(1309, "M"), "KVR1309W  member M not found (en)");
    KVR_SetLocale("ko_KR", nullptr);
    EXPECT_EQ(Text(1309, "M"), "KVR1309W  member M not found (ko)");

    // In Velkor mode every locale reads the Velkor catalog, which has its own numbers.
    setMessageDll("pjwenus.dll");
    KVR_SetLocale("ko_KR", nullptr);
    EXPECT_EQ(Text(3028, "M"), "VAD3028W  member M not found (velkor)");
    EXPECT_EQ(Text(1309, "M"), "");
    setMessageDll("kvrmsg.dll");
    EXPECT_EQ(Text(1309, "M"), "KVR1309W  member M not found (ko)");

    // A base name that binds to no catalog gives no texts.
    setMessageDll("unknown.dll");
    EXPECT_EQ(Text(1309, "M"), "");
    char area[64];
    const char* inserts[4] = {"M", nullptr, nullptr, nullptr};
    EXPECT_EQ(KVRGetMessage(inserts, area, sizeof area, 1309, "kvrmsg.dll"), 33);
    EXPECT_STREQ(area, "KVR1309W  member M not found (ko)");
    EXPECT_EQ(KVRGetMessage(inserts, area, sizeof area, 1309, nullptr), 0);
    EXPECT_STREQ(area, "");
}

TEST_F(MessageTest, MissingTextsGiveEmptyLinesAndLeaveTheSeverity) {
    KVROpenLogFile(FALSE, 0);
    KVRWriteMessage(9999); // not in the catalog
    msgPath_.Set(catalogs_.File("no-such-folder"));
    setMessageDll("kvrmsg.dll");
    KVRWriteMessage(1309); // no catalog at all
    EXPECT_EQ(Text(1309), "");
    EXPECT_EQ(KVRU005(), 0);

    // A failed load is not retried while base name and locale stay the same.
    msgPath_.Set(catalogs_.path().string());
    EXPECT_EQ(Text(1309), "");
    setMessageDll("kvrmsg.dll");
    EXPECT_EQ(Text(1000), "KVR1000I");
    EXPECT_EQ(LogText(), "\n\n");
}

TEST_F(MessageTest, CatalogIsReadAgainOnlyWhenBaseNameOrLocaleChange) {
    EXPECT_EQ(Text(1300), "KVR1300E  an error");
    WriteCatalog("kvrenus", "1300\tKVR1300E  second edition\n");
    EXPECT_EQ(Text(1300), "KVR1300E  an error");
    setMessageDll("kvrmsg.dll");
    EXPECT_EQ(Text(1300), "KVR1300E  second edition");
    WriteCatalog("kvrenus", "1300\tKVR1300E  third edition\n");
    KVR_SetLocale("en_GB", nullptr);
    EXPECT_EQ(Text(1300), "KVR1300E  third edition");
}

TEST_F(MessageTest, TextVariantsAndSeverityOfAText) {
    EXPECT_EQ(Text(1201, "CONT", "MEM"), "KVR1201I  member MEM of CONT");
    EXPECT_EQ(Text(1900), "KVR1900I  crlf"); // a carriage return ends no text
    EXPECT_EQ(Text(1234), "");               // malformed lines are not messages

    char rest[kvr::kMessageBufferSize];
    KVRGetMessageTextWithoutMsgNo(rest, 1201, "CONT", "MEM", nullptr, nullptr);
    EXPECT_STREQ(rest, "member MEM of CONT");
    std::memset(rest, 'x', sizeof rest);
    KVRGetMessageTextWithoutMsgNo(rest, 1000, nullptr, nullptr, nullptr, nullptr);
    EXPECT_STREQ(rest, "");
    KVRGetMessageTextWithoutMsgNo(rest, 4321, nullptr, nullptr, nullptr, nullptr);
    EXPECT_STREQ(rest, "");

    const std::pair<const char*, int32_t> types[] = {
        {"KVR1309W  text", 4},
        {"KVR1300E", 8},
        {"VAD3050S  x", 16},
        {"KVR1000I  x", 0},
        {"KVR1309w  x", 0},
        {"KVR130W", 0}, // the letter is the 8th character
        {"W", 0},
        {"", 0},
        {nullptr, 0}};
    for (const auto& [text, type] : types)
        EXPECT_EQ(KVRGetMessageType(text), type) << (text ? text : "null");
}

TEST_F(MessageTest, LongTextsAreCutToTheBuffer) {
    WriteCatalog("kvrenus", "1800\tKVR1800W  " + std::string(600, 'x') + "\n");
    char buffer[kvr::kMessageBufferSize + 8];
    std::memset(buffer, '#', sizeof buffer);
    KVRGetMessageText(buffer, 1800, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::strlen(buffer), kvr::kMessageBufferSize - 1);
    EXPECT_EQ(buffer[kvr::kMessageBufferSize], '#');

    char small[12];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(KVRGetMessage(nullptr, small, 10, 1800, "kvrmsg.dll"), 9);
    EXPECT_STREQ(small, "KVR1800W ");
    EXPECT_EQ(small[10], '#');

    KVROpenLogFile(FALSE, 0);
    KVRWriteMessage(1800);
    EXPECT_EQ(KVRU005(), 4);
    EXPECT_EQ(LogText(), "KVR1800W  " + std::string(501, 'x') + "\n");
}

using MessageDeathTest = MessageTest;

TEST_F(MessageDeathTest, WriteAndExitEndsWithCodeEightAfterLogging) {
    EXPECT_EXIT(
        {
            KVROpenLogFile(FALSE, 0);
            KVRWriteMessageWithStringAndExit(1309, "GONE");
        },
        ::testing::ExitedWithCode(8), "");
    EXPECT_EXIT(
        {
            KVROpenLogFile(FALSE, 0);
            KVRWriteMessageAndExit(1300);
        },
        ::testing::ExitedWithCode(8), "");
    EXPECT_EQ(ReadFile(logPath_), "KVR1309W  member GONE not found (en)\nKVR1300E  an error\n");
}

} // namespace
