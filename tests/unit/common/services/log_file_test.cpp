// The log: appended to the file DD:RDPRINT names, else standard error (with the
// log-failure message in debug runs); opened once, and silent after closing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/services/message_fixture.h"

namespace {

using kvr::test::MessageTest;
using kvr::test::ReadFile;
using kvr::test::WriteFile;

using LogFileTest = MessageTest;

TEST_F(LogFileTest, AppendsToTheFileOnceOpened) {
    WriteFile(logPath_, "earlier run\n");
    KVRWriteMessage(1000); // before opening there is no log
    KVROpenLogFile(FALSE, 0);
    KVRWriteMessage(1000);
    KVROpenLogFile(TRUE, 0); // already open: stays on the file
    KVRWriteMessageWithStrings(1201, "C", "M", nullptr, nullptr);
    KVRCloseLogFile();
    KVRWriteMessage(1300); // closed: not written anywhere, still counted
    EXPECT_EQ(KVRU005(), 8);
    KVRCloseLogFile(); // closing twice is harmless
    KVROpenLogFile(FALSE, 0);
    KVRWriteMessage(1309);
    KVRCloseLogFile();
    EXPECT_EQ(
        ReadFile(logPath_),
        "earlier run\nKVR1000I\nKVR1201I  member M of C\nKVR1309W  member %1 not found (en)\n");
}

TEST_F(LogFileTest, StandardErrorWhenTheFileCannotBeOpened) {
    // Without a name the log is standard error (pinned end to end by help_on_stderr); in a
    // debug run the log-failure message says so first.
    rdprint_.Set(catalogs_.File("missing-folder/rdprint.log"));
    ::testing::internal::CaptureStdout(); // the DD-name trace of a debug run
    ::testing::internal::CaptureStderr();
    KVROpenLogFile(FALSE, 1);
    KVRWriteMessage(1000);
    KVRCloseLogFile();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "KVR1638I  no log file\nKVR1000I\n");
    ::testing::internal::GetCapturedStdout();

    // The failure message can be another one.
    rdprint_.Unset();
    setLogFileErrorMsg(1300);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    KVROpenLogFile(FALSE, 1);
    KVRCloseLogFile();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "KVR1300E  an error\n");
    ::testing::internal::GetCapturedStdout();
}

TEST_F(LogFileTest, StandardErrorOnRequest) {
    ::testing::internal::CaptureStderr();
    KVROpenLogFile(TRUE, 0);
    KVRWriteMessage(1000);
    KVRCloseLogFile(); // standard error itself stays open
    KVRFlushLogFile();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "KVR1000I\n");
    EXPECT_FALSE(std::filesystem::exists(logPath_));
}

} // namespace
