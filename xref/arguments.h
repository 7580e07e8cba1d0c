// The command line: "load DB IMPORT..." or "DB QUESTION [ARG] [options]".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "output_format.h"

namespace xref {

struct Command {
    bool load = false;
    std::string database;
    std::vector<std::string> imports;
    std::string question;
    std::string argument;
    OutputFormat format = OutputFormat::Table;
    bool generations = false;
    bool up = false;
    bool down = false;
    int depth = 0;
    int minimumSeverity = 0;
    int cacheMegabytes = 0;
};

// The command, or nothing when the program should end with `exitCode` (0 after --help,
// 2 after a usage error, whose message is then written to standard error).
std::optional<Command> ParseArguments(int argc, const char* const* argv, int& exitCode);

} // namespace xref
