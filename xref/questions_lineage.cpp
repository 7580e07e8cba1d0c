// lineage: from a data set through the steps that write it (up) or read it (down) to the
// data sets on their other side, and on, breadth first. Steps, not whole jobs, carry the
// flow, so a job's independent steps do not tie their data sets together; a temporary
// data set links only the steps of its own job.
//
// A walk of a few levels through a large inventory touches much of it, so the data set
// uses are read once, in one pass over the dd table in its own order (the + keeps SQLite
// from taking the data set index and looking each row up), and walked in memory.
#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "dataset_names.h"
#include "question_support.h"
#include "questions.h"

namespace xref {

namespace {

struct Use {
    int64_t job;
    int64_t step; // 0: a job-level DD, seen by every step of the job
    int64_t dataset;
    int generation; // index into Uses::generations; 0 for none
    bool temporary, reads, writes;
};

// Every data set use, reachable by data set and by job. The table is read in its own
// order, by job, so a job's uses are one run of `all`.
struct Uses {
    std::vector<Use> all;
    std::vector<std::string> generations{""};
    std::unordered_map<int64_t, std::vector<uint32_t>> byDataset;
    std::unordered_map<int64_t, std::pair<uint32_t, uint32_t>> byJob; // [first, last)

    explicit Uses(Database& db) {
        std::unordered_map<std::string, int> generationIndex{{"", 0}};
        std::pair<uint32_t, uint32_t>* jobRun = nullptr;
        Statement scan(db.Handle(), "SELECT job_id, coalesce(step_id, 0), dataset_id, "
                                    "generation, temporary, reads, writes FROM dd WHERE "
                                    "+dataset_id IS NOT NULL ORDER BY job_id");
        while (scan.Step()) {
            int generation = 0;
            if (!scan.IsNull(3)) {
                const std::string text = scan.Text(3);
                auto [found, added] =
                    generationIndex.emplace(text, static_cast<int>(generations.size()));
                if (added) generations.push_back(text);
                generation = found->second;
            }
            const Use use{scan.Int(0),      scan.Int(1),      scan.Int(2),     generation,
                          scan.Int(4) != 0, scan.Int(5) != 0, scan.Int(6) != 0};
            const auto index = static_cast<uint32_t>(all.size());
            all.push_back(use);
            byDataset[use.dataset].push_back(index);
            if (index == 0 || all[index - 1].job != use.job) {
                jobRun = &byJob[use.job];
                *jobRun = {index, index};
            }
            ++jobRun->second;
        }
    }
};

struct Node {
    int64_t dataset = 0;
    int generation = 0; // kept only with `generations`; 0 folds them
    int64_t job = 0;    // a temporary data set's job; 0 for any other
    auto Key() const { return std::tie(dataset, generation, job); }
    bool operator<(const Node& other) const { return Key() < other.Key(); }
    bool operator==(const Node& other) const { return Key() == other.Key(); }
};

struct StepInfo {
    int64_t id = 0, job = 0;
    int number = 0;
    std::string jobName, name, program;
};

class LineageWalk {
  public:
    LineageWalk(Database& db, const LineageOptions& options, ResultTable& table)
        : options_(options), table_(table), uses_(db),
          stepInfo_(db.Handle(), "SELECT s.number, s.name, s.proc_step, p.name, j.name, s.job_id "
                                 "FROM step s JOIN job j ON j.id = s.job_id LEFT JOIN program p "
                                 "ON p.id = s.program_id WHERE s.id = ?1"),
          jobSteps_(db.Handle(), "SELECT id FROM step WHERE job_id = ?1 ORDER BY number"),
          datasetName_(db.Handle(), "SELECT name FROM dataset WHERE id = ?1") {}

    void Walk(const std::vector<DatasetMatch>& starts, const std::string& generation, bool up);

  private:
    struct Visit {
        Node node;
        std::string display;
        int depth;
        int parent; // index into visits_, -1 for a start
    };
    void Expand(int visit, bool up);
    std::vector<const StepInfo*> StepsOnThisSide(const Node& node, bool up);
    const StepInfo& Step(int64_t id);
    const std::vector<int64_t>& StepsOfJob(int64_t job);
    std::string Display(const Use& use);
    bool OnPath(int visit, const Node& node) const;
    int GenerationIndex(const std::string& generation) const;

    const LineageOptions& options_;
    ResultTable& table_;
    Uses uses_;
    Statement stepInfo_, jobSteps_, datasetName_;
    std::unordered_map<int64_t, StepInfo> steps_;
    std::unordered_map<int64_t, std::vector<int64_t>> jobSteps;
    std::unordered_map<int64_t, std::string> datasetNames_;
    std::vector<Visit> visits_;
    std::map<Node, int> visited_;
};

const StepInfo& LineageWalk::Step(int64_t id) {
    auto [found, added] = steps_.try_emplace(id);
    StepInfo& info = found->second;
    if (!added) return info;
    info.id = id;
    stepInfo_.Bind(1, id);
    if (stepInfo_.Step()) {
        info.number = static_cast<int>(stepInfo_.Int(0));
        info.name = StepDisplay(stepInfo_.Text(1), stepInfo_.Text(2));
        info.program = stepInfo_.Text(3);
        info.jobName = stepInfo_.Text(4);
        info.job = stepInfo_.Int(5);
    }
    stepInfo_.Reset();
    return info;
}

const std::vector<int64_t>& LineageWalk::StepsOfJob(int64_t job) {
    auto [found, added] = jobSteps.try_emplace(job);
    if (added) {
        jobSteps_.Bind(1, job);
        while (jobSteps_.Step())
            found->second.push_back(jobSteps_.Int(0));
        jobSteps_.Reset();
    }
    return found->second;
}

std::string LineageWalk::Display(const Use& use) {
    auto [found, added] = datasetNames_.try_emplace(use.dataset);
    if (added) {
        datasetName_.Bind(1, use.dataset);
        if (datasetName_.Step()) found->second = datasetName_.Text(0);
        datasetName_.Reset();
    }
    return options_.generations
               ? WithGeneration(found->second,
                                uses_.generations[static_cast<size_t>(use.generation)])
               : found->second;
}

int LineageWalk::GenerationIndex(const std::string& generation) const {
    const auto found = std::find(uses_.generations.begin(), uses_.generations.end(), generation);
    return found == uses_.generations.end() ? -1
                                            : static_cast<int>(found - uses_.generations.begin());
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
    const int index = GenerationIndex(generation);
    if (index < 0) return; // a generation nothing uses
    for (const DatasetMatch& start : starts) {
        const Node node{start.id, index, 0};
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

// The steps that write (up) or read (down) the node's data set, in job and step order.
std::vector<const StepInfo*> LineageWalk::StepsOnThisSide(const Node& node, bool up) {
    std::vector<const StepInfo*> steps;
    std::set<int64_t> seen;
    const auto found = uses_.byDataset.find(node.dataset);
    if (found == uses_.byDataset.end()) return steps;
    for (uint32_t index : found->second) {
        const Use& use = uses_.all[index];
        if (!(up ? use.writes : use.reads)) continue;
        if (node.generation != 0 && use.generation != node.generation) continue;
        if (node.job != 0 && use.job != node.job) continue;
        if (use.step != 0) {
            if (seen.insert(use.step).second) steps.push_back(&Step(use.step));
            continue;
        }
        for (int64_t step : StepsOfJob(use.job))
            if (seen.insert(step).second) steps.push_back(&Step(step));
    }
    std::stable_sort(steps.begin(), steps.end(), [](const StepInfo* a, const StepInfo* b) {
        return std::tie(a->jobName, a->job, a->number) < std::tie(b->jobName, b->job, b->number);
    });
    return steps;
}

void LineageWalk::Expand(int visit, bool up) {
    const Node node = visits_[static_cast<size_t>(visit)].node;
    const int depth = visits_[static_cast<size_t>(visit)].depth + 1;
    const std::string display = visits_[static_cast<size_t>(visit)].display;
    for (const StepInfo* step : StepsOnThisSide(node, up)) {
        auto row = [&](Cell next, const char* note) {
            table_.AddRow({Cell::Text(up ? "up" : "down"), Cell::Number(depth), Cell::Text(display),
                           Cell::Text(step->jobName), Cell::Number(step->number),
                           Cell::Text(step->name),
                           step->program.empty() ? Cell::Null() : Cell::Text(step->program),
                           std::move(next), note[0] ? Cell::Text(note) : Cell::Null()});
        };
        // The data sets on the other side of the step, by name.
        std::map<Node, std::pair<std::string, bool>> nextOfStep;
        const auto [first, last] = uses_.byJob[step->job];
        for (uint32_t index = first; index < last; ++index) {
            const Use& other = uses_.all[index];
            if (other.step != 0 && other.step != step->id) continue;
            if (!(up ? other.reads : other.writes)) continue;
            nextOfStep.try_emplace({other.dataset, options_.generations ? other.generation : 0,
                                    other.temporary ? other.job : 0},
                                   Display(other), other.temporary);
        }
        std::vector<std::pair<Node, std::pair<std::string, bool>>> ordered(nextOfStep.begin(),
                                                                           nextOfStep.end());
        std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
            return a.second.first < b.second.first;
        });
        for (const auto& [next, named] : ordered) {
            const auto& [name, temporary] = named;
            if (visited_.count(next)) {
                row(Cell::Text(name), OnPath(visit, next) ? "cycle" : "seen");
                continue;
            }
            visited_[next] = static_cast<int>(visits_.size());
            visits_.push_back({next, name, depth, visit});
            row(Cell::Text(name), temporary ? "temporary" : "");
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
    if (starts.empty()) return table;
    LineageWalk walk(db, options, table);
    if (options.up) walk.Walk(starts, generation, true);
    if (options.down) walk.Walk(starts, generation, false);
    return table;
}

} // namespace xref
