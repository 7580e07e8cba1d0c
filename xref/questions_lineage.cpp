// lineage: from a data set through the steps that write it (up) or read it (down) to the
// data sets on their other side, and on, breadth first. Steps, not whole jobs, carry the
// flow, so a job's independent steps do not tie their data sets together; a temporary
// data set links only the steps of its own job.
#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "dataset_names.h"
#include "question_support.h"
#include "questions.h"

namespace xref {

namespace {

struct Node {
    int64_t dataset = 0;
    std::string generation; // kept only with `generations`
    int64_t job = 0;        // a temporary data set's job; 0 for any other
    auto Key() const { return std::tie(dataset, generation, job); }
    bool operator<(const Node& other) const { return Key() < other.Key(); }
    bool operator==(const Node& other) const { return Key() == other.Key(); }
};

struct StepInfo {
    int64_t id;
    int number;
    std::string name, program;
};

struct DatasetOfJob {
    int64_t step; // 0: a job-level DD, seen by every step
    int64_t dataset;
    std::string name, generation;
    bool temporary, reads, writes;
};

struct JobInfo {
    std::string name;
    std::vector<StepInfo> steps;
    std::vector<DatasetOfJob> datasets;
};

class LineageWalk {
  public:
    LineageWalk(Database& db, const LineageOptions& options, ResultTable& table)
        : options_(options), table_(table),
          users_(db.Handle(),
                 "SELECT DISTINCT job_id, coalesce(step_id, 0) FROM dd u "
                 "WHERE u.dataset_id = ?1 AND (?2 IS NULL OR u.generation = "
                 "?2) AND (?3 IS NULL OR u.job_id = ?3) AND (CASE WHEN ?4 THEN u.writes ELSE "
                 "u.reads END) = 1"),
          jobName_(db.Handle(), "SELECT name FROM job WHERE id = ?1"),
          jobSteps_(db.Handle(), "SELECT s.id, s.number, s.name, s.proc_step, p.name FROM step s "
                                 "LEFT JOIN program p ON p.id = s.program_id WHERE s.job_id = ?1 "
                                 "ORDER BY s.number, s.id"),
          jobDatasets_(db.Handle(),
                       "SELECT coalesce(u.step_id, 0), u.dataset_id, ds.name, u.generation, "
                       "u.temporary, u.reads, u.writes FROM dd u JOIN dataset ds ON ds.id = "
                       "u.dataset_id WHERE u.job_id = ?1 ORDER BY u.step_id, u.ordinal, u.seq") {}

    void Walk(const std::vector<DatasetMatch>& starts, const std::string& generation, bool up);

  private:
    struct Visit {
        Node node;
        std::string display;
        int depth;
        int parent; // index into visits_, -1 for a start
    };
    void Expand(int visit, bool up);
    const JobInfo& Job(int64_t id);
    bool OnPath(int visit, const Node& node) const;

    const LineageOptions& options_;
    ResultTable& table_;
    Statement users_, jobName_, jobSteps_, jobDatasets_;
    std::vector<Visit> visits_;
    std::map<Node, int> visited_;
    std::unordered_map<int64_t, std::unique_ptr<JobInfo>> jobs_;
};

const JobInfo& LineageWalk::Job(int64_t id) {
    auto& slot = jobs_[id];
    if (slot) return *slot;
    slot = std::make_unique<JobInfo>();
    jobName_.Bind(1, id);
    if (jobName_.Step()) slot->name = jobName_.Text(0);
    jobName_.Reset();
    jobSteps_.Bind(1, id);
    while (jobSteps_.Step())
        slot->steps.push_back({jobSteps_.Int(0), static_cast<int>(jobSteps_.Int(1)),
                               StepDisplay(jobSteps_.Text(2), jobSteps_.Text(3)),
                               jobSteps_.Text(4)});
    jobSteps_.Reset();
    jobDatasets_.Bind(1, id);
    while (jobDatasets_.Step())
        slot->datasets.push_back({jobDatasets_.Int(0), jobDatasets_.Int(1), jobDatasets_.Text(2),
                                  jobDatasets_.Text(3), jobDatasets_.Int(4) != 0,
                                  jobDatasets_.Int(5) != 0, jobDatasets_.Int(6) != 0});
    jobDatasets_.Reset();
    return *slot;
}

bool LineageWalk::OnPath(int visit, const Node& node) const {
    for (int at = visit; at >= 0; at = visits_[static_cast<size_t>(at)].parent)
        if (visits_[static_cast<size_t>(at)].node == node) return true;
    return false;
}

void LineageWalk::Walk(const std::vector<DatasetMatch>& starts, const std::string& generation,
                       bool up) {
    visits_.clear();
    visited_.clear();
    for (const DatasetMatch& start : starts) {
        Node node{start.id, generation, 0};
        if (visited_.count(node)) continue;
        visited_[node] = static_cast<int>(visits_.size());
        visits_.push_back({node, WithGeneration(start.name, generation), 0, -1});
    }
    // Breadth first: visits_ grows while it is walked.
    for (size_t at = 0; at < visits_.size(); ++at) {
        if (options_.depth > 0 && visits_[at].depth >= options_.depth) continue;
        Expand(static_cast<int>(at), up);
    }
}

void LineageWalk::Expand(int visit, bool up) {
    const Node node = visits_[static_cast<size_t>(visit)].node;
    const int depth = visits_[static_cast<size_t>(visit)].depth + 1;
    const std::string display = visits_[static_cast<size_t>(visit)].display;

    // The steps on this side of the data set, in job and step order.
    std::vector<std::pair<const JobInfo*, const StepInfo*>> steps;
    std::vector<int64_t> stepJobs;
    users_.Bind(1, node.dataset);
    if (node.generation.empty())
        users_.BindNull(2);
    else
        users_.Bind(2, node.generation);
    if (node.job == 0)
        users_.BindNull(3);
    else
        users_.Bind(3, node.job);
    users_.Bind(4, up ? 1 : 0);
    std::vector<std::pair<int64_t, int64_t>> found;
    while (users_.Step())
        found.emplace_back(users_.Int(0), users_.Int(1));
    users_.Reset();
    std::set<std::pair<int64_t, int64_t>> seenSteps;
    for (const auto& [jobId, stepId] : found) {
        const JobInfo& job = Job(jobId);
        for (const StepInfo& step : job.steps)
            if ((stepId == 0 || step.id == stepId) && seenSteps.emplace(jobId, step.id).second) {
                steps.emplace_back(&job, &step);
                stepJobs.push_back(jobId);
            }
    }
    std::vector<size_t> order(steps.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::tie(steps[a].first->name, stepJobs[a], steps[a].second->number) <
               std::tie(steps[b].first->name, stepJobs[b], steps[b].second->number);
    });

    for (size_t i : order) {
        const JobInfo* job = steps[i].first;
        const StepInfo* step = steps[i].second;
        const int64_t jobId = stepJobs[i];
        auto row = [&](Cell next, const char* note) {
            table_.AddRow({Cell::Text(up ? "up" : "down"), Cell::Number(depth), Cell::Text(display),
                           Cell::Text(job->name), Cell::Number(step->number),
                           Cell::Text(step->name),
                           step->program.empty() ? Cell::Null() : Cell::Text(step->program),
                           std::move(next), note[0] ? Cell::Text(note) : Cell::Null()});
        };
        std::set<Node> nextOfStep;
        for (const DatasetOfJob& other : job->datasets) {
            if (other.step != 0 && other.step != step->id) continue;
            if (!(up ? other.reads : other.writes)) continue;
            Node next{other.dataset, options_.generations ? other.generation : std::string(),
                      other.temporary ? jobId : 0};
            if (!nextOfStep.insert(next).second) continue;
            const std::string name =
                options_.generations ? WithGeneration(other.name, other.generation) : other.name;
            const auto known = visited_.find(next);
            if (known != visited_.end()) {
                row(Cell::Text(name), OnPath(visit, next) ? "cycle" : "seen");
                continue;
            }
            visited_[next] = static_cast<int>(visits_.size());
            visits_.push_back({next, name, depth, visit});
            row(Cell::Text(name), other.temporary ? "temporary" : "");
        }
        if (nextOfStep.empty()) row(Cell::Null(), "");
    }
}

} // namespace

ResultTable AskLineage(Database& db, const std::string& pattern, const LineageOptions& options) {
    ResultTable table(
        {"direction", "depth", "dataset", "job", "stepno", "step", "program", "next", "note"});
    std::string generation;
    const std::vector<DatasetMatch> starts =
        MatchDatasets(db, pattern, options.generations, generation);
    LineageWalk walk(db, options, table);
    if (options.up) walk.Walk(starts, generation, true);
    if (options.down) walk.Walk(starts, generation, false);
    return table;
}

} // namespace xref
