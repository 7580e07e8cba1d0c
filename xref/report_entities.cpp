// The pages of a job, a data set, a program, a plan and a PSB.
#include <nlohmann/json.hpp>

#include "dataset_names.h"
#include "graph_output.h"
#include "lineage_details.h"
#include "question_support.h"
#include "questions.h"
#include "report_html.h"
#include "report_pages.h"
#include "web_text.h"

namespace xref {

namespace {

constexpr const char* kRoot = "../";

// A data set page's graph: one step each way, small enough to read.
constexpr size_t kGraphNodes = 60;

// A data set linked to its page (a temporary one has none: it lives only in its job),
// with the generation as written.
std::string DatasetCell(const std::string& base, const std::string& generation) {
    if (IsTemporary(base)) return HtmlText(WithGeneration(base, generation));
    return PageLink(PageKind::Dataset, base, kRoot) +
           (generation.empty() ? std::string() : HtmlText("(" + generation + ")"));
}

// Where the page of each node of a graph is, for the panel a click opens.
nlohmann::ordered_json GraphLinks(const LineageGraph& graph) {
    nlohmann::ordered_json links = nlohmann::ordered_json::object();
    for (const GraphNode& node : graph.nodes) {
        if (node.kind == NodeKind::Dataset && !node.temporary)
            links[node.id] = PageHref(PageKind::Dataset, node.name, kRoot);
        else if (node.kind == NodeKind::Job)
            links[node.id] = PageHref(PageKind::Job, node.name, kRoot);
        else if (node.kind == NodeKind::Program)
            links[node.id] = PageHref(PageKind::Program, node.name, kRoot);
    }
    return links;
}

std::string GraphSection(const LineageGraph& graph) {
    std::string html = "<h2>Lineage, one step each way</h2>\n";
    if (graph.Cut()) html += "<p class=\"meta\">" + HtmlText(graph.CutNote()) + "</p>\n";
    return html + SearchForm() +
           "\n<div class=\"kvr-graph-box\"><div id=\"kvr-graph\"></div><ul id=\"kvr-legend\">"
           "</ul><aside id=\"kvr-details\" hidden></aside></div>\n<noscript>The graph needs "
           "JavaScript; the tables above hold the same uses.</noscript>\n" +
           GraphDataScript(graph, nlohmann::ordered_json::object(), GraphLinks(graph));
}

} // namespace

struct EntityPages::Statements {
    Statement jobs, steps, datasets, messages;
    explicit Statements(Database& db)
        : jobs(db.Handle(), R"sql(
SELECT j.id, c.name, m.name, m.severity FROM job j JOIN member m ON m.id = j.member_id
JOIN container c ON c.id = m.container_id WHERE j.name = ?1 ORDER BY c.name, m.name, j.ordinal
)sql"),
          steps(db.Handle(), R"sql(
SELECT s.id, s.number, s.name, s.proc_step, p.name, rp.name, s.plan, s.psb
FROM step s LEFT JOIN program p ON p.id = s.program_id
LEFT JOIN program rp ON rp.id = s.run_unit_program_id WHERE s.job_id = ?1 ORDER BY s.number, s.id
)sql"),
          datasets(db.Handle(), R"sql(
SELECT coalesce(u.step_id, 0), u.name, ds.name, u.generation, u.status, u.disposition, u.reads,
       u.writes, u.creates, u.deletes
FROM dd u JOIN dataset ds ON ds.id = u.dataset_id WHERE u.job_id = ?1 ORDER BY u.ordinal, u.seq
)sql"),
          messages(db.Handle(), R"sql(
SELECT g.severity, g.number, g.text, g.at_member, g.at_line FROM message g
JOIN member m ON m.id = g.member_id JOIN container c ON c.id = m.container_id
WHERE c.name = ?1 AND m.name = ?2 ORDER BY g.id
)sql") {}
};

EntityPages::EntityPages(Database& db)
    : db_(db), uses_(db), statements_(std::make_unique<Statements>(db)) {}
EntityPages::~EntityPages() = default;

// One table: a row for each data set a step reads or writes, beside the step's program, run
// unit, plan and PSB; job-level DDs (JOBLIB) before the steps.
std::string EntityPages::StepsTable(int64_t job) {
    struct DatasetRow {
        std::string dd, base, generation, disp, access;
    };
    std::map<int64_t, std::vector<DatasetRow>> byStep;
    Statement& datasets = statements_->datasets;
    datasets.Bind(1, job);
    while (datasets.Step())
        byStep[datasets.Int(0)].push_back({datasets.Text(1), datasets.Text(2), datasets.Text(3),
                                           DispText(datasets, 4), AccessWords(datasets, 6)});
    datasets.Reset();
    std::string html =
        "<table>\n<tr><th>step</th><th>program</th><th>run unit</th><th>plan</th>"
        "<th>PSB</th><th>DD</th><th>data set</th><th>DISP</th><th>access</th></tr>\n";
    // The step's cells span the rows of its data sets.
    auto rows = [&](const std::vector<std::string>& stepCells, int64_t step) {
        const std::vector<DatasetRow>& found = byStep[step];
        const std::string open =
            found.size() > 1 ? "<td rowspan=\"" + std::to_string(found.size()) + "\">" : "<td>";
        std::string first;
        for (const std::string& cell : stepCells)
            first += open + cell + "</td>";
        if (found.empty()) html += "<tr>" + first + "<td></td><td></td><td></td><td></td></tr>\n";
        for (size_t at = 0; at < found.size(); ++at) {
            const DatasetRow& row = found[at];
            html += "<tr>" + (at == 0 ? first : std::string()) + "<td>" + HtmlText(row.dd) +
                    "</td><td>" + DatasetCell(row.base, row.generation) + "</td><td>" +
                    HtmlText(row.disp) + "</td><td>" + HtmlText(row.access) + "</td></tr>\n";
        }
    };
    if (byStep.count(0)) rows({"(job)", "", "", "", ""}, 0);
    Statement& steps = statements_->steps;
    steps.Bind(1, job);
    while (steps.Step()) {
        auto linked = [&](int column, PageKind kind) {
            return steps.IsNull(column) ? std::string() : PageLink(kind, steps.Text(column), kRoot);
        };
        rows({std::to_string(steps.Int(1)) + " " +
                  HtmlText(StepDisplay(steps.Text(2), steps.Text(3))),
              linked(4, PageKind::Program), linked(5, PageKind::Program), linked(6, PageKind::Plan),
              linked(7, PageKind::Psb)},
             steps.Int(0));
    }
    steps.Reset();
    return html + "</table>\n";
}

std::string EntityPages::JobSection(int64_t job, const std::string& container,
                                    const std::string& member, const Cell& severity) {
    std::string html = "<h2>In " + HtmlText(container) + " member " + HtmlText(member) + "</h2>\n";
    if (!severity.IsNull())
        html += "<p class=\"meta\">highest message severity <span class=\"severity-" +
                severity.Display() + "\">" + severity.Display() + "</span></p>\n";
    html += StepsTable(job);
    ResultTable messages({"severity", "number", "text", "source", "line"});
    Statement& query = statements_->messages;
    query.Bind(1, container).Bind(2, member);
    while (query.Step())
        messages.AddRow({Cell::FromColumn(query, 0), Cell::FromColumn(query, 1),
                         Cell::FromColumn(query, 2), Cell::FromColumn(query, 3),
                         Cell::FromColumn(query, 4)});
    query.Reset();
    return html + "<h3>Messages</h3>\n" + HtmlTable(messages, kRoot, kRowsPerTable);
}

std::string EntityPages::JobPage(const std::string& name) {
    struct JobRow {
        int64_t id;
        std::string container, member;
        Cell severity;
    };
    std::vector<JobRow> jobs;
    Statement& query = statements_->jobs;
    query.Bind(1, name);
    while (query.Step())
        jobs.push_back({query.Int(0), query.Text(1), query.Text(2), Cell::FromColumn(query, 3)});
    query.Reset();
    std::string html = PageStart("Job " + name, kRoot);
    for (const JobRow& job : jobs)
        html += JobSection(job.id, job.container, job.member, job.severity);
    return html + PageEnd(kRoot, false);
}

std::string EntityPages::DatasetPage(int64_t id, const std::string& name) {
    const ResultTable uses = DatasetUseTable(db_, id, "", 0, -1);
    ResultTable writers(uses.columns), readers(uses.columns);
    const size_t access = uses.columns.size() - 1;
    for (const auto& row : uses.rows) {
        const std::string& words = row[access].Display();
        if (words.find("read") != std::string::npos) readers.AddRow(row);
        if (words.find("write") != std::string::npos || words.find("delete") != std::string::npos)
            writers.AddRow(row);
    }
    GraphRequest request;
    request.name = name;
    request.datasetId = id;
    request.depth = 1;
    request.maxNodes = kGraphNodes;
    const LineageGraph graph = BuildLineageGraph(db_, uses_, request);
    return PageStart("Data set " + name, kRoot) + SectionHeading("Writers", writers.rows.size()) +
           HtmlTable(writers, kRoot, kRowsPerTable) +
           SectionHeading("Readers", readers.rows.size()) +
           HtmlTable(readers, kRoot, kRowsPerTable) + GraphSection(graph) + PageEnd(kRoot, true);
}

std::string EntityPages::ProgramPage(const std::string& name) {
    const ResultTable steps = AskProgram(db_, name);
    return PageStart("Program " + name, kRoot) +
           SectionHeading("Steps that run it", steps.rows.size()) +
           HtmlTable(steps, kRoot, kRowsPerTable) + PageEnd(kRoot, false);
}

std::string EntityPages::PlanPage(const std::string& name) {
    const ResultTable steps = AskPlan(db_, name);
    return PageStart("DB2 plan " + name, kRoot) +
           SectionHeading("Steps that run it", steps.rows.size()) +
           HtmlTable(steps, kRoot, kRowsPerTable) + PageEnd(kRoot, false);
}

std::string EntityPages::PsbPage(const std::string& name) {
    const ResultTable steps = AskPsb(db_, name);
    return PageStart("IMS PSB " + name, kRoot) +
           SectionHeading("Steps that run it", steps.rows.size()) +
           HtmlTable(steps, kRoot, kRowsPerTable) + PageEnd(kRoot, false);
}

} // namespace xref
