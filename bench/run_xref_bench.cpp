// Times kvr-xref on the benchmark corpus: the analysis that writes the import file, the load
// of that import file into a new database, questions on the loaded database, and (once, for
// the record) the static report of the whole inventory with its size. Exits
// non-zero when a target is missed: the load no slower than the analysis, the database no
// larger than the import file, dataset, writers and program under 50 ms, lineage --depth 5
// under 1 s.
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "child_run.h"

namespace {

namespace fs = std::filesystem;

constexpr double kQuestionLimit = 0.050;
constexpr double kLineageLimit = 1.0;
constexpr int kQuestionRepeat = 5;

struct Question {
    std::vector<std::string> args;
    double limit; // seconds; 0 for a figure without a target
};

// Questions on names of the generated corpus: a data set, its writers and a program of
// ordinary use, the lineage of a data set many jobs write, and, for the record, a data set
// and a program that nearly every job uses.
const std::vector<Question> kQuestions = {
    {{"dataset", "PROD.INC0012.OLD"}, kQuestionLimit},
    {{"writers", "PROD.INC0012.OLD"}, kQuestionLimit},
    {{"program", "MOD0978"}, kQuestionLimit},
    {{"lineage", "PROD.E2.OUT1", "--depth", "5"}, kLineageLimit},
    {{"dataset", "PROD.E2.OUT1"}, 0},
    {{"writers", "PROD.E2.OUT1"}, 0},
    {{"program", "SORT"}, 0},
};

Run Best(int repeat, auto once) {
    Run best;
    best.seconds = 1e30;
    best.exitCode = 0;
    for (int r = 0; r < repeat; ++r) {
        const Run run = once();
        best.seconds = std::min(best.seconds, run.seconds);
        best.exitCode = std::max(best.exitCode, run.exitCode);
    }
    return best;
}

// Files and bytes below a folder.
std::pair<size_t, uintmax_t> FolderSize(const fs::path& folder) {
    size_t files = 0;
    uintmax_t bytes = 0;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        if (entry.is_regular_file(ec)) {
            ++files;
            bytes += entry.file_size(ec);
        }
    return {files, bytes};
}

size_t CountLines(const fs::path& file) {
    size_t lines = 0;
    if (std::FILE* in = std::fopen(file.c_str(), "rb")) {
        for (int c; (c = std::fgetc(in)) != EOF;)
            lines += c == '\n';
        std::fclose(in);
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) {
        std::fprintf(stderr,
                     "usage: kvr_xref_bench KVR4000 KVR_XREF CORPUS OUTPUT_FOLDER [REPEAT]\n");
        return 2;
    }
    const std::string kvr4000 = fs::absolute(argv[1]).string();
    const std::string xref = fs::absolute(argv[2]).string();
    const fs::path corpus = fs::absolute(argv[3]);
    const fs::path output = fs::absolute(argv[4]);
    const int repeat = argc == 6 ? std::max(1, std::atoi(argv[5])) : 3;
    std::error_code ec;
    fs::create_directories(output, ec);
    const fs::path import = output / "xref.text.import";
    const fs::path db = output / "xref.db";

    std::printf("kvr-xref: analysis, load and questions on %s (best of %d)...\n", corpus.c_str(),
                repeat);
    std::fflush(stdout);
    const Run analysis = Best(repeat, [&] {
        fs::remove(output / "xref.text.log", ec);
        return Execute({kvr4000}, corpus,
                       {"DD:FILELIST=filelist.txt", "DD:JCLLIB=jcllib.txt",
                        "DD:XLATLIBS=xlatlibs.txt", "DD:ATTRBOUT=" + import.string(),
                        "DD:RDPRINT=" + (output / "xref.text.log").string()});
    });
    const Run load = Best(repeat, [&] {
        fs::remove(db, ec);
        fs::remove(db.string() + "-journal", ec);
        return Execute({xref, "load", db.string(), import.string()}, output, {});
    });
    const uintmax_t importBytes = fs::file_size(import, ec);
    const uintmax_t dbBytes = fs::file_size(db, ec);

    bool ok = analysis.exitCode <= 4 && load.exitCode == 0;
    auto report = [&ok](bool passed, const char* format, auto... values) {
        std::printf("%s ", passed ? "ok    " : "MISSED");
        std::printf(format, values...);
        std::printf("\n");
        ok = ok && passed;
    };
    std::printf("\n%-44s %9s %7s\n", "", "seconds", "rows");
    std::printf("%-44s %9.3f %7s\n", "analysis (kvr4000, text)", analysis.seconds, "");
    std::printf("%-44s %9.3f %7s\n", "kvr-xref load", load.seconds, "");
    std::vector<std::pair<const Question*, Run>> answers;
    for (const Question& question : kQuestions) {
        std::vector<std::string> args{xref, db.string()};
        args.insert(args.end(), question.args.begin(), question.args.end());
        const fs::path answer = output / "xref.answer";
        const Run run =
            Best(kQuestionRepeat, [&] { return Execute(args, output, {}, answer.c_str()); });
        const size_t rows = CountLines(answer) - 1; // the heading
        std::printf("%-44s %9.3f %7zu\n", Joined(question.args).c_str(), run.seconds, rows);
        answers.emplace_back(&question, run);
    }
    const fs::path site = output / "xref.report";
    fs::remove_all(site, ec);
    const Run siteRun = Execute({xref, db.string(), "report", site.string()}, output, {});
    const auto [pages, siteBytes] = FolderSize(site);
    std::printf("%-44s %9.3f %7s  (%zu files, %.1f MB)\n", "report (once)", siteRun.seconds, "",
                pages, static_cast<double>(siteBytes) / 1e6);
    std::printf("\n");
    report(siteRun.exitCode == 0, "report exit code %d", siteRun.exitCode);
    report(analysis.exitCode <= 4 && load.exitCode == 0,
           "analysis exit code %d (<= 4), load exit code %d", analysis.exitCode, load.exitCode);
    report(load.seconds <= analysis.seconds, "load %.2f s, analysis %.2f s (load no slower)",
           load.seconds, analysis.seconds);
    report(dbBytes <= importBytes, "database %.1f MB, import file %.1f MB (database no larger)",
           static_cast<double>(dbBytes) / 1e6, static_cast<double>(importBytes) / 1e6);
    for (const auto& [question, run] : answers)
        if (question->limit > 0)
            report(run.exitCode == 0 && run.seconds < question->limit,
                   "%s: %.0f ms (limit %.0f ms)", Joined(question->args).c_str(),
                   run.seconds * 1000, question->limit * 1000);
    std::printf("\n%s\n", ok ? "all kvr-xref targets met" : "a kvr-xref target was missed");
    return ok ? 0 : 1;
}
