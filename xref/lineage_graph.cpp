// Builds the graph in two passes: the lineage walk places the nodes, each at the fewest
// steps from the start it was reached by, counting them by level so that the walk can be
// stopped as soon as a level would go over the cap; then the edges are read from the uses
// of the steps kept.
#include "lineage_graph.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <unordered_map>

#include "dataset_names.h"

namespace xref {

const char* NodeKindName(NodeKind kind) {
    switch (kind) {
    case NodeKind::Dataset:
        return "dataset";
    case NodeKind::Job:
        return "job";
    case NodeKind::Step:
        return "step";
    case NodeKind::Program:
        return "program";
    }
    return "";
}

std::string LineageGraph::Title() const {
    const std::string what =
        request.start == NodeKind::Dataset ? "data set" : NodeKindName(request.start);
    std::string title = "Lineage of " + what + " " + request.name + " (";
    title += request.up && request.down ? "up and down" : request.up ? "up" : "down";
    if (request.depth > 0) title += ", depth " + std::to_string(request.depth);
    return title + ")";
}

std::string LineageGraph::CutNote() const {
    if (!Cut()) return {};
    return "cut at depth " + std::to_string(cutDepth) + ": one step further would make more than " +
           std::to_string(request.maxNodes) + " nodes";
}

namespace {

class GraphBuilder {
  public:
    GraphBuilder(Database& db, const UseIndex& uses, const GraphRequest& request)
        : db_(db), uses_(uses), request_(request),
          walk_(db, uses, request.generations, [this](const LineageHop& hop) { OnHop(hop); }),
          jobKey_(db.Handle(), "SELECT j.name, c.name, m.name, j.ordinal FROM job j JOIN member m "
                               "ON m.id = j.member_id JOIN container c ON c.id = m.container_id "
                               "WHERE j.id = ?1"),
          programName_(db, "SELECT name FROM program WHERE id = ?1") {}

    LineageGraph Build();

  private:
    void WalkFromDatasets();
    void WalkFromSteps(const std::vector<int64_t>& steps);
    std::vector<int64_t> StartJobs();
    std::vector<int64_t> StepsRunning(int64_t program);
    void OnHop(const LineageHop& hop);
    int StartStepLevel() const { return request_.start == NodeKind::Job ? 0 : 1; }
    void PlaceStep(const LineageStep& step, int level);
    void PlaceJob(int64_t job, const std::string& name, int level, bool start);
    void PlaceProgram(int64_t program, int level, bool start);
    void PlaceDataset(const LineageNode& node, const std::string& name, int level, bool start);
    void Place(GraphNode node);
    void CheckCap();
    struct JobNames {
        std::string key, container, member;
    };
    const JobNames& Job(int64_t job);
    const std::string& JobKey(int64_t job) { return Job(job).key; }
    std::string DatasetId(const LineageNode& node);
    std::string StepId(const LineageStep& step) {
        return "step:" + JobKey(step.job) + "/" + std::to_string(step.number);
    }
    std::string StepOwner(const LineageStep& step);
    const std::string& ProgramName(int64_t program) { return programName_(program); }
    std::string ProgramId(int64_t program) { return "program:" + ProgramName(program); }
    void AddEdgesOfStep(const LineageStep& step,
                        std::set<std::tuple<std::string, std::string, int>>& edges);
    LineageGraph Collect();

    Database& db_;
    const UseIndex& uses_;
    const GraphRequest& request_;
    LineageWalk walk_;
    std::vector<GraphNode> nodes_;
    std::unordered_map<std::string, size_t> nodeIndex_;
    std::map<int, size_t> nodesAtLevel_;
    std::map<int64_t, int> stepLevels_;
    std::unordered_map<int64_t, JobNames> jobs_;
    Statement jobKey_;
    NameById programName_;
    int keptDepth_ = INT_MAX;
    int64_t startProgram_ = 0;
};

// Node ids are made of names, so that they stay the same when the database is loaded
// again: "dataset:NAME", "program:NAME", "job:" and the job's key, "step:" with the key and
// the step number. A job's key is NAME@CONTAINER/MEMBER (#n for the n-th job of a member
// after the first); a temporary data set adds the key of its job.
const GraphBuilder::JobNames& GraphBuilder::Job(int64_t job) {
    auto [found, added] = jobs_.try_emplace(job);
    JobNames& names = found->second;
    if (added) {
        jobKey_.Bind(1, job);
        if (jobKey_.Step()) {
            names.container = jobKey_.Text(1);
            names.member = jobKey_.Text(2);
            names.key = jobKey_.Text(0) + "@" + names.container + "/" + names.member;
            if (jobKey_.Int(3) > 1) names.key += "#" + std::to_string(jobKey_.Int(3));
        }
        jobKey_.Reset();
    }
    return names;
}

std::string GraphBuilder::DatasetId(const LineageNode& node) {
    std::string id =
        "dataset:" + WithGeneration(walk_.DatasetName(node.dataset),
                                    uses_.generations[static_cast<size_t>(node.generation)]);
    if (node.job != 0) id += "@" + JobKey(node.job);
    return id;
}

std::string GraphBuilder::StepOwner(const LineageStep& step) {
    return request_.steps ? StepId(step) : "job:" + JobKey(step.job);
}

GraphNode NewNode(std::string id, NodeKind kind, std::string name, int level, bool start,
                  int64_t dbId) {
    GraphNode node;
    node.id = std::move(id);
    node.kind = kind;
    node.name = std::move(name);
    node.level = level;
    node.start = start;
    node.dbId = dbId;
    return node;
}

void GraphBuilder::Place(GraphNode node) {
    if (node.level > keptDepth_) return;
    const auto [found, added] = nodeIndex_.try_emplace(node.id, nodes_.size());
    if (added) {
        ++nodesAtLevel_[node.level];
        nodes_.push_back(std::move(node));
    } else {
        GraphNode& known = nodes_[found->second];
        known.start = known.start || node.start;
        if (node.level >= known.level) return;
        --nodesAtLevel_[known.level];
        ++nodesAtLevel_[node.level];
        known.level = node.level;
    }
    CheckCap();
}

// The nearest level at which the nodes so far go over the cap is dropped with all beyond
// it; the start (level 0) always stays. Levels fill in order, so the levels kept are whole.
void GraphBuilder::CheckCap() {
    size_t total = 0;
    for (const auto& [level, count] : nodesAtLevel_) {
        if (level > keptDepth_) break;
        total += count;
        if (total > request_.maxNodes && level > 0) {
            keptDepth_ = level - 1;
            walk_.LimitDepth(keptDepth_);
            return;
        }
    }
}

void GraphBuilder::PlaceDataset(const LineageNode& node, const std::string& name, int level,
                                bool start) {
    const bool temporary = node.job != 0;
    if (temporary && !request_.temporary) return;
    GraphNode graphNode =
        NewNode(DatasetId(node), NodeKind::Dataset, name, level, start, node.dataset);
    graphNode.temporary = temporary;
    graphNode.generation = uses_.generations[static_cast<size_t>(node.generation)];
    graphNode.temporaryJob = node.job;
    Place(std::move(graphNode));
}

void GraphBuilder::PlaceJob(int64_t job, const std::string& name, int level, bool start) {
    Place(NewNode("job:" + JobKey(job), NodeKind::Job, name, level, start, job));
}

void GraphBuilder::PlaceProgram(int64_t program, int level, bool start) {
    if (program == 0) return;
    Place(NewNode(ProgramId(program), NodeKind::Program, ProgramName(program), level, start,
                  program));
}

// A step brings its job (or itself inside its job) and the program that really runs in it.
void GraphBuilder::PlaceStep(const LineageStep& step, int level) {
    if (level > keptDepth_) return;
    const auto [found, added] = stepLevels_.try_emplace(step.id, level);
    if (!added && found->second <= level) return;
    found->second = level;
    PlaceJob(step.job, step.jobName, level, false);
    if (request_.steps) {
        GraphNode node = NewNode(StepId(step), NodeKind::Step, step.name, level, false, step.id);
        node.parent = "job:" + JobKey(step.job);
        node.number = step.number;
        Place(std::move(node));
    }
    PlaceProgram(step.runUnitProgramId != 0 ? step.runUnitProgramId : step.programId, level, false);
}

// A job's steps stand at the start with it; a program's steps, which may be thousands, one
// step away, so that a cap can cut them. What start steps reach is one step away.
void GraphBuilder::OnHop(const LineageHop& hop) {
    PlaceStep(hop.step, hop.from == nullptr ? StartStepLevel() : hop.depth);
    if (hop.next != nullptr) PlaceDataset(*hop.next, *hop.nextName, hop.depth, false);
}

void GraphBuilder::WalkFromDatasets() {
    std::string generation;
    const std::vector<DatasetMatch> starts =
        request_.datasetId != 0
            ? std::vector<DatasetMatch>{{request_.datasetId, request_.name}}
            : MatchDatasets(db_, request_.name, request_.generations, generation);
    if (uses_.GenerationIndex(generation) < 0) return; // a generation nothing uses
    for (const DatasetMatch& start : starts)
        PlaceDataset(walk_.StartNode(start, generation), WithGeneration(start.name, generation), 0,
                     true);
    if (request_.up)
        walk_.FromDatasets(starts, generation, true, std::min(request_.depth, keptDepth_));
    if (request_.down && keptDepth_ > 0)
        walk_.FromDatasets(starts, generation, false, std::min(request_.depth, keptDepth_));
}

void GraphBuilder::WalkFromSteps(const std::vector<int64_t>& steps) {
    for (int64_t step : steps)
        PlaceStep(walk_.Step(step), StartStepLevel());
    for (bool up : {true, false})
        if ((up ? request_.up : request_.down) && keptDepth_ > 0)
            walk_.FromSteps(steps, up, std::min(request_.depth, keptDepth_));
}

std::vector<int64_t> GraphBuilder::StartJobs() {
    std::vector<int64_t> steps;
    Statement jobs(db_.Handle(), "SELECT id FROM job WHERE name = ?1 ORDER BY id");
    jobs.Bind(1, request_.name);
    while (jobs.Step()) {
        const int64_t job = jobs.Int(0);
        PlaceJob(job, request_.name, 0, true);
        for (int64_t step : walk_.StepsOfJob(job))
            steps.push_back(step);
    }
    return steps;
}

std::vector<int64_t> GraphBuilder::StepsRunning(int64_t program) {
    std::vector<int64_t> steps;
    Statement query(db_.Handle(), "SELECT id FROM step WHERE program_id = ?1 UNION "
                                  "SELECT id FROM step WHERE run_unit_program_id = ?1 ORDER BY 1");
    query.Bind(1, program);
    while (query.Step())
        steps.push_back(query.Int(0));
    return steps;
}

void GraphBuilder::AddEdgesOfStep(const LineageStep& step,
                                  std::set<std::tuple<std::string, std::string, int>>& edges) {
    enum { kRead, kCreate, kUpdate, kDelete, kRuns };
    const std::string owner = StepOwner(step);
    const auto run = uses_.byJob.find(step.job);
    if (run != uses_.byJob.end())
        for (uint32_t index = run->second.first; index < run->second.second; ++index) {
            const DatasetUse& use = uses_.all[index];
            if (use.step != 0 && use.step != step.id) continue;
            const std::string id =
                DatasetId({use.dataset, request_.generations ? use.generation : 0,
                           use.temporary ? use.job : 0});
            if (!nodeIndex_.count(id)) continue;
            if (use.reads) edges.insert({id, owner, kRead});
            if (use.creates) edges.insert({owner, id, kCreate});
            if (use.deletes) edges.insert({owner, id, kDelete});
            if (use.writes && !use.creates && !use.deletes) edges.insert({owner, id, kUpdate});
        }
    const int64_t runs = step.runUnitProgramId != 0 ? step.runUnitProgramId : step.programId;
    for (int64_t program : {runs, step.programId == startProgram_ ? startProgram_ : 0})
        if (program != 0 && nodeIndex_.count(ProgramId(program)))
            edges.insert({owner, ProgramId(program), kRuns});
}

LineageGraph GraphBuilder::Collect() {
    LineageGraph graph;
    graph.request = request_;
    if (keptDepth_ != INT_MAX) graph.cutDepth = keptDepth_;
    for (GraphNode& node : nodes_) {
        if (node.level > keptDepth_) continue;
        if (node.kind == NodeKind::Job) {
            node.container = Job(node.dbId).container;
            node.member = Job(node.dbId).member;
        }
        graph.nodes.push_back(node);
    }
    // Data sets, jobs, steps (by job and number), programs; each by name.
    auto order = [this](const GraphNode& node) {
        const bool step = node.kind == NodeKind::Step;
        const std::string& primary = step ? nodes_[nodeIndex_.at(node.parent)].name : node.name;
        return std::make_tuple(static_cast<int>(node.kind), primary, step ? node.parent : "",
                               node.number, node.id);
    };
    std::sort(graph.nodes.begin(), graph.nodes.end(),
              [&](const GraphNode& a, const GraphNode& b) { return order(a) < order(b); });
    nodeIndex_.clear();
    for (size_t at = 0; at < graph.nodes.size(); ++at)
        nodeIndex_[graph.nodes[at].id] = at;

    std::set<std::tuple<std::string, std::string, int>> edges;
    for (const auto& [step, level] : stepLevels_)
        if (level <= keptDepth_) AddEdgesOfStep(walk_.Step(step), edges);
    std::vector<std::tuple<size_t, size_t, int>> ordered;
    for (const auto& [source, target, kind] : edges)
        ordered.emplace_back(nodeIndex_.at(source), nodeIndex_.at(target), kind);
    std::sort(ordered.begin(), ordered.end());
    static const char* const kKinds[] = {"read", "create", "update", "delete", "runs"};
    for (const auto& [source, target, kind] : ordered)
        graph.edges.push_back({graph.nodes[source].id, graph.nodes[target].id, kKinds[kind]});
    return graph;
}

LineageGraph GraphBuilder::Build() {
    switch (request_.start) {
    case NodeKind::Dataset:
        WalkFromDatasets();
        break;
    case NodeKind::Job:
        WalkFromSteps(StartJobs());
        break;
    case NodeKind::Step: // not a start: a job's or a program's steps are
        break;
    case NodeKind::Program: {
        Statement program(db_.Handle(), "SELECT id FROM program WHERE name = ?1");
        program.Bind(1, request_.name);
        if (!program.Step()) break;
        startProgram_ = program.Int(0);
        PlaceProgram(startProgram_, 0, true);
        WalkFromSteps(StepsRunning(startProgram_));
        break;
    }
    }
    return Collect();
}

} // namespace

LineageGraph BuildLineageGraph(Database& db, const UseIndex& uses, const GraphRequest& request) {
    return GraphBuilder(db, uses, request).Build();
}

} // namespace xref
