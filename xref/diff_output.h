// The differences between two inventories as a table for a terminal, one line each, or as
// one JSON document for scripts.
#pragma once

#include <iosfwd>
#include <vector>

#include "inventory_diff.h"

namespace xref {

// Columns change (+ added, - removed), kind, container, member, job, step and detail: the
// program, the run unit, or the DD, data set and access of a use.
void WriteDifferencesTable(const std::vector<Difference>& differences, std::ostream& out);

// {"jobs":{"added":[...],"removed":[...]},"changed":[{job, "steps", "programs", "runUnits",
// "datasets"}]}, each of those four {"added":[...],"removed":[...]}, keys always in that
// order, jobs in the order of the table.
void WriteDifferencesJson(const std::vector<Difference>& differences, std::ostream& out);

} // namespace xref
