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

TEST(DDFiles, NoFileWhenUnsetDummyOrMissing) {
    TempDir tmp;
    ScopedEnv dd("DD:KVRTEST", std::nullopt);
    ScopedEnv ddAlternate("DD_KVRTEST", std::nullopt);
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "r", 0), nullptr);
    dd.Set("DUMMY");
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 0), nullptr);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 1), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("DUMMY"), std::string::npos);
    dd.Set(tmp.File("missing/file"));
    EXPECT_EQ(KVRIOAPI_DD_fopen("DD:KVRTEST", "r", 0), nullptr);
    KVRIOAPI_DD_fclose(nullptr); // harmless
}

TEST(DDFiles, WritesAndReadsThroughTheNamedPath) {
    TempDir tmp;
    const std::string path = tmp.File("my file.txt");
    ScopedEnv dd("DD:KVRTEST", std::nullopt);
    ScopedEnv ddAlternate("DD_KVRTEST", path); // stands in while DD:KVRTEST is unset
    FILE* out = KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 0);
    ASSERT_NE(out, nullptr);
    KVRIOAPI_DD_fprintf1(out, "count %d\n", 42);
    KVRIOAPI_DD_fclose(out);
    EXPECT_EQ(ReadFile(path), "count 42\n");

    dd.Set("\"" + path + "  \""); // DD:KVRTEST wins over DD_KVRTEST
    ddAlternate.Set(tmp.File("elsewhere"));
    out = KVRIOAPI_DD_fopen("DD:KVRTEST", "w", 0);
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

} // namespace
