#include "job_fingerprints.h"

#include <string_view>
#include <unordered_map>

#include "compared_facts.h"

namespace xref {

namespace {

// What is hashed of each step and each data set use, after the job it belongs to and the
// step's id. A use is hashed with the number, name and procedure step of its step, which
// are looked up by id in memory: a join on the step table would cost more than the rest.
constexpr std::string_view kStepRows = R"sql(
SELECT s.job_id, s.id, s.number, s.name, s.proc_step, p.name, rp.name, s.plan, s.psb,
       s.ims_region, s.db2_subsystem
FROM {s}.step s
LEFT JOIN {s}.program p ON p.id = s.program_id
LEFT JOIN {s}.program rp ON rp.id = s.run_unit_program_id
)sql";
constexpr int kStepIdentityEnd = 5; // number, name and procedure step: columns 2 to 4

// Every DD, read in the order of its table: a join on the data sets makes SQLite go through
// an index and look each row up. Names of data sets come from a map, DDs without one
// (SYSOUT, DUMMY, in-stream) are passed over.
constexpr std::string_view kUseRows = R"sql(
SELECT u.job_id, coalesce(u.step_id, 0), coalesce(u.dataset_id, 0), u.name, u.generation,
       u.reads, u.writes, u.creates, u.deletes
FROM {s}.dd u
)sql";
constexpr int kUseDatasetColumn = 2;

constexpr std::string_view kDatasetNames = "SELECT ds.id, {dataset} FROM {s}.dataset ds";

constexpr int kHashedFrom = 2;
constexpr int kUseHashedFrom = 3;

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string ForSchema(std::string_view sql, const std::string& schema) {
    return ReplaceAll(ReplaceAll(std::string(sql), "{s}", schema), "{dataset}",
                      kComparedDatasetName);
}

constexpr uint64_t kFnvOffset = 1469598103934665603ULL;

uint64_t Fnv(std::string_view text, uint64_t hash) {
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ULL;
    return (hash ^ 0x1F) * 1099511628211ULL;
}

// FNV-1a over the columns from `first` to before `end`, each ended by a separator byte
// names never hold, carried on from `hash`.
uint64_t Fnv(const Statement& row, int first, int end, uint64_t hash) {
    for (int column = first; column < end; ++column)
        hash = Fnv(row.Text(column), hash);
    return hash;
}

// splitmix64's finaliser, so that summing the hashes of rows does not cancel them out.
uint64_t Mix(uint64_t hash) {
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ULL;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBULL;
    return hash ^ (hash >> 31);
}

// The hashes of the rows are summed by job: rows come in any order.
class Fingerprinter {
  public:
    explicit Fingerprinter(Database& db) : db_(db) {}

    void AddSteps(const std::string& sql) {
        Statement rows(db_.Handle(), sql);
        while (rows.Step()) {
            steps_[rows.Int(1)] = Fnv(rows, kHashedFrom, kStepIdentityEnd, kFnvOffset);
            prints_[rows.Int(0)] += Mix(Fnv(rows, kHashedFrom, rows.Columns(), kFnvOffset));
        }
    }

    void AddDatasetNames(const std::string& sql) {
        Statement rows(db_.Handle(), sql);
        while (rows.Step())
            datasets_[rows.Int(0)] = rows.Text(1);
    }

    // After AddSteps and AddDatasetNames: a use carries on from the hash of its step's
    // identity and its data set's name.
    void AddUses(const std::string& sql) {
        Statement rows(db_.Handle(), sql);
        while (rows.Step()) {
            const auto dataset = datasets_.find(rows.Int(kUseDatasetColumn));
            if (dataset == datasets_.end()) continue;
            const auto step = steps_.find(rows.Int(1));
            const uint64_t seed = step == steps_.end() ? kFnvOffset : step->second;
            prints_[rows.Int(0)] +=
                Mix(Fnv(rows, kUseHashedFrom, rows.Columns(), Fnv(dataset->second, seed)));
        }
    }

    uint64_t Print(int64_t job) const {
        const auto found = prints_.find(job);
        return found == prints_.end() ? 0 : found->second;
    }

  private:
    Database& db_;
    std::unordered_map<int64_t, uint64_t> steps_;       // step id -> hash of its identity
    std::unordered_map<int64_t, std::string> datasets_; // data set id -> name as compared
    std::unordered_map<int64_t, uint64_t> prints_;      // job id -> fingerprint
};

} // namespace

std::map<JobKey, JobFingerprint> FingerprintJobs(Database& db, const std::string& schema) {
    Fingerprinter prints(db);
    prints.AddSteps(ForSchema(kStepRows, schema));
    prints.AddDatasetNames(ForSchema(kDatasetNames, schema));
    prints.AddUses(ForSchema(kUseRows, schema));
    std::map<JobKey, JobFingerprint> jobs;
    Statement rows(db.Handle(), ForSchema(kJobKeysSql, schema));
    while (rows.Step()) {
        const int64_t id = rows.Int(0);
        jobs[{rows.Text(1), rows.Text(2), rows.Text(3), rows.Int(4)}] = {id, prints.Print(id)};
    }
    return jobs;
}

} // namespace xref
