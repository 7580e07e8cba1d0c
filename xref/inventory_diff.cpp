// The comparison is made in two steps. A fingerprint of each job finds the jobs both
// databases hold that differ at all; then SQLite compares those fact by fact: each kind of
// difference is a set of facts drawn from both databases in one form (names, never ids,
// which differ from one database to the other), and the facts of one side EXCEPT those of
// the other are what was added or removed. Jobs themselves are compared whole.
#include "inventory_diff.h"

#include <algorithm>
#include <string_view>
#include <tuple>

#include "compared_facts.h"
#include "dataset_names.h"
#include "job_fingerprints.h"
#include "question_support.h"

namespace xref {

namespace {

// The steps of the jobs compared fact by fact ({ids}, a JSON array of job ids), with their
// keys: the step name, procedure step and order among the steps of those names in the job;
// not the number, so that inserting a step does not change all the steps after it.
constexpr std::string_view kStepKeys = R"sql(
SELECT s.id AS step_id, s.job_id, s.name AS step, coalesce(s.proc_step, '') AS proc_step,
       row_number() OVER (PARTITION BY s.job_id, s.name, s.proc_step
                          ORDER BY s.number, s.id) AS step_occurrence,
       s.program_id, s.run_unit_program_id, s.plan, s.psb, s.ims_region, s.db2_subsystem
FROM {s}.step s
WHERE s.job_id IN (SELECT value FROM json_each({ids}))
)sql";

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

constexpr std::string_view kDatasetUseFacts = R"sql(
SELECT j.container, j.member, j.job, j.occurrence, coalesce(s.step, ''),
       coalesce(s.proc_step, ''), coalesce(s.step_occurrence, 0), u.name, {dataset},
       coalesce(u.generation, ''), u.reads, u.writes, u.creates, u.deletes
FROM {s}.dd u JOIN {s}_jobs j ON j.job_id = u.job_id
JOIN {s}.dataset ds ON ds.id = u.dataset_id
LEFT JOIN {s}_steps s ON s.step_id = u.step_id
WHERE u.job_id IN (SELECT value FROM json_each({ids}))
)sql";

// Facts of one side that the other lacks, marked 1 when only the new database (main) has
// them. The steps, and so the facts inside jobs, are those of the jobs both databases hold
// whose fingerprints differ (?1 their ids in main, ?2 in old): a job added or removed is
// one difference, not one for each of its steps.
constexpr std::string_view kCompare = R"sql(
WITH main_jobs AS ({jobs:main}), old_jobs AS ({jobs:old}),
main_steps AS ({steps:main}), old_steps AS ({steps:old}),
new_facts AS ({facts:main}), old_facts AS ({facts:old})
SELECT 1, * FROM (SELECT * FROM new_facts EXCEPT SELECT * FROM old_facts)
UNION ALL
SELECT 0, * FROM (SELECT * FROM old_facts EXCEPT SELECT * FROM new_facts)
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

// The SQL for one side: its schema, the parameter holding its job ids, the data set name.
std::string ForSchema(std::string_view sql, std::string_view schema) {
    std::string text = ReplaceAll(std::string(sql), "{s}", schema);
    text = ReplaceAll(text, "{ids}", schema == "main" ? "?1" : "?2");
    return ReplaceAll(text, "{dataset}", kComparedDatasetName);
}

std::string CompareSql(const KindQuery& query) {
    std::string sql(kCompare);
    for (const std::string schema : {"main", "old"}) {
        const std::string side = ":" + schema + "}";
        sql = ReplaceAll(sql, "{jobs" + side, ForSchema(kJobKeysSql, schema));
        sql = ReplaceAll(sql, "{steps" + side, ForSchema(kStepKeys, schema));
        sql = ReplaceAll(sql, "{facts" + side, ForSchema(query.facts, schema));
    }
    return sql;
}

// The ids of the jobs both sides hold whose fingerprints differ, as JSON arrays.
struct ChangedJobs {
    std::string newIds = "[", oldIds = "[";
};

ChangedJobs FindChangedJobs(Database& db) {
    const auto newJobs = FingerprintJobs(db, "main");
    const auto oldJobs = FingerprintJobs(db, "old");
    ChangedJobs changed;
    for (const auto& [key, job] : newJobs) {
        const auto old = oldJobs.find(key);
        if (old == oldJobs.end() || old->second.print == job.print) continue;
        const char* comma = changed.newIds.size() > 1 ? "," : "";
        changed.newIds += comma + std::to_string(job.id);
        changed.oldIds += comma + std::to_string(old->second.id);
    }
    changed.newIds += "]";
    changed.oldIds += "]";
    return changed;
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
    const ChangedJobs changed = FindChangedJobs(db);
    std::vector<Difference> differences;
    for (const KindQuery& query : kKinds) {
        Statement rows(db.Handle(), CompareSql(query));
        rows.Bind(1, changed.newIds).Bind(2, changed.oldIds);
        while (rows.Step())
            differences.push_back(ReadDifference(query.kind, rows));
    }
    SortDifferences(differences);
    return differences;
}

} // namespace xref
