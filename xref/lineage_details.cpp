#include "lineage_details.h"

#include "dataset_names.h"
#include "output_format.h"
#include "question_support.h"
#include "questions.h"

namespace xref {

namespace {

// A panel shows this many rows of a node's details and counts the rest; a data set every
// job reads (a load library) would otherwise make the page as large as the inventory.
constexpr int64_t kDetailRows = 200;

constexpr const char* kUsesWhere =
    "u.dataset_id = ?1 AND (?2 = '' OR u.generation = ?2) AND (?3 = 0 OR u.job_id = ?3)";

} // namespace

ResultTable DatasetUseTable(Database& db, int64_t dataset, const std::string& generation,
                            int64_t temporaryJob, int64_t limit) {
    ResultTable table({"job", "stepno", "step", "dd", "disp", "access"});
    Statement uses(db.Handle(), std::string(R"sql(
SELECT j.name, s.number, s.name, s.proc_step, u.name, u.status, u.disposition, u.reads, u.writes,
       u.creates, u.deletes
FROM dd u JOIN job j ON j.id = u.job_id LEFT JOIN step s ON s.id = u.step_id
WHERE )sql") + kUsesWhere + " ORDER BY j.name, j.id, s.number, u.ordinal, u.seq LIMIT ?4");
    uses.Bind(1, dataset).Bind(2, generation).Bind(3, temporaryJob).Bind(4, limit);
    while (uses.Step())
        table.AddRow({Cell::FromColumn(uses, 0), Cell::FromColumn(uses, 1),
                      Cell::Text(StepDisplay(uses.Text(2), uses.Text(3))),
                      Cell::FromColumn(uses, 4), Cell::Text(DispText(uses, 5)),
                      Cell::Text(AccessWords(uses, 7))});
    return table;
}

namespace {

ResultTable JobSteps(Database& db, const GraphNode& node) {
    ResultTable table({"stepno", "step", "program", "run_unit"});
    Statement steps(db.Handle(), R"sql(
SELECT s.number, s.name, s.proc_step, p.name, rp.name, s.plan, s.psb, s.ims_region, s.db2_subsystem
FROM step s LEFT JOIN program p ON p.id = s.program_id
LEFT JOIN program rp ON rp.id = s.run_unit_program_id
WHERE s.job_id = ?1 ORDER BY s.number, s.id
)sql");
    steps.Bind(1, node.dbId);
    while (steps.Step())
        table.AddRow({Cell::FromColumn(steps, 0),
                      Cell::Text(StepDisplay(steps.Text(1), steps.Text(2))),
                      Cell::FromColumn(steps, 3),
                      steps.IsNull(4) ? Cell::Null() : Cell::Text(RunUnitText(steps, 4))});
    return table;
}

ResultTable StepDatasets(Database& db, const GraphNode& node) {
    ResultTable table({"dd", "dataset", "disp", "access"});
    Statement uses(db.Handle(), R"sql(
SELECT u.name, ds.name, u.generation, u.status, u.disposition, u.reads, u.writes, u.creates,
       u.deletes
FROM dd u JOIN dataset ds ON ds.id = u.dataset_id
WHERE u.step_id = ?1 ORDER BY u.ordinal, u.seq
)sql");
    uses.Bind(1, node.dbId);
    while (uses.Step())
        table.AddRow({Cell::FromColumn(uses, 0),
                      Cell::Text(WithGeneration(uses.Text(1), uses.Text(2))),
                      Cell::Text(DispText(uses, 3)), Cell::Text(AccessWords(uses, 5))});
    return table;
}

int64_t DatasetUseCount(Database& db, const GraphNode& node) {
    Statement count(db.Handle(), std::string("SELECT count(*) FROM dd u WHERE ") + kUsesWhere);
    count.Bind(1, node.dbId).Bind(2, node.generation).Bind(3, node.temporaryJob);
    return count.Step() ? count.Int(0) : 0;
}

ResultTable Details(Database& db, const GraphNode& node) {
    switch (node.kind) {
    case NodeKind::Dataset:
        return DatasetUseTable(db, node.dbId, node.generation, node.temporaryJob, kDetailRows);
    case NodeKind::Job:
        return JobSteps(db, node);
    case NodeKind::Step:
        return StepDatasets(db, node);
    case NodeKind::Program:
        break;
    }
    return AskProgram(db, node.name);
}

} // namespace

nlohmann::ordered_json TableJson(const ResultTable& table, size_t maxRows, size_t total) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (size_t at = 0; at < table.rows.size() && at < maxRows; ++at) {
        nlohmann::ordered_json cells = nlohmann::ordered_json::array();
        for (const Cell& cell : table.rows[at])
            cells.push_back(CellJson(cell));
        rows.push_back(std::move(cells));
    }
    const size_t shown = rows.size();
    return {{"columns", table.columns}, {"rows", std::move(rows)}, {"more", total - shown}};
}

nlohmann::ordered_json NodeDetails(Database& db, const LineageGraph& graph) {
    nlohmann::ordered_json details = nlohmann::ordered_json::object();
    for (const GraphNode& node : graph.nodes) {
        const ResultTable table = Details(db, node);
        const size_t total = node.kind == NodeKind::Dataset
                                 ? static_cast<size_t>(DatasetUseCount(db, node))
                                 : table.rows.size();
        details[node.id] = TableJson(table, static_cast<size_t>(kDetailRows), total);
    }
    return details;
}

} // namespace xref
