// messages and stats: what the analyzer said, and how much there is.
#include "questions.h"

namespace xref {

ResultTable AskMessages(Database& db, int minimumSeverity) {
    ResultTable table({"container", "member", "severity", "number", "text", "source", "line"});
    Statement query(db.Handle(), R"sql(
SELECT mc.name, mm.name, g.severity, g.number, g.text, g.at_member, g.at_line
FROM message g
JOIN member mm ON mm.id = g.member_id
JOIN container mc ON mc.id = mm.container_id
WHERE g.severity >= ?1
ORDER BY mc.name, mm.name, g.id
)sql");
    query.Bind(1, minimumSeverity);
    while (query.Step()) {
        std::vector<Cell> row;
        for (int column = 0; column < 7; ++column)
            row.push_back(Cell::FromColumn(query, column));
        table.AddRow(std::move(row));
    }
    return table;
}

ResultTable AskStats(Database& db) {
    static constexpr struct {
        const char* item;
        const char* sql;
    } kCounts[] = {
        {"containers", "SELECT count(*) FROM container WHERE id IN (SELECT container_id FROM "
                       "member WHERE severity IS NOT NULL)"},
        {"members analysed", "SELECT count(*) FROM member WHERE severity IS NOT NULL"},
        {"members with warnings", "SELECT count(*) FROM member WHERE severity = 4"},
        {"members with errors", "SELECT count(*) FROM member WHERE severity >= 8"},
        {"procedures read", "SELECT count(DISTINCT source_id) FROM source_use WHERE kind = "
                            "'procedure'"},
        {"include members read", "SELECT count(DISTINCT source_id) FROM source_use WHERE "
                                 "kind = 'include'"},
        {"jobs", "SELECT count(*) FROM job"},
        {"steps", "SELECT count(*) FROM step"},
        {"programs", "SELECT count(*) FROM (SELECT program_id FROM step UNION SELECT "
                     "run_unit_program_id FROM step) WHERE program_id IS NOT NULL"},
        {"run units", "SELECT count(*) FROM step WHERE run_unit_program_id IS NOT NULL"},
        {"DB2 plans", "SELECT count(DISTINCT plan) FROM step"},
        {"IMS PSBs", "SELECT count(DISTINCT psb) FROM step"},
        {"procedure calls", "SELECT count(*) FROM proc_call"},
        {"DD statements",
         "SELECT count(*) FROM (SELECT DISTINCT job_id, step_id, ordinal FROM dd)"},
        {"data set uses", "SELECT count(*) FROM dd WHERE dataset_id IS NOT NULL"},
        {"data sets", "SELECT count(*) FROM dataset"},
        {"temporary data set uses", "SELECT count(*) FROM dd WHERE temporary = 1"},
        {"SYSOUT DDs", "SELECT count(*) FROM dd WHERE sysout = 1"},
        {"DUMMY DDs", "SELECT count(*) FROM dd WHERE dummy = 1"},
        {"in-stream DDs", "SELECT count(*) FROM dd WHERE instream = 1"},
        {"FTP transfer sides", "SELECT count(*) FROM dd WHERE status IS NULL AND name GLOB "
                               "'FTP[0-9][0-9][0-9]_[IO]'"},
        {"missing procedures", "SELECT count(*) FROM missing WHERE kind = 'procedure'"},
        {"missing includes", "SELECT count(*) FROM missing WHERE kind = 'include'"},
        {"messages", "SELECT count(*) FROM message"},
    };
    ResultTable table({"item", "count"});
    for (const auto& count : kCounts)
        table.AddRow({Cell::Text(count.item), Cell::Number(db.QueryInt(count.sql))});
    return table;
}

} // namespace xref
