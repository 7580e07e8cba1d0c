// The library translation table: its line format and quotes, its limits (200 entries,
// names of 255 characters) and how XlatLibOrSeqDSN applies it. Opening a member of a
// translated library is pinned by the golden case text_jcllib_proc.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/source/source_fixture.h"

namespace {

using kvr::test::SourceTest;
using kvr::test::WriteFile;

struct Translation {
    BOOLEAN applied;
    std::string container;
    std::string spec;
    bool operator==(const Translation&) const = default;
};

Translation Translate(const char* container, const char* member) {
    char xlated[256];
    char spec[512];
    BOOLEAN applied = XlatLibOrSeqDSN(container, member, xlated, spec, 0);
    return {applied, xlated, spec};
}

TEST_F(SourceTest, TranslationTableLinesAndTheirUse) {
    std::string file = dir_.File("xlat.txt");
    WriteFile(file, "SYS1.PROCLIB   /work/procs\n"
                    "\"MY LIB\" \"/work/my procs\"\r\n"
                    "\n"
                    "ONLYONE\n"
                    "SYS1.PROCLIB /work/second\n"
                    "DUP.LIB /a\tb\n");
    xlatlibs_.Set(file);
    LoadLibraryTranslations(0, 0);
    // Lines with one name are skipped while no warning has been written.
    EXPECT_EQ(LogLines(), std::vector<std::string>{"KVR1101I  (XLATLIBS DD)"});
    struct Case {
        const char* container;
        const char* member;
        Translation expected;
    };
    const Case cases[] = {
        // The first applicable entry wins.
        {"SYS1.PROCLIB", "MEMB", {TRUE, "/work/procs", "/work/procs/MEMB"}},
        {"SYS1.PROCLIB", "", {TRUE, "/work/procs", "/work/procs"}},
        // Names in quotes keep them in the container, not in the file spec.
        {"\"MY LIB\"", "M", {TRUE, "\"/work/my procs\"", "/work/my procs/M"}},
        {"sys1.proclib", "MEMB", {FALSE, "sys1.proclib", "sys1.proclib/MEMB"}}, // with case
        {"DUP.LIB", nullptr, {TRUE, "/a\tb", "/a\tb"}}, // a tab is no separator
        {"NOT.THERE", nullptr, {FALSE, "NOT.THERE", "NOT.THERE"}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(Translate(c.container, c.member) == c.expected) << c.container;
}

TEST_F(SourceTest, TranslationTableLimits) {
    std::string content = "LONG.LIB " + std::string(255, 'w') + "\n" + // 255 characters: refused
                          "OK.LIB " + std::string(254, 'w') + "\n";
    for (int i = 1; i <= 200; ++i)
        content += "LIB" + std::to_string(i) + " /x" + std::to_string(i) + "\n";
    std::string file = dir_.File("xlat.txt");
    WriteFile(file, content);
    xlatlibs_.Set(file);
    LoadLibraryTranslations(0, 0);
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].substr(0, 10), "KVR1304W  ");
    EXPECT_NE(log[1].find(std::string(255, 'w')), std::string::npos);
    EXPECT_EQ(log[2], "KVR2400W  The library translation table holds more than 200 entries; the "
                      "rest are ignored.");
    std::vector<std::string> records = ImportLines();
    ASSERT_EQ(records.size(), 1u); // 1304 with its record; 2400 has none
    EXPECT_EQ(records[0].rfind("MSG JCL KVR4000 4 1304 ", 0), 0u);
    EXPECT_EQ(Translate("LONG.LIB", nullptr).applied, FALSE);
    EXPECT_EQ(Translate("OK.LIB", nullptr).container, std::string(254, 'w'));
    EXPECT_EQ(Translate("LIB199", nullptr).container, "/x199");
    EXPECT_EQ(Translate("LIB200", nullptr).applied, FALSE);
}

} // namespace
