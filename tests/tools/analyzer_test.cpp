// Which kvr4000 runs, with what environment, and what a run leaves. How failed runs are
// stopped is checked end to end (kvr_scan_failure_test.sh, kvr_scan_interrupt_test.sh).
#include "analyzer_command.h"
#include "database_load.h"
#include "errors.h"
#include "scan_test_folder.h"
#include "shard_run.h"
#include "signals.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using kvrscan::ShardCommand;
using kvrscan::ShardOutcome;
using Ending = ShardOutcome::Ending;
using Strings = std::vector<std::string>;

TEST(ScanAnalyzer, LocatedByVariableThenBesideThenOnPath) {
    ScratchFolder scratch;
    std::string beside = scratch.write("bin/kvr4000");
    std::string on_path = scratch.write("path2/kvr4000");
    scratch.write("path1/kvr4000"); // not executable: passed over
    chmod(beside.c_str(), 0755);
    chmod(on_path.c_str(), 0755);
    std::string path = scratch / "none" + ":" + scratch / "path1" + ":" + scratch / "path2";

    EXPECT_EQ(kvrscan::locate_analyzer("/x/kvr4000", scratch / "bin/kvr-scan", path.c_str()),
              "/x/kvr4000");
    EXPECT_EQ(kvrscan::locate_analyzer("", scratch / "bin/kvr-scan", path.c_str()), beside);
    EXPECT_EQ(kvrscan::locate_analyzer(nullptr, scratch / "other/kvr-scan", path.c_str()), on_path);
    EXPECT_EQ(kvrscan::locate_analyzer(nullptr, "", (scratch / "none").c_str()), std::nullopt);

    EXPECT_THROW(kvrscan::checked_analyzer(std::nullopt), kvrscan::UsageError);
    EXPECT_THROW(kvrscan::checked_analyzer(scratch / "path1/kvr4000"), kvrscan::UsageError);
    EXPECT_THROW(kvrscan::checked_analyzer(scratch / "bin"), kvrscan::UsageError);
    EXPECT_EQ(kvrscan::checked_analyzer(beside), beside);
}

TEST(ScanAnalyzer, KvrXrefLocatedLikeTheAnalyzerAndNamedWhenMissing) {
    ScratchFolder scratch;
    std::string xref = scratch.write("bin/kvr-xref");
    std::string analyzer = scratch.write("bin/kvr4000");
    chmod(xref.c_str(), 0755);
    chmod(analyzer.c_str(), 0755);
    std::string self = scratch / "bin/kvr-scan";
    EXPECT_EQ(kvrscan::locate_program("kvr-xref", nullptr, self, nullptr), xref);
    EXPECT_EQ(kvrscan::locate_program("kvr-xref", "/x/xref", self, nullptr), "/x/xref");
    EXPECT_EQ(kvrscan::locate_program("kvr-xref", nullptr, scratch / "other/kvr-scan",
                                      (scratch / "bin").c_str()),
              xref);
    EXPECT_EQ(kvrscan::locate_program("kvr-xref", nullptr, "", (scratch / "none").c_str()),
              std::nullopt);
    try {
        kvrscan::checked_program(std::nullopt, "kvr-xref", "KVR_XREF");
        FAIL();
    } catch (const kvrscan::UsageError& error) {
        EXPECT_STREQ(error.what(), "kvr-xref not found (build it, or set KVR_XREF)");
    }
}

TEST(ScanDatabaseLoad, ArgumentsKeepNamesFromLookingLikeOptions) {
    kvrscan::DatabaseLoad load{"/b/kvr-xref", "-x.db", {"-", "/w/1.import", "-o"}, "", "", {}};
    EXPECT_EQ(kvrscan::load_arguments(load),
              (Strings{"/b/kvr-xref", "load", "./-x.db", "./-", "/w/1.import", "./-o"}));
    load.database = "db/x.db";
    load.imports = {"scan.import"};
    EXPECT_EQ(kvrscan::load_arguments(load),
              (Strings{"/b/kvr-xref", "load", "db/x.db", "scan.import"}));
}

TEST(ScanAnalyzer, EnvironmentOfAShard) {
    const char* caller[] = {
        "PATH=/bin",     "DD_FILELIST=old.list",         "DD:ATTRBOUT=old.import", "DD_JCLLIB=x",
        "DD_OTHER=kept", "SOURCE_DATE_EPOCH=1700000000", "DD:XLATLIBS=old",
        "DD:SYSSYMS=old.syms", "DD_SYSSYMS=old.syms", nullptr};
    Strings shared = kvrscan::shared_environment(const_cast<char**>(caller), "999");
    EXPECT_EQ(shared, (Strings{"PATH=/bin", "DD_OTHER=kept", "SOURCE_DATE_EPOCH=1700000000"}));

    const char* no_epoch[] = {"SOURCE_DATE_EPOCH=", "HOME=/root", nullptr};
    EXPECT_EQ(kvrscan::shared_environment(const_cast<char**>(no_epoch), "999"),
              (Strings{"HOME=/root", "SOURCE_DATE_EPOCH=999"}));

    Strings shard = kvrscan::shard_environment(
        {"PATH=/bin"}, {"/w/2.list", "/w/2.import", "/w/2.log", "DUMMY", "x.txt", "s.txt"});
    EXPECT_EQ(shard, (Strings{"PATH=/bin", "DD:FILELIST=/w/2.list", "DD:ATTRBOUT=/w/2.import",
                              "DD:RDPRINT=/w/2.log", "DD:JCLLIB=DUMMY", "DD:XLATLIBS=x.txt",
                              "DD:SYSSYMS=s.txt"}));
}

namespace {

ShardCommand shell(const ScratchFolder& scratch, const std::string& name,
                   const std::string& script) {
    return {{"/bin/sh", "-c", script},
            {"PATH=/usr/bin:/bin", "SHARD=" + name},
            scratch.path() / (name + ".out"),
            scratch.path() / (name + ".err")};
}

// The runs are waited for through the handlers' wake-up pipe, as in the program.
class ScanShardRun : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        static bool installed = false;
        if (!installed) kvrscan::signals::install();
        installed = true;
    }
};

} // namespace

TEST_F(ScanShardRun, OutcomesOutputAndEnvironment) {
    ScratchFolder scratch;
    auto outcomes =
        kvrscan::run_shards({shell(scratch, "a", "echo out $SHARD; echo err >&2; exit 8"),
                             shell(scratch, "b", "exit 16"),
                             shell(scratch, "c", "test \"$(readlink /proc/$$/fd/0)\" = /dev/null")},
                            {});
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].ending, Ending::Exited);
    EXPECT_EQ(outcomes[0].code, 8);
    EXPECT_EQ(outcomes[1].code, 16);
    EXPECT_TRUE(outcomes[1].succeeded());
    EXPECT_EQ(outcomes[2].code, 0) << "standard input is not /dev/null";
    EXPECT_EQ(read_whole(scratch / "a.out"), "out a\n");
    EXPECT_EQ(read_whole(scratch / "a.err"), "err\n");
}
