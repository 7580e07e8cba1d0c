// The walk behind lineage: from data sets (or from steps) through the steps that write them
// (up) or read them (down) to the data sets on the steps' other side, and on, breadth first.
// Steps, not whole jobs, carry the flow, so a job's independent steps do not tie their data
// sets together; a temporary data set links only the steps of its own job.
//
// The lineage question turns each step crossed into a table row; the graph turns the steps
// and data sets reached into nodes.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "database.h"
#include "question_support.h"

namespace xref {

struct DatasetUse {
    int64_t job;
    int64_t step; // 0: a job-level DD, seen by every step of the job
    int64_t dataset;
    int generation; // index into UseIndex::generations; 0 for none
    bool temporary, reads, writes, creates, deletes;
};

// Every data set use, reachable by data set and by job. A walk of a few levels through a
// large inventory touches much of it, so the uses are read once, in one pass over the dd
// table in its own order (the + keeps SQLite from taking the data set index and looking
// each row up), and walked in memory. The table is read by job, so a job's uses are one
// run of `all`.
struct UseIndex {
    std::vector<DatasetUse> all;
    std::vector<std::string> generations{""};
    std::unordered_map<int64_t, std::vector<uint32_t>> byDataset;
    std::unordered_map<int64_t, std::pair<uint32_t, uint32_t>> byJob; // [first, last)

    explicit UseIndex(Database& db);
    // The index of a generation's text; -1 when no use has it.
    int GenerationIndex(const std::string& generation) const;
};

// A data set as the walk tells them apart: by base name, by generation only when they are
// kept apart, and a temporary data set by its job as well.
struct LineageNode {
    int64_t dataset = 0;
    int generation = 0; // kept only with `generations`; 0 folds them
    int64_t job = 0;    // a temporary data set's job; 0 for any other
    auto Key() const { return std::tie(dataset, generation, job); }
    bool operator<(const LineageNode& other) const { return Key() < other.Key(); }
    bool operator==(const LineageNode& other) const { return Key() == other.Key(); }
};

struct LineageStep {
    int64_t id = 0, job = 0;
    int number = 0;
    std::string jobName, name, program;
    int64_t programId = 0, runUnitProgramId = 0; // 0 when none
};

// One step crossed: from a data set (nullptr when the walk starts at the step) to one data
// set on its other side (nullptr when it has none there). `note` is "temporary" for a
// temporary data set reached for the first time, "cycle" for one reached again on its own
// path, "seen" for one reached again by another path, else "".
struct LineageHop {
    bool up;
    int depth; // steps away from the start, from 1
    const std::string* from;
    const LineageStep& step;
    const LineageNode* next;
    const std::string* nextName;
    const char* note;
};

class LineageWalk {
  public:
    using HopHandler = std::function<void(const LineageHop&)>;
    LineageWalk(Database& db, const UseIndex& uses, bool generations, HopHandler handler);

    // Walks from the data sets (only the generation given, when kept apart).
    void FromDatasets(const std::vector<DatasetMatch>& starts, const std::string& generation,
                      bool up, int depthLimit);
    // Walks from the steps, which count as one step away.
    void FromSteps(const std::vector<int64_t>& steps, bool up, int depthLimit);
    // Lowers the depth limit while walking: hops deeper than `depth` are no longer made.
    void LimitDepth(int depth) { limit_ = std::min(limit_, depth); }

    const LineageStep& Step(int64_t id);
    const std::vector<int64_t>& StepsOfJob(int64_t job);
    std::string Display(const DatasetUse& use);
    const std::string& DatasetName(int64_t dataset) { return datasetName_(dataset); }
    // The node a start data set stands for.
    LineageNode StartNode(const DatasetMatch& start, const std::string& generation) const;

  private:
    struct Visit {
        LineageNode node;
        std::string display;
        int depth;
        int parent; // index into visits_, -1 for a start
    };
    void Restart(int depthLimit);
    void WalkVisits(bool up);
    void Expand(int visit, bool up);
    void Cross(int visit, const LineageStep& step, bool up, int depth);
    std::vector<const LineageStep*> StepsOnThisSide(const LineageNode& node, bool up);
    bool OnPath(int visit, const LineageNode& node) const;

    const UseIndex& uses_;
    bool generations_;
    HopHandler handler_;
    int limit_ = INT_MAX;
    Statement stepInfo_, jobSteps_;
    NameById datasetName_;
    std::unordered_map<int64_t, LineageStep> steps_;
    std::unordered_map<int64_t, std::vector<int64_t>> jobStepIds_;
    std::vector<Visit> visits_;
    std::map<LineageNode, int> visited_;
};

} // namespace xref
