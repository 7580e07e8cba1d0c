// The commands that draw: "graph" (one lineage graph) and "report" (a static site).
#pragma once

#include <iosfwd>

#include "arguments.h"
#include "database.h"

namespace xref {

// Writes the graph to the output file or standard output; a cut graph is also said on
// `notes`. Throws std::runtime_error when the output file cannot be written.
void RunGraph(Database& db, const Command& command, std::ostream& notes);

} // namespace xref
