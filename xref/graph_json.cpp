// The JSON form of the graph: what was asked, whether and where the cap cut it, the nodes
// with their kind, name and level, and the edges with their kind.
#include <ostream>

#include "graph_output.h"

namespace xref {

namespace {

nlohmann::ordered_json NodeJson(const GraphNode& node) {
    nlohmann::ordered_json json{{"id", node.id},
                                {"kind", NodeKindName(node.kind)},
                                {"name", node.name},
                                {"level", node.level},
                                {"start", node.start}};
    switch (node.kind) {
    case NodeKind::Dataset:
        json["temporary"] = node.temporary;
        break;
    case NodeKind::Job:
        json["container"] = node.container;
        json["member"] = node.member;
        break;
    case NodeKind::Step:
        json["parent"] = node.parent;
        json["number"] = node.number;
        break;
    case NodeKind::Program:
        break;
    }
    return json;
}

} // namespace

std::string JsonText(const nlohmann::ordered_json& json, int indent) {
    return json.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

nlohmann::ordered_json GraphJson(const LineageGraph& graph) {
    const GraphRequest& request = graph.request;
    nlohmann::ordered_json json{
        {"title", graph.Title()},
        {"start", {{"kind", NodeKindName(request.start)}, {"name", request.name}}},
        {"up", request.up},
        {"down", request.down},
        {"depth", request.depth},
        {"steps", request.steps},
        {"generations", request.generations},
        {"temporary", request.temporary},
        {"maxNodes", request.maxNodes},
        {"cutDepth", graph.Cut() ? nlohmann::ordered_json(graph.cutDepth) : nullptr},
        {"note", graph.Cut() ? nlohmann::ordered_json(graph.CutNote()) : nullptr},
        {"nodes", nlohmann::ordered_json::array()},
        {"edges", nlohmann::ordered_json::array()}};
    for (const GraphNode& node : graph.nodes)
        json["nodes"].push_back(NodeJson(node));
    for (const GraphEdge& edge : graph.edges)
        json["edges"].push_back(
            {{"source", edge.source}, {"target", edge.target}, {"kind", edge.kind}});
    return json;
}

void WriteGraphJson(const LineageGraph& graph, std::ostream& out) {
    out << JsonText(GraphJson(graph), 2) << '\n';
}

} // namespace xref
