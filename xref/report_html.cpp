#include "report_html.h"

#include <optional>

#include "web_text.h"

namespace xref {

namespace {

// The columns of the question tables that name something with a page of its own.
std::optional<PageKind> LinkedKind(const std::string& column) {
    if (column == "job") return PageKind::Job;
    if (column == "dataset" || column == "next") return PageKind::Dataset;
    if (column == "program" || column == "exec" || column == "run_unit") return PageKind::Program;
    if (column == "plan") return PageKind::Plan;
    if (column == "psb") return PageKind::Psb;
    return std::nullopt;
}

} // namespace

std::string PageStart(const std::string& title, const std::string& root) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           HtmlText(title) + "</title>\n<link rel=\"stylesheet\" href=\"" + root +
           "assets/report.css\">\n</head>\n<body>\n<nav><a href=\"" + root +
           "index.html\">Inventory</a> <a href=\"" + root + "jobs.html\">Jobs</a> <a href=\"" +
           root + "datasets.html\">Data sets</a> <a href=\"" + root +
           "programs.html\">Programs</a> <a href=\"" + root + "plans.html\">Plans</a> <a href=\"" +
           root + "psbs.html\">PSBs</a></nav>\n<main>\n<h1>" + HtmlText(title) + "</h1>\n";
}

std::string PageEnd(const std::string& root, bool withGraph) {
    std::string end = "</main>\n";
    if (withGraph)
        for (const char* script : {"cytoscape.min.js", "cytoscape-dagre.min.js", "graph_view.js"})
            end += "<script src=\"" + root + "assets/" + script + "\"></script>\n";
    return end + "</body>\n</html>\n";
}

std::string PageLink(PageKind kind, std::string_view name, const std::string& root) {
    return "<a href=\"" + PageHref(kind, name, root) + "\">" + HtmlText(name) + "</a>";
}

std::string HtmlTable(const ResultTable& table, const std::string& root, size_t maxRows) {
    if (table.rows.empty()) return "<p class=\"none\">none</p>\n";
    std::string html = "<table>\n<tr>";
    for (const std::string& column : table.columns)
        html += "<th>" + HtmlText(column) + "</th>";
    html += "</tr>\n";
    const size_t shown = std::min(maxRows, table.rows.size());
    for (size_t row = 0; row < shown; ++row) {
        html += "<tr>";
        for (size_t c = 0; c < table.columns.size(); ++c) {
            const Cell& cell = table.rows[row][c];
            const std::optional<PageKind> kind = LinkedKind(table.columns[c]);
            html += cell.IsNumber() ? "<td class=\"n\">" : "<td>";
            html += kind && !cell.IsNull() && !cell.IsNumber()
                        ? PageLink(*kind, cell.Display(), root)
                        : HtmlText(cell.Display());
            html += "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table>\n";
    if (shown < table.rows.size())
        html += "<p class=\"more\">and " + std::to_string(table.rows.size() - shown) +
                " more rows (kvr-xref answers them all)</p>\n";
    return html;
}

std::string SectionHeading(const std::string& title, size_t count) {
    return "<h2>" + HtmlText(title) + " (" + std::to_string(count) + ")</h2>\n";
}

} // namespace xref
