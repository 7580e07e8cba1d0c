// dataset, writers, readers: where data sets are used.
#include <algorithm>
#include <map>

#include "dataset_names.h"
#include "question_support.h"
#include "questions.h"

namespace xref {

namespace {

struct DatasetUse {
    std::string dataset; // the base name, or the name as written with `generations`
    std::string job;
    Cell jobContainer, jobMember;
    Cell stepNumber;
    std::string step;
    Cell program;
    std::string dd;
    bool reads, writes, creates, deletes;
    Cell container, member, line;
};

constexpr const char* kUsesOfDataset = R"sql(
SELECT u.generation, j.name, jc.name, jm.name, s.number, s.name, s.proc_step, p.name, u.name,
       u.reads, u.writes, u.creates, u.deletes, sc.name, sm.name, u.first_line
FROM dd u
JOIN job j ON j.id = u.job_id
JOIN member jm ON jm.id = j.member_id
JOIN container jc ON jc.id = jm.container_id
LEFT JOIN step s ON s.id = u.step_id
LEFT JOIN program p ON p.id = s.program_id
LEFT JOIN member sm ON sm.id = u.source_id
LEFT JOIN container sc ON sc.id = sm.container_id
WHERE u.dataset_id = ?1 AND (?2 IS NULL OR u.generation = ?2)
ORDER BY CASE WHEN ?3 THEN CAST(u.generation AS INTEGER) END,
         CASE WHEN ?3 THEN u.generation END, j.name, jc.name, jm.name, j.ordinal, s.number, u.ordinal, u.seq
)sql";

std::vector<DatasetUse> FindUses(Database& db, const std::string& pattern, bool generations) {
    std::string generation;
    std::vector<DatasetUse> uses;
    Statement query(db.Handle(), kUsesOfDataset);
    for (const DatasetMatch& match : MatchDatasets(db, pattern, generations, generation)) {
        query.Bind(1, match.id);
        if (generation.empty())
            query.BindNull(2);
        else
            query.Bind(2, generation);
        query.Bind(3, generations ? 1 : 0);
        while (query.Step()) {
            DatasetUse use;
            use.dataset = generations ? WithGeneration(match.name, query.Text(0)) : match.name;
            use.job = query.Text(1);
            use.jobContainer = Cell::FromColumn(query, 2);
            use.jobMember = Cell::FromColumn(query, 3);
            use.stepNumber = Cell::FromColumn(query, 4);
            use.step = StepDisplay(query.Text(5), query.Text(6));
            use.program = Cell::FromColumn(query, 7);
            use.dd = query.Text(8);
            use.reads = query.Int(9) != 0;
            use.writes = query.Int(10) != 0;
            use.creates = query.Int(11) != 0;
            use.deletes = query.Int(12) != 0;
            use.container = Cell::FromColumn(query, 13);
            use.member = Cell::FromColumn(query, 14);
            use.line = Cell::FromColumn(query, 15);
            uses.push_back(std::move(use));
        }
        query.Reset();
    }
    return uses;
}

// One row per data set and job, with the steps that use it so.
ResultTable JobsThat(Database& db, const std::string& pattern, bool generations, bool writing) {
    struct JobRow {
        std::string dataset, job;
        Cell container, member;
        std::vector<std::string> steps;
        bool reads = false, writes = false, creates = false, deletes = false;
    };
    std::vector<JobRow> rows;
    std::map<std::tuple<std::string, std::string, std::string, std::string>, size_t> index;
    for (const DatasetUse& use : FindUses(db, pattern, generations)) {
        if (writing ? !use.writes : !use.reads) continue;
        const auto key = std::make_tuple(use.dataset, use.job, use.jobContainer.Display(),
                                         use.jobMember.Display());
        auto [found, added] = index.emplace(key, rows.size());
        if (added) rows.push_back({use.dataset, use.job, use.jobContainer, use.jobMember, {}});
        JobRow& row = rows[found->second];
        const std::string step = use.step.empty() ? "(job)" : use.step;
        if (std::find(row.steps.begin(), row.steps.end(), step) == row.steps.end())
            row.steps.push_back(step);
        row.reads |= use.reads;
        row.writes |= use.writes;
        row.creates |= use.creates;
        row.deletes |= use.deletes;
    }
    ResultTable table({"dataset", "job", "container", "member", "steps", "access"});
    for (const JobRow& row : rows) {
        std::string steps;
        for (const std::string& step : row.steps)
            steps += (steps.empty() ? "" : ",") + step;
        table.AddRow({Cell::Text(row.dataset), Cell::Text(row.job), row.container, row.member,
                      Cell::Text(steps),
                      Cell::Text(AccessWords(row.reads, row.writes, row.creates, row.deletes))});
    }
    return table;
}

} // namespace

ResultTable AskDataset(Database& db, const std::string& pattern, bool generations) {
    ResultTable table({"dataset", "job", "stepno", "step", "program", "dd", "access", "container",
                       "member", "line"});
    for (DatasetUse& use : FindUses(db, pattern, generations))
        table.AddRow({Cell::Text(use.dataset), Cell::Text(use.job), use.stepNumber,
                      Cell::Text(use.step), use.program, Cell::Text(use.dd),
                      Cell::Text(AccessWords(use.reads, use.writes, use.creates, use.deletes)),
                      use.container, use.member, use.line});
    return table;
}

ResultTable AskWriters(Database& db, const std::string& pattern, bool generations) {
    return JobsThat(db, pattern, generations, true);
}

ResultTable AskReaders(Database& db, const std::string& pattern, bool generations) {
    return JobsThat(db, pattern, generations, false);
}

} // namespace xref
