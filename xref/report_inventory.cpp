// The report's index (counts, highest severities, what was not found) and its lists of names.
#include "questions.h"
#include "report_html.h"
#include "report_pages.h"
#include "web_text.h"

namespace xref {

namespace {

// Members at the highest severity the inventory reached (above 0), with their jobs.
std::string HighestSeverities(Database& db) {
    ResultTable bySeverity({"severity", "members"});
    Statement counts(db.Handle(), "SELECT severity, count(*) FROM member WHERE severity IS NOT "
                                  "NULL GROUP BY severity ORDER BY severity DESC");
    while (counts.Step())
        bySeverity.AddRow({Cell::FromColumn(counts, 0), Cell::FromColumn(counts, 1)});
    std::string html = "<h2>Highest severities</h2>\n" + HtmlTable(bySeverity, "", kRowsPerTable);
    ResultTable worst({"severity", "container", "member", "job"});
    Statement members(db.Handle(), R"sql(
SELECT m.severity, c.name, m.name, j.name FROM member m JOIN container c ON c.id = m.container_id
LEFT JOIN job j ON j.member_id = m.id
WHERE m.severity > 0 AND m.severity = (SELECT max(severity) FROM member)
ORDER BY c.name, m.name, j.ordinal
)sql");
    while (members.Step())
        worst.AddRow({Cell::FromColumn(members, 0), Cell::FromColumn(members, 1),
                      Cell::FromColumn(members, 2), Cell::FromColumn(members, 3)});
    if (!worst.rows.empty())
        html += SectionHeading("Members at the highest severity", worst.rows.size()) +
                HtmlTable(worst, "", kRowsPerTable);
    return html;
}

} // namespace

std::string IndexPage(Database& db) {
    const ResultTable missing = AskMissing(db);
    return PageStart("Inventory", "") + "<h2>Counts</h2>\n" +
           HtmlTable(AskStats(db), "", kRowsPerTable) + HighestSeverities(db) +
           SectionHeading("Procedures and includes not found", missing.rows.size()) +
           HtmlTable(missing, "", kRowsPerTable) + PageEnd("", false);
}

std::string NameListPage(const std::string& title, PageKind kind,
                         const std::vector<std::string>& names) {
    std::string html = PageStart(title, "") + "<p class=\"meta\">" + std::to_string(names.size()) +
                       " names</p>\n<ul class=\"names\">\n";
    for (const std::string& name : names)
        html += "<li>" + PageLink(kind, name, "") + "</li>\n";
    return html + "</ul>\n" + PageEnd("", false);
}

} // namespace xref
