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

void AddJob(Database& db, int64_t jobId, const std::vector<Cell>& jobCells, ResultTable& table) {
    std::map<int64_t, std::vector<JobDataset>> datasets; // by step, 0 for job-level DDs
    Statement uses(db.Handle(), R"sql(
SELECT coalesce(u.step_id, 0), u.name, ds.name, u.generation, u.reads, u.writes, u.creates,
       u.deletes
FROM dd u JOIN dataset ds ON ds.id = u.dataset_id
WHERE u.job_id = ?1 ORDER BY u.ordinal, u.seq
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
    Statement steps(db.Handle(), R"sql(
SELECT s.id, rp.name, s.plan, s.psb, s.ims_region, s.db2_subsystem, s.number, s.name,
       s.proc_step, p.name
FROM step s
LEFT JOIN program p ON p.id = s.program_id
LEFT JOIN program rp ON rp.id = s.run_unit_program_id
WHERE s.job_id = ?1 ORDER BY s.number, s.id
)sql");
    steps.Bind(1, jobId);
    while (steps.Step())
        addRows(Cell::Number(steps.Int(6)), Cell::Text(StepDisplay(steps.Text(7), steps.Text(8))),
                Cell::FromColumn(steps, 9),
                steps.IsNull(1) ? Cell::Null() : Cell::Text(RunUnitText(steps, 1)), steps.Int(0));
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
