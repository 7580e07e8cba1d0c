// lineage: a row for each step the walk crosses (lineage_walk.h), with the data set it came
// from and the one it reaches.
#include "lineage_walk.h"
#include "questions.h"

namespace xref {

ResultTable AskLineage(Database& db, const std::string& pattern, const LineageOptions& options) {
    ResultTable table(
        {"direction", "depth", "dataset", "job", "stepno", "step", "program", "next", "note"});
    std::string generation;
    const std::vector<DatasetMatch> starts =
        MatchDatasets(db, pattern, options.generations, generation);
    if (starts.empty()) return table;
    const UseIndex uses(db);
    LineageWalk walk(db, uses, options.generations, [&table](const LineageHop& hop) {
        const LineageStep& step = hop.step;
        table.AddRow({Cell::Text(hop.up ? "up" : "down"), Cell::Number(hop.depth),
                      Cell::Text(*hop.from), Cell::Text(step.jobName), Cell::Number(step.number),
                      Cell::Text(step.name),
                      step.program.empty() ? Cell::Null() : Cell::Text(step.program),
                      hop.nextName ? Cell::Text(*hop.nextName) : Cell::Null(),
                      hop.note[0] ? Cell::Text(hop.note) : Cell::Null()});
    });
    if (options.up) walk.FromDatasets(starts, generation, true, options.depth);
    if (options.down) walk.FromDatasets(starts, generation, false, options.depth);
    return table;
}

} // namespace xref
