// DD files: "DD:NAME" opens the path in the variable of that name (else "DD_NAME"); unset
// or DUMMY means no file; a quoted path loses its quotes and the blanks before the closing
// one. The stream helpers write and read such files.
#include <gtest/gtest.h>

#include <string>

#include "common/scoped_env.h"
#include "kvrbase.h"

namespace {

using kvr::test::ReadFile;
using kvr::test::ScopedEnv;
using kvr::test::TempDir;

class DDFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dd_.Unset();
        ddAlternate_.Unset();
    }
    TempDir tmp_;
    ScopedEnv dd_{"DD:KVRTEST"};
    ScopedEnv ddAlternate_{"DD_KVRTEST"};
};

TEST_F(DDFilesTest, NoFileWhenUnsetOrDummy) {
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "r", 0), nullptr);
    dd_.Set("DUMMY");
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 0), nullptr);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 1), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("DUMMY"), std::string::npos);
    dd_.Set(tmp_.File("missing/file"));
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "r", 0), nullptr);
    KVRIOAPI_DD_fclose(nullptr); // harmless
}

TEST_F(DDFilesTest, WritesAndReadsThroughTheNamedPath) {
    const std::string path = tmp_.File("out.txt");
    dd_.Set(path);
    FILE* out = KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 0);
    ASSERT_NE(out, nullptr);
    KVRIOAPI_DD_fprintf1(out, "count %d\n", 42);
    KVRIOAPI_DD_fprintf2(out, "[%s]\n", "one");
    KVRIOAPI_DD_fprintf3(out, "%s-%s\n", "a", "b");
    KVRIOAPI_DD_fprintf4(out, "%s%s%s\n", "x", nullptr, "z");
    KVRIOAPI_DD_fclose(out);
    EXPECT_EQ(ReadFile(path), "count 42\n[one]\na-b\nxz\n");

    FILE* in = KVRIOAPI_DD_fopen("DD:KVRTEST", "r", 0);
    ASSERT_NE(in, nullptr);
    char line[6];
    EXPECT_STREQ(KVRIOAPI_DD_fgets(line, sizeof line, in), "count");
    EXPECT_STREQ(KVRIOAPI_DD_fgets(line, sizeof line, in), " 42\n");
    EXPECT_EQ(KVRIOAPI_DD_fgets(line, 0, in), nullptr);
    KVRIOAPI_DD_fclose(in);
}

TEST_F(DDFilesTest, UnderscoreSpellingAndQuotedPathsWithBlanks) {
    const std::string path = tmp_.File("my file.txt");
    ddAlternate_.Set(path);
    FILE* file = KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 0);
    ASSERT_NE(file, nullptr); // DD_KVRTEST stands in while DD:KVRTEST is unset
    KVRIOAPI_DD_fprintf2(file, "%s", "alternate");
    KVRIOAPI_DD_fclose(file);
    EXPECT_EQ(ReadFile(path), "alternate");

    dd_.Set("\"" + path + "  \""); // DD:KVRTEST wins over DD_KVRTEST
    ddAlternate_.Set(tmp_.File("elsewhere"));
    file = KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 0);
    ASSERT_NE(file, nullptr);
    KVRIOAPI_DD_fprintf2(file, "%s", "quoted");
    KVRIOAPI_DD_fclose(file);
    EXPECT_EQ(ReadFile(path), "quoted");
}

} // namespace
