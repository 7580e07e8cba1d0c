// Times kvr4000 over the benchmark corpora (the full one and its tenth) beside `cat` and
// `wc -l` over the same files, prints throughput and peak memory, and exits non-zero when
// a target is missed: analysis at least 1/20 of the speed of `wc -l`, cost per member
// growing by at most 20% from the tenth to the full corpus, peak memory below 64 MB.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "child_run.h"

namespace {

namespace fs = std::filesystem;

constexpr double kWcFactor = 20.0;      // analysis may be at most this much slower than wc -l
constexpr double kGrowthAllowed = 1.20; // cost per member, full corpus against its tenth
constexpr double kMemoryLimitMB = 64.0;
constexpr size_t kFilesPerCommand = 2000; // keeps each cat / wc command line short

struct Corpus {
    std::string label;
    fs::path folder;
    std::vector<std::string> files; // relative to the folder: job members, procedures, includes
    size_t members = 0;
    uintmax_t bytes = 0;
    uintmax_t cards = 0;
};

struct Analysis {
    std::string format;
    Run best;
    size_t framed = 0; // members closed by their END record
};

struct Figures {
    const Corpus* corpus;
    double catSeconds, wcSeconds;
    std::vector<Analysis> analyses;
};

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Every file of a library folder, in name order.
void AddLibrary(Corpus& corpus, const std::string& library) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus.folder / library))
        if (entry.is_regular_file())
            names.push_back(library + "/" + entry.path().filename().string());
    std::sort(names.begin(), names.end());
    corpus.files.insert(corpus.files.end(), names.begin(), names.end());
}

// The files the analyzer reads: the file list's members, then the libraries of the search
// list and the translation table.
bool LoadCorpus(Corpus& corpus) {
    std::error_code ec;
    if (!fs::exists(corpus.folder / "filelist.txt", ec)) {
        std::fprintf(stderr, "run_bench: no filelist.txt in %s\n", corpus.folder.c_str());
        return false;
    }
    for (const std::string& line : Lines(corpus.folder / "filelist.txt")) {
        std::vector<std::string> words = Words(line);
        if (words.size() < 2) continue;
        corpus.files.push_back(words[0] + "/" + words[1]);
        ++corpus.members;
    }
    for (const std::string& line : Lines(corpus.folder / "jcllib.txt"))
        if (std::vector<std::string> words = Words(line); !words.empty())
            AddLibrary(corpus, words[0]);
    for (const std::string& line : Lines(corpus.folder / "xlatlibs.txt"))
        if (std::vector<std::string> words = Words(line); words.size() >= 2)
            AddLibrary(corpus, words[1]);
    std::vector<char> buffer(1 << 16);
    for (const std::string& file : corpus.files) {
        std::ifstream in(corpus.folder / file, std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
               in.gcount() > 0) {
            const size_t got = static_cast<size_t>(in.gcount());
            corpus.bytes += got;
            corpus.cards += static_cast<uintmax_t>(
                std::count(buffer.begin(), buffer.begin() + static_cast<long>(got), '\n'));
        }
    }
    return corpus.members > 0;
}

// A whole-corpus command (cat, wc -l) over every file, in batches; best of `repeat` runs.
double TimeTool(const Corpus& corpus, const std::vector<std::string>& tool, int repeat) {
    double best = 1e30;
    for (int r = 0; r < repeat; ++r) {
        double total = 0;
        for (size_t first = 0; first < corpus.files.size(); first += kFilesPerCommand) {
            std::vector<std::string> argv = tool;
            const size_t last = std::min(corpus.files.size(), first + kFilesPerCommand);
            argv.insert(argv.end(), corpus.files.begin() + static_cast<long>(first),
                        corpus.files.begin() + static_cast<long>(last));
            total += Execute(argv, corpus.folder, {}).seconds;
        }
        best = std::min(best, total);
    }
    return best;
}

// Streams the import file: a forked child starts with the runner's resident pages, and
// they count towards the peak memory reported for the analyzer, so the runner stays small.
size_t CountFramed(const fs::path& import, bool xml) {
    size_t count = 0;
    std::ifstream in(import);
    for (std::string line; std::getline(in, line);) {
        const size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        if (xml ? line.compare(first, std::string::npos, "</jcl>") == 0
                : line.rfind("END JCL", 0) == 0)
            ++count;
    }
    return count;
}

Analysis TimeAnalyzer(const Corpus& corpus, const std::string& binary, const fs::path& output,
                      bool xml, int repeat) {
    Analysis analysis;
    analysis.format = xml ? "xml" : "text";
    const fs::path import = output / (corpus.label + "." + analysis.format + ".import");
    const fs::path log = output / (corpus.label + "." + analysis.format + ".log");
    std::vector<std::string> argv{binary};
    if (xml) argv.push_back("-x");
    const std::vector<std::string> environment{
        "DD:FILELIST=filelist.txt", "DD:JCLLIB=jcllib.txt", "DD:XLATLIBS=xlatlibs.txt",
        "DD:ATTRBOUT=" + import.string(), "DD:RDPRINT=" + log.string()};
    analysis.best.seconds = 1e30;
    for (int r = 0; r < repeat; ++r) {
        std::error_code ec;
        fs::remove(import, ec);
        fs::remove(log, ec); // the log is appended to
        const Run run = Execute(argv, corpus.folder, environment);
        if (run.seconds < analysis.best.seconds) analysis.best = run;
        analysis.best.peakMB = std::max(analysis.best.peakMB, run.peakMB);
        analysis.best.exitCode = std::max(analysis.best.exitCode, run.exitCode);
    }
    analysis.framed = CountFramed(import, xml);
    return analysis;
}

double PerMicro(const Analysis& analysis, const Corpus& corpus) {
    return analysis.best.seconds * 1e6 / static_cast<double>(corpus.members);
}

void PrintFigures(const std::vector<Figures>& all) {
    std::printf("\n%-6s %7s %9s %7s %8s %8s\n", "corpus", "members", "cards", "MB", "cat s",
                "wc -l s");
    for (const Figures& f : all)
        std::printf("%-6s %7zu %9ju %7.1f %8.3f %8.3f\n", f.corpus->label.c_str(),
                    f.corpus->members, f.corpus->cards, static_cast<double>(f.corpus->bytes) / 1e6,
                    f.catSeconds, f.wcSeconds);
    std::printf("\n%-6s %-4s %8s %7s %10s %10s %10s %8s %7s %4s\n", "corpus", "fmt", "kvr s",
                "MB/s", "members/s", "cards/s", "us/member", "x wc -l", "peak MB", "rc");
    for (const Figures& f : all)
        for (const Analysis& a : f.analyses) {
            const double s = a.best.seconds;
            std::printf("%-6s %-4s %8.3f %7.2f %10.0f %10.0f %10.1f %8.1f %7.1f %4d\n",
                        f.corpus->label.c_str(), a.format.c_str(), s,
                        static_cast<double>(f.corpus->bytes) / 1e6 / s,
                        static_cast<double>(f.corpus->members) / s,
                        static_cast<double>(f.corpus->cards) / s, PerMicro(a, *f.corpus),
                        s / f.wcSeconds, a.best.peakMB, a.best.exitCode);
        }
}

// Checks the targets and the sanity of every run; prints one line per check.
bool CheckTargets(const Figures& full, const Figures& tenth) {
    bool ok = true;
    auto report = [&ok](bool passed, const std::string& text) {
        std::printf("%s %s\n", passed ? "ok    " : "MISSED", text.c_str());
        ok = ok && passed;
    };
    char text[256];
    std::printf("\n");
    for (const Figures* f : {&tenth, &full})
        for (const Analysis& a : f->analyses) {
            std::snprintf(text, sizeof text,
                          "%s %s: exit code %d (<= 4), %zu of %zu members framed",
                          f->corpus->label.c_str(), a.format.c_str(), a.best.exitCode, a.framed,
                          f->corpus->members);
            report(a.best.exitCode >= 0 && a.best.exitCode <= 4 && a.framed == f->corpus->members,
                   text);
            std::snprintf(text, sizeof text, "(a) %s %s: %.1f times the time of wc -l (limit %.0f)",
                          f->corpus->label.c_str(), a.format.c_str(), a.best.seconds / f->wcSeconds,
                          kWcFactor);
            report(a.best.seconds <= kWcFactor * f->wcSeconds, text);
            std::snprintf(text, sizeof text, "(c) %s %s: peak memory %.1f MB (limit %.0f MB)",
                          f->corpus->label.c_str(), a.format.c_str(), a.best.peakMB,
                          kMemoryLimitMB);
            report(a.best.peakMB < kMemoryLimitMB, text);
        }
    for (size_t i = 0; i < full.analyses.size() && i < tenth.analyses.size(); ++i) {
        const double growth =
            PerMicro(full.analyses[i], *full.corpus) / PerMicro(tenth.analyses[i], *tenth.corpus);
        std::snprintf(
            text, sizeof text,
            "(b) %s: cost per member %.1f us at %zu, %.1f us at %zu (%+.0f%%, limit +%.0f%%)",
            full.analyses[i].format.c_str(), PerMicro(full.analyses[i], *full.corpus),
            full.corpus->members, PerMicro(tenth.analyses[i], *tenth.corpus), tenth.corpus->members,
            (growth - 1) * 100, (kGrowthAllowed - 1) * 100);
        report(growth <= kGrowthAllowed, text);
    }
    return ok;
}

Figures Measure(const Corpus& corpus, const std::string& binary, const fs::path& output,
                int repeat) {
    std::printf("timing %s corpus (%zu members, best of %d)...\n", corpus.label.c_str(),
                corpus.members, repeat);
    std::fflush(stdout);
    Figures figures{
        &corpus, TimeTool(corpus, {"cat"}, repeat), TimeTool(corpus, {"wc", "-l"}, repeat), {}};
    for (bool xml : {false, true})
        figures.analyses.push_back(TimeAnalyzer(corpus, binary, output, xml, repeat));
    return figures;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: kvr_bench_run KVR4000 FULL_CORPUS TENTH_CORPUS OUTPUT_FOLDER [REPEAT]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) return Usage();
    const std::string binary = fs::absolute(argv[1]).string();
    const fs::path output = fs::absolute(argv[4]);
    const int repeat = argc == 6 ? std::atoi(argv[5]) : 3;
    if (repeat < 1) return Usage();
    std::error_code ec;
    fs::create_directories(output, ec);
    Corpus full{"full", fs::absolute(argv[2]), {}, 0, 0, 0};
    Corpus tenth{"tenth", fs::absolute(argv[3]), {}, 0, 0, 0};
    if (!LoadCorpus(full) || !LoadCorpus(tenth)) return 2;

    const Figures tenthFigures = Measure(tenth, binary, output, repeat);
    const Figures fullFigures = Measure(full, binary, output, repeat);
    PrintFigures({tenthFigures, fullFigures});
    const bool ok = CheckTargets(fullFigures, tenthFigures);
    std::printf("\n%s\n", ok ? "all targets met" : "a target was missed");
    return ok ? 0 : 1;
}
