// Which kvr4000 runs, with what environment, and how its runs are started and stopped.
#include "analyzer_command.hpp"
#include "errors.hpp"
#include "scan_test_folder.hpp"
#include "shard_run.hpp"
#include "signals.hpp"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(ScanAnalyzer, EnvironmentOfAShard) {
    const char* caller[] = {
        "PATH=/bin",     "DD_FILELIST=old.list",         "DD:ATTRBOUT=old.import", "DD_JCLLIB=x",
        "DD_OTHER=kept", "SOURCE_DATE_EPOCH=1700000000", "DD:XLATLIBS=old",        nullptr};
    Strings shared = kvrscan::shared_environment(const_cast<char**>(caller), "999");
    EXPECT_EQ(shared, (Strings{"PATH=/bin", "DD_OTHER=kept", "SOURCE_DATE_EPOCH=1700000000"}));

    const char* no_epoch[] = {"SOURCE_DATE_EPOCH=", "HOME=/root", nullptr};
    EXPECT_EQ(kvrscan::shared_environment(const_cast<char**>(no_epoch), "999"),
              (Strings{"HOME=/root", "SOURCE_DATE_EPOCH=999"}));

    Strings shard = kvrscan::shard_environment(
        {"PATH=/bin"}, {"/w/2.list", "/w/2.import", "/w/2.log", "DUMMY", "x.txt"});
    EXPECT_EQ(shard, (Strings{"PATH=/bin", "DD:FILELIST=/w/2.list", "DD:ATTRBOUT=/w/2.import",
                              "DD:RDPRINT=/w/2.log", "DD:JCLLIB=DUMMY", "DD:XLATLIBS=x.txt"}));
}

namespace {

ShardCommand shell(const ScratchFolder& scratch, const std::string& name,
                   const std::string& script) {
    return {{"/bin/sh", "-c", script},
            {"PATH=/usr/bin:/bin", "SHARD=" + name},
            scratch.path() / (name + ".out"),
            scratch.path() / (name + ".err")};
}

// Alive, and not a zombie waiting for a parent that never reaps it, a second after it was
// sent SIGKILL (which takes effect when the process is next scheduled).
bool alive(pid_t pid) {
    for (int look = 0; look < 100; ++look) {
        std::string stat = read_whole("/proc/" + std::to_string(pid) + "/stat");
        std::size_t after_name = stat.rfind(") ");
        if (after_name == std::string::npos || stat[after_name + 2] == 'Z') return false;
        usleep(10000);
    }
    return true;
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
                             shell(scratch, "b", "exit 16"), shell(scratch, "c", "read x; exit 0")},
                            {});
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].ending, Ending::Exited);
    EXPECT_EQ(outcomes[0].code, 8);
    EXPECT_EQ(outcomes[1].code, 16);
    EXPECT_TRUE(outcomes[1].succeeded());
    EXPECT_FALSE(outcomes[2].failed()); // standard input is empty, not the terminal
    EXPECT_EQ(read_whole(scratch / "a.out"), "out a\n");
    EXPECT_EQ(read_whole(scratch / "a.err"), "err\n");
}

// One run that fails stops the others at once; the group's leftovers go with them.
TEST_F(ScanShardRun, AFailedRunStopsTheOthers) {
    ScratchFolder scratch;
    std::string grandchild = scratch / "grandchild.pid";
    std::string after_grandchild = "while [ ! -s " + grandchild + " ]; do sleep 0.05; done; ";
    auto started = std::chrono::steady_clock::now();
    auto outcomes = kvrscan::run_shards(
        {shell(scratch, "deaf",
               "trap '' TERM; sleep 30 & echo $! > " + grandchild + "; wait; exit 0"),
         shell(scratch, "killed", after_grandchild + "sleep 0.3; kill -KILL $$"),
         shell(scratch, "high", after_grandchild + "exit 20")},
        {});
    auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::seconds(5));
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].ending, Ending::Stopped);
    EXPECT_TRUE(outcomes[1].ending == Ending::KilledBySignal ||
                outcomes[1].ending == Ending::Stopped);
    EXPECT_EQ(outcomes[2].ending, Ending::Exited);
    EXPECT_EQ(outcomes[2].code, 20);
    EXPECT_TRUE(outcomes[2].failed());
    pid_t sleeper = std::stoi(read_whole(grandchild));
    EXPECT_FALSE(alive(sleeper)) << "the deaf run's own child is still there";
}

TEST_F(ScanShardRun, KilledOrNotStarted) {
    ScratchFolder scratch;
    auto killed = kvrscan::run_shards({shell(scratch, "a", "kill -USR1 $$")}, {});
    EXPECT_EQ(killed[0].ending, Ending::KilledBySignal);
    EXPECT_EQ(killed[0].code, SIGUSR1);
    auto not_started = kvrscan::run_shards(
        {{{scratch / "no-such-program"}, {}, scratch / "n.out", scratch / "n.err"}}, {});
    EXPECT_EQ(not_started[0].ending, Ending::NotStarted);
    EXPECT_EQ(not_started[0].code, ENOENT);
}
