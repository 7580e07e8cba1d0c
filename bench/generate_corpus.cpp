// Writes the benchmark corpus: a job library, two procedure libraries (one on the default
// search list, one reached through JCLLIB ORDER and the translation table), an include
// library and the file list, search list and translation table that point kvr4000 at them.
// A fixed seed and a self-contained generator make the output identical on every machine.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Shared members: every job draws on these, so the same names are searched and read again
// and again across the run.
constexpr int kDefaultProcs = 200;
constexpr int kOrderProcs = 60;
constexpr int kIncludes = 100;
constexpr uint64_t kSeed = 0x4B5652345EEDULL;

// SplitMix64: tiny, fully specified, so every compiler draws the same numbers.
struct Random {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }
    bool Chance(int percent) { return Below(100) < percent; }
};

std::string Numbered(const char* prefix, int number, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%0*d", prefix, digits, number);
    return text;
}

std::string DefaultProcName(int i) {
    return Numbered("PRC", i, 4);
}
std::string OrderProcName(int i) {
    return Numbered("OPR", i, 4);
}
std::string IncludeName(int i) {
    return Numbered("INC", i, 4);
}

// A card: name field padded to column 11 when there is one, optionally a sequence number
// in columns 73-80 (only when the card leaves them free).
std::string Card(const std::string& name, const std::string& rest) {
    std::string card = "//" + name;
    if (card.size() < 11)
        card.resize(11, ' ');
    else
        card += ' ';
    return card + rest;
}

struct Member {
    std::vector<std::string> cards;
    bool numbered = false;

    void Add(std::string card) { cards.push_back(std::move(card)); }
    void Add(const std::string& name, const std::string& rest) {
        cards.push_back(Card(name, rest));
    }
    // A parameter card continued on the next card (column 16).
    void Continued(const std::string& name, const std::string& first, const std::string& second) {
        cards.push_back(Card(name, first + ","));
        cards.push_back("//             " + second);
    }
};

// Writes a member; sequence numbers go into columns 73-80 of the cards short enough.
size_t WriteMember(const fs::path& path, const Member& member) {
    std::ofstream out(path, std::ios::binary);
    size_t line = 0;
    for (const std::string& card : member.cards) {
        ++line;
        if (member.numbered && card.size() <= 72) {
            std::string padded = card;
            padded.resize(72, ' ');
            out << padded << Numbered("", static_cast<int>(line * 100), 8) << '\n';
        } else {
            out << card << '\n';
        }
    }
    return member.cards.size();
}

const char* const kPrograms[] = {"IEFBR14", "SORT",   "IEBGENER", "IDCAMS",  "PAYEXTR",
                                 "ACCTUPD", "GLPOST", "INVRPT",   "CUSTMNT", "DAILYSUM"};

std::string Program(Random& random) {
    return kPrograms[random.Below(10)];
}

// A cataloged procedure: PROC defaults, two or three steps with symbolic DSNs, a
// concatenation, a continued DD and a SYSOUT.
Member Procedure(const std::string& name, Random& random) {
    Member proc;
    proc.Add(name, "PROC HLQ=TEST,ENV=T" + std::to_string(random.Below(9)) + ",SPC=5");
    proc.Add("//* CATALOGED PROCEDURE " + name + " OF THE BENCHMARK CORPUS");
    const int steps = 2 + random.Below(2);
    for (int s = 1; s <= steps; ++s) {
        const std::string step = "PS" + std::to_string(s);
        proc.Add(step, "EXEC PGM=" + Program(random) +
                           ",REGION=" + std::to_string(2 + random.Below(30)) + "M");
        proc.Add("STEPLIB", "DD DSN=&HLQ..LOADLIB,DISP=SHR");
        proc.Add("", "DD DSN=SYS1.COMMON.LOADLIB,DISP=SHR");
        proc.Add("INPUT", "DD DSN=&HLQ..&ENV..IN" + std::to_string(s) + ",DISP=SHR");
        proc.Continued("OUTPUT",
                       "DD DSN=&HLQ..&ENV..OUT" + std::to_string(s) + ",DISP=(NEW,CATLG,DELETE)",
                       "SPACE=(CYL,(&SPC,1)),UNIT=SYSDA");
        proc.Add("SYSPRINT", "DD SYSOUT=*");
    }
    return proc;
}

// An include member: one utility step with its DDs.
Member Include(const std::string& name, Random& random) {
    Member include;
    include.Add("//* INCLUDED STEP " + name);
    include.Add(name, "EXEC PGM=" + Program(random));
    include.Add("OLD", "DD DSN=PROD." + name + ".OLD,DISP=(MOD,DELETE,DELETE)");
    include.Add("SYSOUT", "DD SYSOUT=*");
    return include;
}

// A step an IF statement or a referback may name, with a DD of that step that holds a
// data set name ("CALL01.PS1" and "OUTPUT" for a procedure step).
struct Referable {
    std::string step;
    std::string dd;
};

struct Job {
    Member member;
    std::vector<Referable> steps;
};

void InStreamProcedure(Job& job, Random& random) {
    job.member.Add("ISPROC", "PROC OUT=X.OUT,PGMN=SORT");
    job.member.Add("IS1", "EXEC PGM=&PGMN");
    job.member.Add("SORTIN", "DD DSN=&OUT..IN,DISP=SHR");
    job.member.Add("SORTOUT", "DD DSN=&OUT,DISP=SHR");
    job.member.Add("SYSIN",
                   "DD DSN=PROD.SORT.CNTL(S" + std::to_string(random.Below(99)) + "),DISP=SHR");
    job.member.Add("", "PEND");
}

void CatalogedCall(Job& job, Random& random, bool order, int index) {
    const std::string step = Numbered("CALL", index, 2);
    const std::string proc = order ? OrderProcName(random.Below(kOrderProcs))
                                   : DefaultProcName(random.Below(kDefaultProcs));
    if (random.Chance(50))
        job.member.Continued(step, "EXEC " + proc + ",HLQ=&HLQ",
                             "ENV=&ENV,SPC=" + std::to_string(1 + random.Below(9)));
    else
        job.member.Add(step, "EXEC " + proc);
    job.member.Add("PS1.INPUT", "DD DSN=&HLQ..OVERRIDE.IN" + std::to_string(index) + ",DISP=SHR");
    if (random.Chance(50)) job.member.Add("PS2.SYSPRINT", "DD SYSOUT=X");
    if (random.Chance(30)) job.member.Add("PS1.EXTRA", "DD DSN=&HLQ..EXTRA.DATA,DISP=SHR");
    job.steps.push_back({step + ".PS1", "OUTPUT"});
}

void ProgramStep(Job& job, Random& random, int index) {
    const std::string step = Numbered("STEP", index, 2);
    job.member.Continued(
        step, "EXEC PGM=" + Program(random) + ",PARM='RUN " + std::to_string(index) + "'",
        "REGION=" + std::to_string(1 + random.Below(64)) + "M,TIME=5");
    job.member.Add("STEPLIB", "DD DSN=PROD.LOADLIB,DISP=SHR");
    if (!job.steps.empty() && random.Chance(70)) {
        const Referable& earlier = job.steps[random.Below(static_cast<int>(job.steps.size()))];
        job.member.Add("IN", "DD DSN=*." + earlier.step + "." + earlier.dd + ",DISP=SHR");
    } else {
        job.member.Add("IN", "DD DSN=&HLQ..DAILY.INPUT(+0),DISP=SHR");
    }
    job.member.Add("OUT", "DD DSN=&HLQ..STEP" + std::to_string(index) + ".OUT,DISP=(NEW,CATLG)");
    if (random.Chance(50)) {
        job.member.Add("SYSIN", "DD *");
        const int lines = 3 + random.Below(10);
        for (int i = 0; i < lines; ++i)
            job.member.Add("  CONTROL CARD " + std::to_string(i) + " SORT FIELDS=(1,10,CH,A)");
        job.member.Add("/*");
    } else {
        job.member.Add("SYSIN", "DD DATA,DLM=$$");
        const int lines = 1 + random.Below(5);
        for (int i = 0; i < lines; ++i)
            job.member.Add("//DATA LINE " + std::to_string(i) + " LOOKS LIKE JCL");
        job.member.Add("$$");
    }
    job.member.Add("SYSPRINT", "DD SYSOUT=*");
    job.steps.push_back({step, "OUT"});
}

void LinkAndRun(Job& job, Random& random, int index) {
    const std::string link = Numbered("LINK", index, 2);
    const std::string module = Numbered("MOD", random.Below(1000), 4);
    job.member.Add(link, "EXEC PGM=IEWL");
    job.member.Add("SYSLMOD", "DD DSN=PROD.LOAD(" + module + "),DISP=SHR");
    job.member.Add(Numbered("RUN", index, 2), "EXEC PGM=*." + link + ".SYSLMOD");
    job.member.Add("DD1", "DD DSN=*." + link + ".SYSLMOD,DISP=SHR");
}

void Conditional(Job& job, Random& random, int index) {
    const std::string& tested = job.steps[random.Below(static_cast<int>(job.steps.size()))].step;
    job.member.Add(Numbered("CHK", index, 2), "IF (" + tested + ".RC = 0) THEN");
    job.member.Add(Numbered("OK", index, 2), "EXEC PGM=" + Program(random));
    job.member.Add("REPORT", "DD SYSOUT=*");
    job.member.Add("", "ELSE");
    job.member.Add(Numbered("BAD", index, 2), "EXEC PGM=ALERT,PARM='RC FROM " + tested + "'");
    job.member.Add("", "ENDIF");
}

Job MakeJob(const std::string& name, Random& random) {
    Job job;
    job.member.numbered = random.Chance(25);
    job.member.Continued(
        name, "JOB (ACCT" + std::to_string(random.Below(100)) + "),'BENCH JOB " + name + "'",
        "CLASS=A,MSGCLASS=X");
    job.member.Add("//* GENERATED BENCHMARK JOB " + name);
    const bool order = random.Chance(30);
    if (order) job.member.Add("", "JCLLIB ORDER=(BENCH.PROCLIB)");
    job.member.Add("", "SET HLQ=PROD,ENV=E" + std::to_string(random.Below(10)));
    const bool instream = random.Chance(40);
    if (instream) InStreamProcedure(job, random);

    const int pieces = 5 + random.Below(4);
    for (int i = 1; i <= pieces; ++i) {
        const int kind = random.Below(10);
        if (kind < 4) {
            CatalogedCall(job, random, order && random.Chance(50), i);
        } else if (kind < 6 && instream) {
            const std::string step = Numbered("ISC", i, 2);
            job.member.Add(step, "EXEC ISPROC,OUT=&HLQ..IS" + std::to_string(i));
            job.steps.push_back({step + ".IS1", "SORTOUT"});
        } else if (kind < 7) {
            LinkAndRun(job, random, i);
        } else {
            ProgramStep(job, random, i);
        }
        if (random.Chance(30)) job.member.Add("//* END OF PIECE " + std::to_string(i));
        if (!job.steps.empty() && random.Chance(25)) Conditional(job, random, i);
    }
    if (random.Chance(70))
        job.member.Add("", "INCLUDE MEMBER=" + IncludeName(random.Below(kIncludes)));
    ProgramStep(job, random, pieces + 1);
    return job;
}

int Usage() {
    std::fprintf(stderr, "usage: kvr_bench_generate OUTPUT_FOLDER MEMBERS\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Usage();
    const fs::path root = argv[1];
    char* end = nullptr;
    const long members = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || members < 1 || members > 9999999) return Usage();

    std::error_code ec;
    for (const char* folder : {"JOBS", "PROCS", "PROCLIB2", "INCLUDES"}) {
        fs::remove_all(root / folder, ec);
        fs::create_directories(root / folder, ec);
        if (ec) {
            std::fprintf(stderr, "kvr_bench_generate: cannot create %s\n", (root / folder).c_str());
            return 1;
        }
    }
    Random random{kSeed};
    size_t cards = 0;
    for (int i = 0; i < kDefaultProcs; ++i)
        cards +=
            WriteMember(root / "PROCS" / DefaultProcName(i), Procedure(DefaultProcName(i), random));
    for (int i = 0; i < kOrderProcs; ++i)
        cards +=
            WriteMember(root / "PROCLIB2" / OrderProcName(i), Procedure(OrderProcName(i), random));
    for (int i = 0; i < kIncludes; ++i)
        cards += WriteMember(root / "INCLUDES" / IncludeName(i), Include(IncludeName(i), random));

    std::ofstream fileList(root / "filelist.txt", std::ios::binary);
    for (long i = 1; i <= members; ++i) {
        const std::string name = Numbered("J", static_cast<int>(i), 7);
        cards += WriteMember(root / "JOBS" / name, MakeJob(name, random).member);
        fileList << "JOBS " << name << '\n';
    }
    std::ofstream(root / "jcllib.txt", std::ios::binary) << "PROCS\nINCLUDES\n";
    std::ofstream(root / "xlatlibs.txt", std::ios::binary) << "BENCH.PROCLIB PROCLIB2\n";
    fileList.close();
    if (!fileList) {
        std::fprintf(stderr, "kvr_bench_generate: cannot write %s\n",
                     (root / "filelist.txt").c_str());
        return 1;
    }
    std::printf("%ld members, %zu cards\n", members, cards);
    return 0;
}
