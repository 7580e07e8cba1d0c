// The command line: what each option does, the folder lists, and the usage errors.
#include "command_line.h"
#include "errors.h"
#include "scan_test_folder.h"

#include <gtest/gtest.h>
#include <limits>

using kvrscan::parse_command_line;
using kvrscan::ScanRequest;
using kvrscan::UsageError;
using Words = std::vector<std::string>;

TEST(ScanCommandLine, OptionsFolderListsAndAnalyzerOptions) {
    ScanRequest r =
        parse_command_line({"-x", "-j3", "JOBS", "MORE//", "-p", "P1", "P2/", "-r", "J2", "-t",
                            "t.txt", "-s", "s.txt", "-o", "out", "-l", "log", "--", "-exjcl,txt",
                            "-p", "X"});
    EXPECT_TRUE(r.xml);
    EXPECT_TRUE(r.recursive); // and -r ended the search list: J2 is a job folder
    EXPECT_EQ(r.shards_text, "3");
    EXPECT_EQ(r.job_folders, (Words{"JOBS", "MORE", "J2"}));
    EXPECT_EQ(r.proc_folders, (Words{"P1", "P2"}));
    EXPECT_EQ(r.xlatlibs, "t.txt");
    EXPECT_EQ(r.syssyms, "s.txt");
    EXPECT_EQ(r.import_name, "out");
    EXPECT_EQ(r.log_name, "log");
    EXPECT_EQ(r.analyzer_options, (Words{"-exjcl,txt", "-p", "X"}));

    ScanRequest defaults = parse_command_line({"JOBS"});
    EXPECT_EQ(defaults.import_name, "kvr-scan.import");
    EXPECT_EQ(defaults.log_name, "kvr-scan.log");
    EXPECT_EQ(defaults.shards_text, "1");
}

TEST(ScanCommandLine, AValueIsTheNextWordWhateverItLooksLike) {
    ScanRequest r = parse_command_line({"-o", "-x", "-j", "-p", "-", "-l", "--"});
    EXPECT_EQ(r.import_name, "-x");
    EXPECT_FALSE(r.xml);
    EXPECT_EQ(r.shards_text, "-p");
    EXPECT_EQ(r.job_folders, (Words{"-"})); // a lone "-" is a folder name
    EXPECT_EQ(r.log_name, "--");
}

TEST(ScanCommandLine, UsageErrorsAndHelp) {
    for (const Words& words :
         {Words{"-q", "JOBS"}, Words{"JOBS", "--dbx", "x"}, Words{"-ofile"}, Words{"JOBS", "-l"},
          Words{"JOBS", "--db"}, Words{"JOBS", "-db", "x"}})
        EXPECT_THROW(parse_command_line(words), UsageError) << words[0];
    try {
        parse_command_line({"JOBS", "-t"});
        FAIL();
    } catch (const UsageError& error) {
        EXPECT_STREQ(error.what(), "option -t needs a value");
    }
    EXPECT_TRUE(parse_command_line({"JOBS", "--help", "-q"}).help);
    EXPECT_THROW(parse_command_line({"-q", "-h"}), UsageError);
}

TEST(ScanCommandLine, DatabaseEndsTheSearchListAndTakesAnyName) {
    ScanRequest r = parse_command_line({"JOBS", "-p", "P1", "--db", "-x", "J2"});
    EXPECT_EQ(r.database, "-x");
    EXPECT_FALSE(r.xml);
    EXPECT_EQ(r.proc_folders, (Words{"P1"}));
    EXPECT_EQ(r.job_folders, (Words{"JOBS", "J2"}));
    EXPECT_EQ(parse_command_line({"JOBS"}).database, std::nullopt);

    // Given but empty: said before any work.
    ScratchFolder scratch;
    scratch.write("JOBS/A");
    ScanRequest empty = parse_command_line({(scratch / "JOBS"), "--db", ""});
    try {
        kvrscan::check_request(empty);
        FAIL();
    } catch (const UsageError& error) {
        EXPECT_STREQ(error.what(), "--db needs a database name");
    }
}

TEST(ScanCommandLine, TrimSlashes) {
    EXPECT_EQ(kvrscan::trim_slashes("A///"), "A");
    EXPECT_EQ(kvrscan::trim_slashes("A/B/"), "A/B");
    EXPECT_EQ(kvrscan::trim_slashes("///"), "/");
    EXPECT_EQ(kvrscan::trim_slashes(""), "");
}

TEST(ScanCommandLine, ChecksOfShardsFoldersAndTranslationTable) {
    ScratchFolder scratch;
    scratch.write("JOBS/M");
    scratch.write("P=Q/M");
    std::string table = scratch.write("xlat.txt");
    auto request = [&](std::string shards, Words jobs, Words procs = {}, std::string xlat = "") {
        ScanRequest r;
        r.shards_text = shards;
        for (const auto& folder : jobs)
            r.job_folders.push_back(scratch / folder);
        for (const auto& folder : procs)
            r.proc_folders.push_back(scratch / folder);
        r.xlatlibs = xlat;
        return r;
    };
    auto message = [](ScanRequest r) -> std::string {
        try {
            kvrscan::check_request(r);
            return "";
        } catch (const UsageError& error) {
            return error.what();
        }
    };
    for (const char* bad : {"0", "07", "two", "", "3x", "-1"})
        EXPECT_EQ(message(request(bad, {"JOBS"})),
                  std::string("-j needs a whole number of 1 or more, not '") + bad + "'");
    EXPECT_EQ(message(request("1", {})), "no job folder given");
    EXPECT_EQ(message(request("1", {"JOBS"}, {"NONE"})), "not a folder: " + (scratch / "NONE"));
    EXPECT_EQ(message(request("1", {"JOBS/M"})), "not a folder: " + (scratch / "JOBS/M"));
    EXPECT_NE(message(request("1", {"JOBS"}, {"P=Q"})).find("cannot hold"), std::string::npos);
    EXPECT_EQ(message(request("1", {"JOBS"}, {}, scratch / "JOBS")),
              "no translation table: " + (scratch / "JOBS"));
    ScanRequest without_symbols = request("1", {"JOBS"});
    without_symbols.syssyms = scratch / "none.txt";
    EXPECT_EQ(message(without_symbols), "no system symbol file: " + (scratch / "none.txt"));

    ScanRequest good = request("12", {"JOBS", "P=Q"}, {}, table);
    EXPECT_EQ(message(good), "");
    kvrscan::check_request(good);
    EXPECT_EQ(good.shards, 12u);
    ScanRequest huge = request("123456789012345678901234567890", {"JOBS"});
    kvrscan::check_request(huge);
    EXPECT_EQ(huge.shards, std::numeric_limits<std::size_t>::max());
}
