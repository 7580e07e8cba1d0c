// The comparison is made by SQLite: each kind of difference is a set of facts drawn from
// both databases in one form (names, never ids, which differ from one database to the
// other), and the facts of one side EXCEPT those of the other are what was added or removed.
#include "inventory_diff.h"

#include <algorithm>
#include <string_view>
#include <tuple>

#include "dataset_names.h"
#include "question_support.h"

namespace xref {

namespace {

// Keys shared by every kind, for the schema `{s}` (main: the new database, old: the old
// one). A job is its container, member, name and order among the jobs of that name in the
// member. A step is its name, procedure step and order among the steps of those names in
// the job: not its number, so that inserting a step does not change all the steps after it.
constexpr std::string_view kKeys = R"sql(
{s}_jobs AS (
    SELECT j.id AS job_id, c.name AS container, m.name AS member, j.name AS job,
           row_number() OVER (PARTITION BY j.member_id, j.name ORDER BY j.ordinal) AS occurrence
    FROM {s}.job j
    JOIN {s}.member m ON m.id = j.member_id
    JOIN {s}.container c ON c.id = m.container_id
),
{s}_steps AS (
    SELECT s.id AS step_id, s.job_id, s.name AS step, coalesce(s.proc_step, '') AS proc_step,
           row_number() OVER (PARTITION BY s.job_id, s.name, s.proc_step
                              ORDER BY s.number, s.id) AS step_occurrence,
           s.program_id, s.run_unit_program_id, s.plan, s.psb, s.ims_region, s.db2_subsystem
    FROM {s}.step s
))sql";

constexpr std::string_view kJobFacts = R"sql(
SELECT container, member, job, occurrence FROM {s}_jobs
)sql";

constexpr std::string_view kStepFacts = R"sql(
SELECT j.container, j.member, j.job, j.occurrence, s.step, s.proc_step, s.step_occurrence
FROM {s}_steps s JOIN {s}_jobs j ON j.job_id = s.job_id
)sql";

constexpr std::string_view kProgramFacts = R"sql(
SELECT j.container, j.member, j.job, j.occurrence, s.step, s.proc_step, s.step_occurrence,
       p.name
FROM {s}_steps s JOIN {s}_jobs j ON j.job_id = s.job_id
JOIN {s}.program p ON p.id = s.program_id
)sql";

constexpr std::string_view kRunUnitFacts = R"sql(
SELECT j.container, j.member, j.job, j.occurrence, s.step, s.proc_step, s.step_occurrence,
       p.name, s.plan, s.psb, s.ims_region, s.db2_subsystem
FROM {s}_steps s JOIN {s}_jobs j ON j.job_id = s.job_id
JOIN {s}.program p ON p.id = s.run_unit_program_id
)sql";

// The name the analyzer makes up for a temporary data set that a referback finds unnamed,
// &&JOB.STEP.hhmmss, carries the time of the scan: the time is left out, or two scans of
// the same job would never agree on it.
constexpr std::string_view kDatasetUseFacts = R"sql(
SELECT j.container, j.member, j.job, j.occurrence, coalesce(s.step, ''),
       coalesce(s.proc_step, ''), coalesce(s.step_occurrence, 0), u.name,
       CASE WHEN ds.name GLOB '&&*.*.[0-9][0-9][0-9][0-9][0-9][0-9]'
            THEN substr(ds.name, 1, length(ds.name) - 6) || 'hhmmss' ELSE ds.name END,
       coalesce(u.generation, ''), u.reads, u.writes, u.creates, u.deletes
FROM {s}.dd u JOIN {s}_jobs j ON j.job_id = u.job_id
JOIN {s}.dataset ds ON ds.id = u.dataset_id
LEFT JOIN {s}_steps s ON s.step_id = u.step_id
)sql";

// Facts of one side that the other lacks, marked 1 when only the new database (main) has
// them. Differences inside a job are looked for in the jobs both databases hold: a job
// added or removed is one difference, not one for each of its steps.
constexpr std::string_view kCompare = R"sql(
WITH {keys:main}, {keys:old},
new_facts AS ({facts:main}), old_facts AS ({facts:old})
SELECT 1, * FROM (SELECT * FROM new_facts EXCEPT SELECT * FROM old_facts) f
WHERE {common:old}
UNION ALL
SELECT 0, * FROM (SELECT * FROM old_facts EXCEPT SELECT * FROM new_facts) f
WHERE {common:main}
)sql";

struct KindQuery {
    DiffKind kind;
    std::string_view facts;
};

constexpr KindQuery kKinds[] = {
    {DiffKind::Job, kJobFacts},
    {DiffKind::Step, kStepFacts},
    {DiffKind::Program, kProgramFacts},
    {DiffKind::RunUnit, kRunUnitFacts},
    {DiffKind::DatasetUse, kDatasetUseFacts},
};

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string ForSchema(std::string_view sql, std::string_view schema) {
    return ReplaceAll(std::string(sql), "{s}", schema);
}

// The facts of a job are compared only where the other side holds the job too.
std::string CommonJobs(DiffKind kind, std::string_view otherSchema) {
    if (kind == DiffKind::Job) return "1";
    return ForSchema("(f.container, f.member, f.job, f.occurrence) IN "
                     "(SELECT container, member, job, occurrence FROM {s}_jobs)",
                     otherSchema);
}

std::string CompareSql(const KindQuery& query) {
    std::string sql(kCompare);
    sql = ReplaceAll(sql, "{keys:main}", ForSchema(kKeys, "main"));
    sql = ReplaceAll(sql, "{keys:old}", ForSchema(kKeys, "old"));
    sql = ReplaceAll(sql, "{facts:main}", ForSchema(query.facts, "main"));
    sql = ReplaceAll(sql, "{facts:old}", ForSchema(query.facts, "old"));
    sql = ReplaceAll(sql, "{common:old}", CommonJobs(query.kind, "old"));
    return ReplaceAll(sql, "{common:main}", CommonJobs(query.kind, "main"));
}

// Columns of every row: added, container, member, job, occurrence; then for a step (and
// what belongs to one) its name, procedure step and occurrence; then what the kind adds.
constexpr int kStepColumn = 5;
constexpr int kValueColumn = 8;

std::string StepOf(const Statement& row) {
    std::string step = StepDisplay(row.Text(kStepColumn), row.Text(kStepColumn + 1));
    const int64_t occurrence = row.Int(kStepColumn + 2);
    if (occurrence > 1) step += "#" + std::to_string(occurrence);
    return step;
}

Difference ReadDifference(DiffKind kind, const Statement& row) {
    Difference difference;
    difference.added = row.Int(0) != 0;
    difference.kind = kind;
    difference.job = {row.Text(1), row.Text(2), row.Text(3), row.Int(4)};
    if (kind == DiffKind::Job) return difference;
    difference.step = StepOf(row);
    if (kind == DiffKind::Program) difference.value = row.Text(kValueColumn);
    if (kind == DiffKind::RunUnit) difference.value = RunUnitText(row, kValueColumn);
    if (kind == DiffKind::DatasetUse) {
        difference.value = row.Text(kValueColumn);
        difference.dataset = WithGeneration(row.Text(kValueColumn + 1), row.Text(kValueColumn + 2));
        difference.access = AccessWords(row, kValueColumn + 3);
    }
    return difference;
}

// What a difference is about, before whether it was added: the DD and data set of a use,
// so that a use whose access changed shows its removal and addition side by side.
auto SortKey(const Difference& d) {
    const bool use = d.kind == DiffKind::DatasetUse;
    const std::string noSubject;
    return std::make_tuple(std::cref(d.job.container), std::cref(d.job.member),
                           std::cref(d.job.name), d.job.occurrence, d.kind, std::cref(d.step),
                           use ? d.value : noSubject, use ? d.dataset : noSubject, d.added,
                           std::cref(d.value), std::cref(d.dataset), std::cref(d.access));
}

} // namespace

std::string JobKey::Display() const {
    return occurrence > 1 ? name + "#" + std::to_string(occurrence) : name;
}

const char* KindName(DiffKind kind) {
    switch (kind) {
    case DiffKind::Job:
        return "job";
    case DiffKind::Step:
        return "step";
    case DiffKind::Program:
        return "program";
    case DiffKind::RunUnit:
        return "run unit";
    case DiffKind::DatasetUse:
        return "data set use";
    }
    return "";
}

void SortDifferences(std::vector<Difference>& differences) {
    std::sort(differences.begin(), differences.end(),
              [](const Difference& a, const Difference& b) { return SortKey(a) < SortKey(b); });
}

std::vector<Difference> CompareInventories(Database& db) {
    std::vector<Difference> differences;
    for (const KindQuery& query : kKinds) {
        Statement rows(db.Handle(), CompareSql(query));
        while (rows.Step())
            differences.push_back(ReadDifference(query.kind, rows));
    }
    SortDifferences(differences);
    return differences;
}

} // namespace xref
