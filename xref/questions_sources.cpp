// proc, include, missing: the procedures and INCLUDE members the jobs use, and those the
// analyzer did not find.
#include "question_support.h"
#include "questions.h"

namespace xref {

ResultTable AskProc(Database& db, const std::string& name) {
    ResultTable table(
        {"procedure", "kind", "library", "job", "step", "container", "member", "parms"});
    // The calling step is named by the first step the call expanded to.
    Statement query(db.Handle(), R"sql(
SELECT c.kind, pc.name, j.name,
       (SELECT s.name FROM step s WHERE s.job_id = c.job_id AND s.proc_call_id = c.id
        ORDER BY s.number LIMIT 1),
       jc.name, jm.name, c.parms
FROM proc_call c
JOIN job j ON j.id = c.job_id
JOIN member jm ON jm.id = j.member_id
JOIN container jc ON jc.id = jm.container_id
LEFT JOIN member pm ON pm.id = c.procedure_id
LEFT JOIN container pc ON pc.id = pm.container_id
WHERE c.name = ?1
ORDER BY j.name, jc.name, jm.name, j.ordinal, c.ordinal
)sql");
    query.Bind(1, name);
    while (query.Step()) {
        std::vector<Cell> row{Cell::Text(name)};
        for (int column = 0; column < 7; ++column)
            row.push_back(Cell::FromColumn(query, column));
        table.AddRow(std::move(row));
    }
    return table;
}

ResultTable AskInclude(Database& db, const std::string& name) {
    ResultTable table({"include", "library", "job", "steps", "container", "member"});
    Statement query(db.Handle(), R"sql(
SELECT sc.name, j.name, jc.name, jm.name, j.id, sm.id
FROM member sm
JOIN container sc ON sc.id = sm.container_id
JOIN source_use su ON su.source_id = sm.id AND su.kind = 'include'
JOIN member jm ON jm.id = su.member_id
JOIN container jc ON jc.id = jm.container_id
LEFT JOIN job j ON j.member_id = jm.id
WHERE sm.name = ?1
ORDER BY j.name, jc.name, jm.name, j.ordinal, sc.name
)sql");
    Statement steps(db.Handle(), "SELECT name, proc_step FROM step WHERE job_id = ?1 AND "
                                 "source_id = ?2 ORDER BY number");
    query.Bind(1, name);
    while (query.Step()) {
        std::string stepList;
        steps.Bind(1, query.Int(4)).Bind(2, query.Int(5));
        while (steps.Step())
            stepList += (stepList.empty() ? "" : ",") + StepDisplay(steps.Text(0), steps.Text(1));
        steps.Reset();
        table.AddRow({Cell::Text(name), Cell::FromColumn(query, 0), Cell::FromColumn(query, 1),
                      stepList.empty() ? Cell::Null() : Cell::Text(stepList),
                      Cell::FromColumn(query, 2), Cell::FromColumn(query, 3)});
    }
    Statement missing(db.Handle(), R"sql(
SELECT mc.name, mm.name FROM missing m
JOIN member mm ON mm.id = m.member_id
JOIN container mc ON mc.id = mm.container_id
WHERE m.name = ?1 AND m.kind = 'include'
ORDER BY mc.name, mm.name
)sql");
    missing.Bind(1, name);
    while (missing.Step())
        table.AddRow({Cell::Text(name), Cell::Text("(not found)"), Cell::Null(), Cell::Null(),
                      Cell::FromColumn(missing, 0), Cell::FromColumn(missing, 1)});
    return table;
}

ResultTable AskMissing(Database& db) {
    ResultTable table({"kind", "name", "container", "member", "source", "line"});
    Statement query(db.Handle(), R"sql(
SELECT m.kind, m.name, mc.name, mm.name, m.at_member, m.at_line
FROM missing m
JOIN member mm ON mm.id = m.member_id
JOIN container mc ON mc.id = mm.container_id
ORDER BY m.kind DESC, m.name, mc.name, mm.name, m.rowid
)sql");
    while (query.Step()) {
        std::vector<Cell> row;
        for (int column = 0; column < 6; ++column)
            row.push_back(Cell::FromColumn(query, column));
        table.AddRow(std::move(row));
    }
    return table;
}

} // namespace xref
