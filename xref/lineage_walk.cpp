#include "lineage_walk.h"

#include <algorithm>
#include <set>

#include "dataset_names.h"

namespace xref {

UseIndex::UseIndex(Database& db) {
    std::unordered_map<std::string, int> generationIndex{{"", 0}};
    std::pair<uint32_t, uint32_t>* jobRun = nullptr;
    Statement scan(db.Handle(), "SELECT job_id, coalesce(step_id, 0), dataset_id, generation, "
                                "temporary, reads, writes, creates, deletes FROM dd WHERE "
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
        const DatasetUse use{scan.Int(0),      scan.Int(1),      scan.Int(2),
                             generation,       scan.Int(4) != 0, scan.Int(5) != 0,
                             scan.Int(6) != 0, scan.Int(7) != 0, scan.Int(8) != 0};
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

int UseIndex::GenerationIndex(const std::string& generation) const {
    const auto found = std::find(generations.begin(), generations.end(), generation);
    return found == generations.end() ? -1 : static_cast<int>(found - generations.begin());
}

LineageWalk::LineageWalk(Database& db, const UseIndex& uses, bool generations, HopHandler handler)
    : uses_(uses), generations_(generations), handler_(std::move(handler)),
      stepInfo_(db.Handle(), "SELECT s.number, s.name, s.proc_step, p.name, j.name, s.job_id, "
                             "s.program_id, s.run_unit_program_id FROM step s JOIN job j ON "
                             "j.id = s.job_id LEFT JOIN program p ON p.id = s.program_id "
                             "WHERE s.id = ?1"),
      jobSteps_(db.Handle(), "SELECT id FROM step WHERE job_id = ?1 ORDER BY number"),
      datasetName_(db, "SELECT name FROM dataset WHERE id = ?1") {}

const LineageStep& LineageWalk::Step(int64_t id) {
    auto [found, added] = steps_.try_emplace(id);
    LineageStep& info = found->second;
    if (!added) return info;
    info.id = id;
    stepInfo_.Bind(1, id);
    if (stepInfo_.Step()) {
        info.number = static_cast<int>(stepInfo_.Int(0));
        info.name = StepDisplay(stepInfo_.Text(1), stepInfo_.Text(2));
        info.program = stepInfo_.Text(3);
        info.jobName = stepInfo_.Text(4);
        info.job = stepInfo_.Int(5);
        info.programId = stepInfo_.Int(6);
        info.runUnitProgramId = stepInfo_.Int(7);
    }
    stepInfo_.Reset();
    return info;
}

const std::vector<int64_t>& LineageWalk::StepsOfJob(int64_t job) {
    auto [found, added] = jobStepIds_.try_emplace(job);
    if (added) {
        jobSteps_.Bind(1, job);
        while (jobSteps_.Step())
            found->second.push_back(jobSteps_.Int(0));
        jobSteps_.Reset();
    }
    return found->second;
}

std::string LineageWalk::Display(const DatasetUse& use) {
    const std::string& name = datasetName_(use.dataset);
    return generations_
               ? WithGeneration(name, uses_.generations[static_cast<size_t>(use.generation)])
               : name;
}

LineageNode LineageWalk::StartNode(const DatasetMatch& start, const std::string& generation) const {
    return {start.id, uses_.GenerationIndex(generation), 0};
}

bool LineageWalk::OnPath(int visit, const LineageNode& node) const {
    for (int at = visit; at >= 0; at = visits_[static_cast<size_t>(at)].parent)
        if (visits_[static_cast<size_t>(at)].node == node) return true;
    return false;
}

void LineageWalk::Restart(int depthLimit) {
    visits_.clear();
    visited_.clear();
    limit_ = depthLimit > 0 ? depthLimit : INT_MAX;
}

void LineageWalk::FromDatasets(const std::vector<DatasetMatch>& starts,
                               const std::string& generation, bool up, int depthLimit) {
    Restart(depthLimit);
    if (uses_.GenerationIndex(generation) < 0) return; // a generation nothing uses
    for (const DatasetMatch& start : starts) {
        const LineageNode node = StartNode(start, generation);
        if (visited_.count(node)) continue;
        visited_[node] = static_cast<int>(visits_.size());
        visits_.push_back({node, WithGeneration(start.name, generation), 0, -1});
    }
    WalkVisits(up);
}

void LineageWalk::FromSteps(const std::vector<int64_t>& steps, bool up, int depthLimit) {
    Restart(depthLimit);
    for (int64_t step : steps)
        Cross(-1, Step(step), up, 1);
    WalkVisits(up);
}

// Breadth first: visits_ grows while it is walked.
void LineageWalk::WalkVisits(bool up) {
    for (size_t at = 0; at < visits_.size(); ++at) {
        if (visits_[at].depth >= limit_) continue;
        Expand(static_cast<int>(at), up);
    }
}

// The steps that write (up) or read (down) the node's data set, in job and step order.
std::vector<const LineageStep*> LineageWalk::StepsOnThisSide(const LineageNode& node, bool up) {
    std::vector<const LineageStep*> steps;
    std::set<int64_t> seen;
    const auto found = uses_.byDataset.find(node.dataset);
    if (found == uses_.byDataset.end()) return steps;
    for (uint32_t index : found->second) {
        const DatasetUse& use = uses_.all[index];
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
    std::stable_sort(steps.begin(), steps.end(), [](const LineageStep* a, const LineageStep* b) {
        return std::tie(a->jobName, a->job, a->number) < std::tie(b->jobName, b->job, b->number);
    });
    return steps;
}

void LineageWalk::Expand(int visit, bool up) {
    const LineageNode node = visits_[static_cast<size_t>(visit)].node;
    const int depth = visits_[static_cast<size_t>(visit)].depth + 1;
    for (const LineageStep* step : StepsOnThisSide(node, up)) {
        if (depth > limit_) return; // the handler lowered the limit
        Cross(visit, *step, up, depth);
    }
}

// Hands on the step with each data set on its other side, by name, and queues those not
// reached before.
void LineageWalk::Cross(int visit, const LineageStep& step, bool up, int depth) {
    const std::string from =
        visit < 0 ? std::string() : visits_[static_cast<size_t>(visit)].display;
    const std::string* fromName = visit < 0 ? nullptr : &from;
    std::map<LineageNode, std::pair<std::string, bool>> nextOfStep;
    const auto run = uses_.byJob.find(step.job);
    if (run != uses_.byJob.end())
        for (uint32_t index = run->second.first; index < run->second.second; ++index) {
            const DatasetUse& other = uses_.all[index];
            if (other.step != 0 && other.step != step.id) continue;
            if (!(up ? other.reads : other.writes)) continue;
            nextOfStep.try_emplace({other.dataset, generations_ ? other.generation : 0,
                                    other.temporary ? other.job : 0},
                                   Display(other), other.temporary);
        }
    std::vector<std::pair<LineageNode, std::pair<std::string, bool>>> ordered(nextOfStep.begin(),
                                                                              nextOfStep.end());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.second.first < b.second.first; });
    for (const auto& [next, named] : ordered) {
        const auto& [name, temporary] = named;
        if (visited_.count(next)) {
            handler_(
                {up, depth, fromName, step, &next, &name, OnPath(visit, next) ? "cycle" : "seen"});
            continue;
        }
        visited_[next] = static_cast<int>(visits_.size());
        visits_.push_back({next, name, depth, visit});
        handler_({up, depth, fromName, step, &next, &name, temporary ? "temporary" : ""});
    }
    if (nextOfStep.empty()) handler_({up, depth, fromName, step, nullptr, nullptr, ""});
}

} // namespace xref
