// What a click on a node of the HTML graph shows, read from the database: for a data set
// the steps that write and read it (step, DD, DISP, access); for a job its steps, programs
// and run units; for a step its data sets; for a program the steps that run it.
#pragma once

#include <nlohmann/json.hpp>

#include "database.h"
#include "lineage_graph.h"
#include "result_table.h"

namespace xref {

// {node id: {"columns": [...], "rows": [[...], ...]}} for every node of the graph.
nlohmann::ordered_json NodeDetails(Database& db, const LineageGraph& graph);

// The uses of a data set (only of that generation, or in that job, when given): job, step,
// DD, DISP and access; the first `limit` of them (-1: all).
ResultTable DatasetUseTable(Database& db, int64_t dataset, const std::string& generation,
                            int64_t temporaryJob, int64_t limit);

// {"columns", "rows" (at most `maxRows`), "more": how many of `total` rows were left out}.
nlohmann::ordered_json TableJson(const ResultTable& table, size_t maxRows, size_t total);

} // namespace xref
