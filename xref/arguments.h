// The command line: "load DB IMPORT...", "diff OLD NEW [options]" or
// "DB QUESTION [ARG] [options]".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lineage_graph.h"
#include "output_format.h"

namespace xref {

struct Command {
    bool load = false;
    // What kvr-scan --incremental asks: scan-state DB, sources IMPORT...
    bool scanState = false;
    bool importSources = false;
    std::string database;
    std::vector<std::string> imports;
    // load: the members to drop, the source hashes to store ("" none)
    std::string forgetList;
    std::string sourceHashes;
    std::string question;
    std::string argument;
    OutputFormat format = OutputFormat::Table;
    bool generations = false;
    bool up = false;
    bool down = false;
    int depth = 0;
    int minimumSeverity = 0;
    int cacheMegabytes = 0;
    // graph: what to draw, in which form (dot, json, html), where ("" standard output)
    GraphRequest graph;
    std::string graphFormat;
    std::string outputPath;
    // diff: the old inventory (database is the new one); outputPath and format as above
    std::string oldDatabase;
    // report: the folder the site is written into
    std::string reportFolder;
};

// The command, or nothing when the program should end with `exitCode` (0 after --help,
// 2 after a usage error, whose message is then written to standard error).
std::optional<Command> ParseArguments(int argc, const char* const* argv, int& exitCode);

} // namespace xref
