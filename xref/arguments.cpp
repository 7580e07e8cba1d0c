#include "arguments.h"

#include "loader.h"

#include <CLI/CLI.hpp>
#include <iostream>

namespace xref {

namespace {

struct QuestionSpec {
    const char* name;
    const char* help;
    const char* argument; // nullptr: the question takes none
    bool generations;
};

constexpr QuestionSpec kQuestions[] = {
    {"dataset", "every use of a data set: job, step, program, DD, access, member and line",
     "NAME|PATTERN", true},
    {"writers", "the jobs that write a data set", "NAME|PATTERN", true},
    {"readers", "the jobs that read a data set", "NAME|PATTERN", true},
    {"program", "the steps that run a program (EXEC PGM= or as a run unit)", "NAME", false},
    {"plan", "the steps that run a DB2 plan", "NAME", false},
    {"psb", "the steps that run an IMS PSB", "NAME", false},
    {"proc", "the calls of a procedure", "NAME", false},
    {"include", "the jobs that use an INCLUDE member", "NAME", false},
    {"job", "a job step by step: programs, run units, data sets in and out", "NAME", false},
    {"lineage", "the data sets upstream (--up) and downstream (--down) of a data set",
     "NAME|PATTERN", true},
    {"missing", "procedures and INCLUDE members that were not found, and who needs them", nullptr,
     false},
    {"messages", "the analyzer's messages", nullptr, false},
    {"stats", "counts of everything in the database", nullptr, false},
};

void AddGraph(CLI::App& app, Command& command) {
    CLI::App* graph = app.add_subcommand(
        "graph", "the lineage of a data set, a job or a program as a graph (DOT, JSON, HTML)");
    GraphRequest& request = command.graph;
    auto* start = graph->add_option_group("start", "what the graph starts from (one of them)");
    auto startAt = [&](const char* flag, NodeKind kind, const char* help) {
        start
            ->add_option_function<std::string>(
                flag,
                [&request, kind](const std::string& name) {
                    request.start = kind;
                    request.name = name;
                },
                help)
            ->option_text("NAME");
    };
    startAt("--dataset", NodeKind::Dataset, "a data set (or a pattern)");
    startAt("--job", NodeKind::Job, "a job");
    startAt("--program", NodeKind::Program, "a program");
    start->require_option(1);
    graph->add_flag("--up", command.up, "the jobs that write it and what they read, and on");
    graph->add_flag("--down", command.down, "the jobs that read it and what they write, and on");
    graph->add_option("--depth", request.depth, "at most N steps away (0: no limit)")
        ->check(CLI::NonNegativeNumber);
    graph->add_flag("--steps", request.steps, "the steps of each job as nodes");
    graph->add_flag("--keep-generations", request.generations,
                    "relative generations of a GDG as nodes of their own");
    graph->add_flag("--temporary", request.temporary, "show temporary (&&) data sets");
    graph
        ->add_option("--max-nodes", request.maxNodes,
                     "at most N nodes: cut at the depth that fits (default 500)")
        ->check(CLI::Range(1, 1000000));
    graph->add_option("--format", command.graphFormat, "dot (Graphviz), json, html (one page)")
        ->check(CLI::IsMember({"dot", "json", "html"}))
        ->option_text("dot|json|html")
        ->required();
    graph->add_option("-o,--output", command.outputPath,
                      "the file written (default: standard output)");
}

void AddReport(CLI::App& app, Command& command) {
    CLI::App* report = app.add_subcommand(
        "report", "a static site of the whole inventory: an index and a page for each job, "
                  "data set, program, plan and PSB");
    report->add_option("DIR", command.reportFolder, "the folder written (created when missing)")
        ->required();
}

void AddDiff(CLI::App& app, Command& command, std::string& format) {
    CLI::App* diff = app.add_subcommand(
        "diff", "what changed from the inventory OLD to NEW: jobs added and removed; steps, "
                "programs, run units and data set uses of the jobs both hold");
    diff->add_option("OLD", command.oldDatabase, "the database of the old inventory")->required();
    diff->add_option("NEW", command.database, "the database of the new inventory")->required();
    diff->add_option("--format", format, "table (aligned, a line each), json (one document)")
        ->check(CLI::IsMember({"table", "json"}))
        ->option_text("table|json");
    diff->add_option("-o,--output", command.outputPath,
                     "the file written (default: standard output)");
}

constexpr const char* kFooter = R"(
Usage:
  kvr-xref load DB IMPORT...            load import files (text or XML) into DB
  kvr-xref DB QUESTION [ARG] [OPTIONS]  ask DB a question
  kvr-xref DB graph (--dataset NAME | --job NAME | --program NAME) --format dot|json|html
  kvr-xref DB report DIR                a static site of the whole inventory
  kvr-xref scan-state DB                for kvr-scan --incremental: sources and their hashes
  kvr-xref sources IMPORT...            for kvr-scan --incremental: the sources members read
  kvr-xref diff OLD NEW [--format table|json] [-o FILE]
                                        what changed from one inventory to the other

Data set patterns: * any characters within a qualifier, % one character, ** any number of
qualifiers (PROD.PAY.*, PROD.**). Relative generations A.B(+1), A.B(0), A.B(-1) are uses
of A.B unless --generations keeps them apart.

Exit codes: 0 done (an unknown name gives an empty answer), 1 a load failed (nothing was
written), 2 a usage error or a database that is missing, not kvr-xref's, or of another
schema version. diff: 0 no differences, 1 differences, 2 any failure.
)";

void AddFormat(CLI::App& question, std::string& format) {
    question.add_option("--format", format, "table (aligned), csv (RFC 4180), json (a line each)")
        ->check(CLI::IsMember({"table", "csv", "json"}))
        ->option_text("table|csv|json");
}

OutputFormat FormatNamed(const std::string& name) {
    if (name == "csv") return OutputFormat::Csv;
    if (name == "json") return OutputFormat::Json;
    return OutputFormat::Table;
}

// How a subcommand that names its own files is written.
std::string OwnFilesUsage(const std::string& subcommand) {
    if (subcommand == "load") return "kvr-xref load DB IMPORT...";
    if (subcommand == "diff") return "kvr-xref diff OLD NEW";
    if (subcommand == "scan-state") return "kvr-xref scan-state DB";
    return "kvr-xref sources IMPORT...";
}

int SeverityNamed(const std::string& letter) {
    if (letter == "W") return 4;
    if (letter == "E") return 8;
    if (letter == "S") return 16;
    return 0;
}

} // namespace

std::optional<Command> ParseArguments(int argc, const char* const* argv, int& exitCode) {
    Command command;
    CLI::App app("kvr-xref: cross-reference questions on kvr4000 import files", "kvr-xref");
    app.footer(kFooter);
    app.require_subcommand(1);
    std::string appDatabase;
    app.add_option("DB", appDatabase, "the database a question asks");

    CLI::App* load = app.add_subcommand("load", "load import files (text or XML) into DB, "
                                                "creating it; members loaded again are replaced");
    std::string loadDatabase;
    load->add_option("DB", loadDatabase, "the database")->required();
    load->add_option("IMPORT", command.imports, "import files; - is standard input")->required();
    command.cacheMegabytes = kDefaultCacheMegabytes;
    load->add_option("--cache-mb", command.cacheMegabytes,
                     "memory for the database cache while loading (default 1024)")
        ->check(CLI::Range(1, 1 << 20));

    load->add_option("--forget", command.forgetList,
                     "drop the analysed members named in FILE (CONTAINER<tab>MEMBER a line)")
        ->option_text("FILE");
    load->add_option("--source-hashes", command.sourceHashes,
                     "store the source hashes in FILE (CONTAINER<tab>MEMBER<tab>ORDINAL<tab>HASH)")
        ->option_text("FILE");

    // For kvr-scan --incremental: what the database holds, what import files read.
    CLI::App* scanState = app.add_subcommand(
        "scan-state", "the sources of DB's analysed members with their stored hashes");
    std::string stateDatabase;
    scanState->add_option("DB", stateDatabase, "the database")->required();
    CLI::App* sources =
        app.add_subcommand("sources", "the sources each member of the import files read");
    sources->add_option("IMPORT", command.imports, "import files")->required();

    std::string format = "table";
    std::string severity;
    for (const QuestionSpec& spec : kQuestions) {
        CLI::App* question = app.add_subcommand(spec.name, spec.help);
        if (spec.argument != nullptr)
            question->add_option(spec.argument, command.argument, "the name asked for")->required();
        if (spec.generations)
            question->add_flag("--generations", command.generations,
                               "keep the relative generations of a GDG apart");
        AddFormat(*question, format);
        if (std::string(spec.name) == "lineage") {
            question->add_flag("--up", command.up, "the jobs that write it and what they read");
            question->add_flag("--down", command.down, "the jobs that read it and what they write");
            question->add_option("--depth", command.depth, "at most N steps away (0: no limit)")
                ->check(CLI::NonNegativeNumber);
        }
        if (std::string(spec.name) == "messages")
            question
                ->add_option("--severity", severity,
                             "W, E or S: messages of at least this severity")
                ->check(CLI::IsMember({"W", "E", "S"}))
                ->option_text("W|E|S");
    }

    AddGraph(app, command);
    AddReport(app, command);
    AddDiff(app, command, format);

    try {
        app.parse(argc, argv);
        command.load = load->parsed();
        command.scanState = scanState->parsed();
        command.importSources = sources->parsed();
        const std::string subcommand = app.get_subcommands().front()->get_name();
        // load, diff, scan-state and sources name their files after the subcommand,
        // questions their database before it.
        const bool namesOwnFiles =
            command.load || command.scanState || command.importSources || subcommand == "diff";
        if (namesOwnFiles && !appDatabase.empty())
            throw CLI::ValidationError(subcommand, "write: " + OwnFilesUsage(subcommand));
        if (!namesOwnFiles && appDatabase.empty())
            throw CLI::RequiredError("DB (write: kvr-xref DB QUESTION ...)");
        if (command.scanState) {
            command.database = stateDatabase;
        } else if (command.load) {
            command.database = loadDatabase;
        } else if (!command.importSources) {
            if (!namesOwnFiles) command.database = appDatabase;
            command.question = subcommand;
        }
    } catch (const CLI::ParseError& error) {
        exitCode = app.exit(error);
        if (exitCode != 0) exitCode = 2;
        return std::nullopt;
    }
    if (!command.up && !command.down) command.up = command.down = true;
    command.graph.up = command.up;
    command.graph.down = command.down;
    command.format = FormatNamed(format);
    command.minimumSeverity = SeverityNamed(severity);
    return command;
}

} // namespace xref
