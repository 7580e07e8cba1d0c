// program, plan, psb: the steps that run a program, a DB2 plan or an IMS PSB.
#include "question_support.h"
#include "questions.h"

namespace xref {

namespace {

// The steps and their run units; `where` picks them (a constant of this file, with the
// asked name bound as ?1).
std::string StepQuery(const char* where) {
    return std::string(R"sql(
SELECT j.name, s.number, s.name, s.proc_step, ep.name, rp.name, s.plan, s.db2_subsystem, s.psb,
       s.ims_region, sc.name, sm.name, s.first_line
FROM step s
JOIN job j ON j.id = s.job_id
JOIN member jm ON jm.id = j.member_id
JOIN container jc ON jc.id = jm.container_id
LEFT JOIN program ep ON ep.id = s.program_id
LEFT JOIN program rp ON rp.id = s.run_unit_program_id
LEFT JOIN member sm ON sm.id = s.source_id
LEFT JOIN container sc ON sc.id = sm.container_id
WHERE )sql") +
           where + "\nORDER BY j.name, jc.name, jm.name, j.ordinal, s.number";
}

enum Column {
    kJob,
    kNumber,
    kStep,
    kProcStep,
    kExec,
    kRunUnit,
    kPlan,
    kSubsystem,
    kPsb,
    kRegion,
    kContainer,
    kMember,
    kLine
};

// The asked name first, then the step, then the columns the question picks, then where.
ResultTable Steps(Database& db, const std::string& name, const char* where,
                  std::vector<std::string> names, const std::vector<Column>& picked) {
    ResultTable table(std::move(names));
    Statement query(db.Handle(), StepQuery(where));
    query.Bind(1, name);
    while (query.Step()) {
        std::vector<Cell> row{Cell::Text(name), Cell::FromColumn(query, kJob),
                              Cell::FromColumn(query, kNumber),
                              Cell::Text(StepDisplay(query.Text(kStep), query.Text(kProcStep)))};
        for (Column column : picked)
            row.push_back(Cell::FromColumn(query, column));
        for (Column column : {kContainer, kMember, kLine})
            row.push_back(Cell::FromColumn(query, column));
        table.AddRow(std::move(row));
    }
    return table;
}

} // namespace

ResultTable AskProgram(Database& db, const std::string& name) {
    return Steps(db, name,
                 "s.id IN (SELECT id FROM step WHERE program_id = (SELECT id FROM program WHERE "
                 "name = ?1) UNION SELECT id FROM step WHERE run_unit_program_id = (SELECT id "
                 "FROM program WHERE name = ?1) AND run_unit_program_id IS NOT program_id)",
                 {"program", "job", "stepno", "step", "exec", "run_unit", "plan", "psb",
                  "container", "member", "line"},
                 {kExec, kRunUnit, kPlan, kPsb});
}

ResultTable AskPlan(Database& db, const std::string& name) {
    return Steps(db, name, "s.plan = ?1",
                 {"plan", "job", "stepno", "step", "exec", "program", "subsystem", "container",
                  "member", "line"},
                 {kExec, kRunUnit, kSubsystem});
}

ResultTable AskPsb(Database& db, const std::string& name) {
    return Steps(db, name, "s.psb = ?1",
                 {"psb", "job", "stepno", "step", "exec", "program", "region", "container",
                  "member", "line"},
                 {kExec, kRunUnit, kRegion});
}

} // namespace xref
