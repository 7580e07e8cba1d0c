// The HTML form of the graph: one page that carries everything it needs (the graph
// libraries, its script and style, the graph and the details of its nodes), so it works
// opened from disk with no network and no server.
#include <cctype>
#include <ostream>

#include "embedded_assets.h"
#include "graph_output.h"
#include "graph_style.h"
#include "web_text.h"

namespace xref {

nlohmann::ordered_json GraphStylesJson() {
    nlohmann::ordered_json styles{{"nodes", nlohmann::ordered_json::array()},
                                  {"edges", nlohmann::ordered_json::array()}};
    for (const NodeStyle& style : kNodeStyles)
        styles["nodes"].push_back({{"kind", style.kind},
                                   {"label", style.label},
                                   {"pageShape", style.pageShape},
                                   {"fill", style.fill},
                                   {"border", style.border}});
    for (const EdgeStyle& style : kEdgeStyles)
        styles["edges"].push_back({{"kind", style.kind},
                                   {"label", style.label},
                                   {"colour", style.colour},
                                   {"line", style.line}});
    return styles;
}

std::string GraphDataScript(const LineageGraph& graph, const nlohmann::ordered_json& details,
                            const nlohmann::ordered_json& links) {
    const nlohmann::ordered_json data{{"graph", GraphJson(graph)},
                                      {"styles", GraphStylesJson()},
                                      {"details", details},
                                      {"links", links}};
    return "<script type=\"application/json\" id=\"kvr-graph-data\">" +
           JsonForScript(JsonText(data, -1)) + "</script>\n";
}

std::string InlineScript(std::string_view script) {
    // "</script" inside the script would end the element early; where a script can hold it
    // (strings, regular expressions) "<\/script" means the same.
    std::string text(script);
    for (size_t at = 0; (at = text.find("</", at)) != std::string::npos; at += 2) {
        std::string next = text.substr(at + 2, 6);
        for (char& c : next)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (next == "script") text.replace(at, 2, "<\\/");
    }
    return "<script>" + text + "</script>\n";
}

std::string SearchForm() {
    return "<form id=\"kvr-search\" role=\"search\"><input id=\"kvr-search-text\" type=\"search\" "
           "placeholder=\"find a node by name\" aria-label=\"find a node by name\"> "
           "<button type=\"submit\">Find</button><span id=\"kvr-search-status\"></span></form>";
}

void WriteGraphHtml(const LineageGraph& graph, const nlohmann::ordered_json& details,
                    std::ostream& out) {
    const std::string title = HtmlText(graph.Title());
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << title
        << "</title>\n<style>\n"
        << kGraphViewCss << "</style>\n</head>\n<body class=\"kvr-graph-page\">\n<header><h1>"
        << title << "</h1>" << SearchForm();
    if (graph.Cut()) out << " <span class=\"note\">" << HtmlText(graph.CutNote()) << "</span>";
    out << "</header>\n<div id=\"kvr-graph\"></div>\n<ul id=\"kvr-legend\"></ul>\n"
        << "<aside id=\"kvr-details\" hidden></aside>\n"
        << GraphDataScript(graph, details, nlohmann::ordered_json::object())
        << InlineScript(kCytoscapeJs) << InlineScript(kCytoscapeDagreJs)
        << InlineScript(kGraphViewJs) << "</body>\n</html>\n";
}

} // namespace xref
