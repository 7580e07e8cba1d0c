// The lineage neighbourhood of a data set, a job or a program as a graph: data sets, jobs
// (or their steps), and the programs they run as nodes; reads, writes (create, update,
// delete apart) and runs as edges. The nodes are what the lineage walk reaches; the edges
// are every read, write and run among them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "database.h"
#include "lineage_walk.h"

namespace xref {

enum class NodeKind { Dataset, Job, Step, Program };
const char* NodeKindName(NodeKind kind);

struct GraphRequest {
    NodeKind start = NodeKind::Dataset; // Dataset, Job or Program
    std::string name;                   // a data set name may be a pattern
    int64_t datasetId = 0; // a data set by its row, not by a name that may look like a pattern
    bool up = true, down = true;
    int depth = 0;            // steps away; 0: no limit
    bool steps = false;       // steps as nodes, inside their job
    bool generations = false; // relative generations apart
    bool temporary = false;   // temporary data sets shown
    size_t maxNodes = 500;
};

struct GraphNode {
    std::string id;
    NodeKind kind = NodeKind::Dataset;
    std::string name;
    int level = 0;      // steps away from the start
    bool start = false; // what was asked for
    bool temporary = false;
    int64_t dbId = 0;              // the row in its table (dataset, job, step, program)
    std::string generation;        // a data set's generation, when they are kept apart
    int64_t temporaryJob = 0;      // a temporary data set's job
    std::string parent;            // a step's job node
    int number = 0;                // a step's number in its job
    std::string container, member; // a job's member
};

// kind: read (data set to job or step), create, update, delete (job or step to data set),
// runs (job or step to program).
struct GraphEdge {
    std::string source, target, kind;
};

struct LineageGraph {
    GraphRequest request;
    std::vector<GraphNode> nodes; // data sets, jobs, steps, programs; each by name
    std::vector<GraphEdge> edges; // by source, target, kind
    int cutDepth = -1;            // the depth kept when the cap cut the graph, else -1

    bool Cut() const { return cutDepth >= 0; }
    // "Lineage of data set X (up and down, depth 3)".
    std::string Title() const;
    // The sentence saying where and why the graph was cut; empty when it was not.
    std::string CutNote() const;
};

LineageGraph BuildLineageGraph(Database& db, const UseIndex& uses, const GraphRequest& request);

} // namespace xref
