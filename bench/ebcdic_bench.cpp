// Times kvr4000 over a benchmark corpus as text and as the same corpus copied in binary
// from the mainframe (every member, procedure and INCLUDE member converted to IBM-1047
// records of 80 bytes without line ends), checks that both runs write the same import file
// byte for byte and prints the time of each and their ratio. Exits non-zero when the import
// files differ or, with a limit given, when the EBCDIC run takes more than that many percent
// longer than the text run.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "child_run.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kRecord = 80;
constexpr char kEbcdicCodePage[] = "IBM1047";
// The lists that point the analyzer at the libraries stay workstation text.
const char* const kRunFiles[] = {"filelist.txt", "jcllib.txt", "xlatlibs.txt"};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A text member as fixed EBCDIC records: each line converted and padded with EBCDIC
// blanks. False (with the reason) for a line that does not fit a card or a byte that the
// code page lacks.
bool ToRecords(iconv_t cd, const std::string& text, std::string& records, std::string& why) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (line.size() > kRecord) {
            why = "a line longer than 80 characters";
            return false;
        }
        char converted[kRecord];
        char* in = line.data();
        size_t inLeft = line.size();
        char* out = converted;
        size_t outLeft = sizeof converted;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            why = "a character IBM-1047 lacks";
            return false;
        }
        records.append(converted, static_cast<size_t>(out - converted));
        records.append(outLeft, '\x40'); // the EBCDIC blank
    }
    return true;
}

// Copies the corpus with every library member converted; the run files stay as they are.
bool ConvertCorpus(const fs::path& from, const fs::path& to, size_t& converted) {
    const iconv_t cd = iconv_open(kEbcdicCodePage, "CP1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "ebcdic_bench: iconv cannot convert to %s\n", kEbcdicCodePage);
        return false;
    }
    std::error_code ec;
    fs::remove_all(to, ec);
    fs::create_directories(to);
    bool ok = true;
    for (const char* name : kRunFiles)
        if (fs::exists(from / name)) fs::copy_file(from / name, to / name);
    for (const fs::directory_entry& library : fs::directory_iterator(from)) {
        if (!library.is_directory()) continue;
        fs::create_directories(to / library.path().filename());
        for (const fs::directory_entry& member : fs::directory_iterator(library.path())) {
            if (!member.is_regular_file()) continue;
            std::string records, why;
            const fs::path target = to / library.path().filename() / member.path().filename();
            if (!ToRecords(cd, ReadFile(member.path()), records, why) ||
                !WriteFile(target, records)) {
                std::fprintf(stderr, "ebcdic_bench: %s: %s\n", member.path().c_str(),
                             why.empty() ? "cannot be written" : why.c_str());
                ok = false;
                continue;
            }
            ++converted;
        }
    }
    iconv_close(cd);
    return ok;
}

Run Analyse(const std::string& binary, const fs::path& corpus, const fs::path& import) {
    std::error_code ec;
    fs::remove(import, ec);
    const fs::path log = fs::path(import).replace_extension(".log");
    fs::remove(log, ec); // the log is appended to
    return Execute({binary}, corpus,
                   {"DD:FILELIST=filelist.txt", "DD:JCLLIB=jcllib.txt", "DD:XLATLIBS=xlatlibs.txt",
                    "DD:ATTRBOUT=" + import.string(), "DD:RDPRINT=" + log.string()});
}

int Usage() {
    std::fprintf(stderr,
                 "usage: kvr_bench_ebcdic KVR4000 CORPUS OUTPUT_FOLDER [REPEAT [LIMIT%%]]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) return Usage();
    const std::string binary = fs::absolute(argv[1]).string();
    const fs::path corpus = fs::absolute(argv[2]);
    const fs::path output = fs::absolute(argv[3]);
    const int repeat = argc >= 5 ? std::atoi(argv[4]) : 3;
    const double limit = argc == 6 ? std::atof(argv[5]) : -1;
    if (repeat < 1) return Usage();
    fs::create_directories(output);
    const fs::path ebcdic = output / "ebcdic-corpus";
    size_t converted = 0;
    if (!ConvertCorpus(corpus, ebcdic, converted)) return 2;
    std::printf("converted %zu members of %s to %s records of 80 bytes\n", converted,
                corpus.c_str(), kEbcdicCodePage);

    // Alternating runs, so a machine that slows down during the bench affects both alike.
    const fs::path textImport = output / "ebcdic-bench.text.import";
    const fs::path ebcdicImport = output / "ebcdic-bench.ebcdic.import";
    double textBest = 1e30, ebcdicBest = 1e30;
    int worstExit = 0;
    for (int r = 0; r < repeat; ++r) {
        const Run text = Analyse(binary, corpus, textImport);
        const Run copy = Analyse(binary, ebcdic, ebcdicImport);
        textBest = std::min(textBest, text.seconds);
        ebcdicBest = std::min(ebcdicBest, copy.seconds);
        worstExit = std::max({worstExit, text.exitCode, copy.exitCode});
    }
    const bool same = ReadFile(textImport) == ReadFile(ebcdicImport);
    const double ratio = ebcdicBest / textBest;
    std::printf("text   %8.3f s\nEBCDIC %8.3f s\nratio  %8.3f (%+.1f%%)\n", textBest, ebcdicBest,
                ratio, (ratio - 1) * 100);
    std::printf("%s import files %s\n", same ? "ok    " : "MISSED",
                same ? "byte-identical" : "differ");
    bool ok = same && worstExit >= 0 && worstExit <= 4;
    if (worstExit < 0 || worstExit > 4) std::printf("MISSED exit code %d (<= 4)\n", worstExit);
    if (limit >= 0) {
        const bool fast = (ratio - 1) * 100 <= limit;
        std::printf("%s EBCDIC run %+.1f%% against the text run (limit +%.0f%%)\n",
                    fast ? "ok    " : "MISSED", (ratio - 1) * 100, limit);
        ok = ok && fast;
    }
    return ok ? 0 : 1;
}
