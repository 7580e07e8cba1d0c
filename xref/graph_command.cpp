#include "graph_command.h"

#include <fstream>
#include <iostream>
#include <stdexcept>

#include "graph_output.h"
#include "lineage_details.h"

namespace xref {

void RunGraph(Database& db, const Command& command, std::ostream& notes) {
    const UseIndex uses(db);
    const LineageGraph graph = BuildLineageGraph(db, uses, command.graph);
    if (graph.Cut()) notes << "kvr-xref: " << graph.Title() << ": " << graph.CutNote() << '\n';
    std::ofstream file;
    if (!command.outputPath.empty()) {
        file.open(command.outputPath, std::ios::binary | std::ios::trunc);
        if (!file) throw std::runtime_error("cannot write " + command.outputPath);
    }
    std::ostream& out = command.outputPath.empty() ? std::cout : file;
    if (command.graphFormat == "dot")
        WriteGraphDot(graph, out);
    else if (command.graphFormat == "json")
        WriteGraphJson(graph, out);
    else
        WriteGraphHtml(graph, NodeDetails(db, graph), out);
    out.flush();
    if (!out) throw std::runtime_error("cannot write " + command.outputPath);
}

} // namespace xref
