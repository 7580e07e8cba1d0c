// The DOT form of the graph, for `dot -Tsvg`: left to right, producers before consumers;
// with steps, each job is a cluster around its steps.
#include <map>
#include <ostream>

#include "graph_output.h"
#include "graph_style.h"
#include "web_text.h"

namespace xref {

namespace {

// A DOT quoted string. The backslash is doubled, so the label escapes of Graphviz (\N, \l)
// cannot be spelt by a name.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : ValidUtf8(text)) {
        if (c == '"' || c == '\\') quoted += '\\';
        if (c == '\n') {
            quoted += "\\n";
            continue;
        }
        quoted += c;
    }
    return quoted + "\"";
}

// A label: Graphviz reads character entities (&lt;) in labels, so an ampersand is written as
// one, and a name shows as it is.
std::string Label(const std::string& text) {
    std::string escaped;
    for (char c : text)
        escaped += c == '&' ? std::string("&amp;") : std::string(1, c);
    return Quoted(escaped);
}

void WriteNode(const GraphNode& node, const char* indent, std::ostream& out) {
    const NodeStyle& style = StyleOf(node.kind);
    const std::string label =
        node.kind == NodeKind::Step ? std::to_string(node.number) + " " + node.name : node.name;
    out << indent << Quoted(node.id) << " [label=" << Label(label) << ", shape=" << style.dotShape
        << ", style=\"filled" << (node.temporary ? ",dashed" : "") << "\", fillcolor=\""
        << style.fill << "\", color=\"" << style.border << '"' << (node.start ? ", penwidth=3" : "")
        << "];\n";
}

} // namespace

void WriteGraphDot(const LineageGraph& graph, std::ostream& out) {
    std::string label = graph.Title();
    if (graph.Cut()) label += "\n" + graph.CutNote();
    out << "digraph lineage {\n"
        << "  graph [rankdir=LR, labelloc=t, fontname=\"Helvetica\", label=" << Label(label)
        << "];\n"
        << "  node [fontname=\"Helvetica\", fontsize=10];\n"
        << "  edge [fontname=\"Helvetica\", fontsize=9];\n";
    std::map<std::string, std::vector<const GraphNode*>> stepsOfJob;
    for (const GraphNode& node : graph.nodes)
        if (node.kind == NodeKind::Step) stepsOfJob[node.parent].push_back(&node);
    for (const GraphNode& node : graph.nodes) {
        if (node.kind == NodeKind::Step) continue;
        if (node.kind != NodeKind::Job || !graph.request.steps) {
            WriteNode(node, "  ", out);
            continue;
        }
        out << "  subgraph " << Quoted("cluster_" + node.id) << " {\n    label=" << Label(node.name)
            << "; style=filled; fillcolor=\"" << StyleOf(NodeKind::Job).fill << "\"; color=\""
            << StyleOf(NodeKind::Job).border << '"' << (node.start ? "; penwidth=3" : "") << ";\n";
        for (const GraphNode* step : stepsOfJob[node.id])
            WriteNode(*step, "    ", out);
        out << "  }\n";
    }
    for (const GraphEdge& edge : graph.edges) {
        const EdgeStyle* style = &kEdgeStyles[0];
        for (const EdgeStyle& candidate : kEdgeStyles)
            if (edge.kind == candidate.kind) style = &candidate;
        out << "  " << Quoted(edge.source) << " -> " << Quoted(edge.target) << " [label=\""
            << edge.kind << "\", color=\"" << style->colour << "\", fontcolor=\"" << style->colour
            << "\", style=" << style->line << "];\n";
    }
    out << "}\n";
}

} // namespace xref
