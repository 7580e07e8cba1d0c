// The lineage graph written out: DOT for Graphviz, JSON for other tools (the README
// describes its fields), and one self-contained HTML page.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>

#include "lineage_graph.h"

namespace xref {

nlohmann::ordered_json GraphJson(const LineageGraph& graph);
// JSON text as valid UTF-8 (bytes that are not become U+FFFD).
std::string JsonText(const nlohmann::ordered_json& json, int indent);

void WriteGraphDot(const LineageGraph& graph, std::ostream& out);
void WriteGraphJson(const LineageGraph& graph, std::ostream& out);
// The page draws the graph with the embedded graph libraries; `details` are what a click on
// a node shows.
// Pieces of the pages that show graphs: the drawing style of each kind, the element that
// hands the graph to the page script (`links` maps node ids to pages), a script inlined,
// the search box.
nlohmann::ordered_json GraphStylesJson();
std::string GraphDataScript(const LineageGraph& graph, const nlohmann::ordered_json& details,
                            const nlohmann::ordered_json& links);
std::string InlineScript(std::string_view script);
std::string SearchForm();

void WriteGraphHtml(const LineageGraph& graph, const nlohmann::ordered_json& details,
                    std::ostream& out);

} // namespace xref
