// job: a job step by step, with its programs, run units and data sets in and out.
#include <map>

#include "dataset_names.h"
#include "question_support.h"
#include "questions.h"

namespace xref {

namespace {

struct JobDataset {
    std::string dd, dataset, server;
    bool reads, writes, creates, deletes;
};

// The run unit as the RU record writes it: the program, then the plan, PSB, region and
// subsystem that are given.
std::string RunUnitText(const Statement& row) {
    std::string text = row.Text(1);
    const char* labels[] = {" PLAN=", " PSB=", " IMSR=", " DSN="};
    for (int part = 0; part < 4; ++part)
        if (!row.IsNull(2 + part)) text += labels[part] + row.Text(2 + part);
    return text;
}

void AddJob(Database& db, int64_t jobId, const std::vector<Cell>& jobCells, ResultTable& table) {
    std::map<int64_t, std::vector<JobDataset>> datasets; // by step, 0 for job-level DDs
    Statement uses(db.Handle(), R"sql(
SELECT coalesce(d.step_id, 0), d.name, ds.name, u.generation, u.reads, u.writes, u.creates,
       u.deletes
FROM dd d JOIN dd_dataset u ON u.dd_id = d.id JOIN dataset ds ON ds.id = u.dataset_id
WHERE d.job_id = ?1 ORDER BY d.ordinal, u.seq
)sql");
    uses.Bind(1, jobId);
    while (uses.Step())
        datasets[uses.Int(0)].push_back({uses.Text(1),
                                         WithGeneration(uses.Text(2), uses.Text(3)),
                                         {},
                                         uses.Int(4) != 0,
                                         uses.Int(5) != 0,
                                         uses.Int(6) != 0,
                                         uses.Int(7) != 0});
    std::map<int64_t, std::string> runUnits;
    Statement units(db.Handle(), R"sql(
SELECT r.step_id, rp.name, r.plan, r.psb, r.ims_region, r.db2_subsystem
FROM run_unit r JOIN step s ON s.id = r.step_id LEFT JOIN program rp ON rp.id = r.program_id
WHERE s.job_id = ?1 ORDER BY r.id
)sql");
    units.Bind(1, jobId);
    while (units.Step()) {
        std::string& text = runUnits[units.Int(0)];
        text += (text.empty() ? "" : "; ") + RunUnitText(units);
    }

    auto addRows = [&](Cell number, Cell step, Cell program, Cell runUnit, int64_t stepId) {
        auto row = [&](Cell dd, Cell dataset, Cell direction, Cell access) {
            std::vector<Cell> cells = jobCells;
            for (Cell* cell :
                 {&number, &step, &program, &runUnit, &dd, &dataset, &direction, &access})
                cells.push_back(*cell);
            table.AddRow(std::move(cells));
        };
        const auto found = datasets.find(stepId);
        if (found == datasets.end()) {
            if (stepId != 0) row(Cell::Null(), Cell::Null(), Cell::Null(), Cell::Null());
            return;
        }
        for (const JobDataset& use : found->second)
            row(Cell::Text(use.dd), Cell::Text(use.dataset),
                use.writes  ? Cell::Text("out")
                : use.reads ? Cell::Text("in")
                            : Cell::Null(),
                Cell::Text(AccessWords(use.reads, use.writes, use.creates, use.deletes)));
    };
    addRows(Cell::Null(), Cell::Null(), Cell::Null(), Cell::Null(), 0);
    Statement steps(db.Handle(), "SELECT s.id, s.number, s.name, s.proc_step, p.name FROM step s "
                                 "LEFT JOIN program p ON p.id = s.program_id WHERE s.job_id = ?1 "
                                 "ORDER BY s.number, s.id");
    steps.Bind(1, jobId);
    while (steps.Step()) {
        const auto unit = runUnits.find(steps.Int(0));
        addRows(Cell::Number(steps.Int(1)), Cell::Text(StepDisplay(steps.Text(2), steps.Text(3))),
                Cell::FromColumn(steps, 4),
                unit == runUnits.end() ? Cell::Null() : Cell::Text(unit->second), steps.Int(0));
    }
}

} // namespace

ResultTable AskJob(Database& db, const std::string& name) {
    ResultTable table({"job", "container", "member", "stepno", "step", "program", "run_unit", "dd",
                       "dataset", "direction", "access"});
    Statement jobs(db.Handle(), R"sql(
SELECT j.id, jc.name, jm.name FROM job j
JOIN member jm ON jm.id = j.member_id JOIN container jc ON jc.id = jm.container_id
WHERE j.name = ?1 ORDER BY jc.name, jm.name, j.ordinal
)sql");
    jobs.Bind(1, name);
    while (jobs.Step())
        AddJob(db, jobs.Int(0),
               {Cell::Text(name), Cell::FromColumn(jobs, 1), Cell::FromColumn(jobs, 2)}, table);
    return table;
}

} // namespace xref
