// What changed between two inventories: the jobs added and removed, and in the jobs both
// hold, the steps, programs, run units and data set uses added and removed.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "database.h"

namespace xref {

// A job as both databases know it: its container, member and name. A member holding two
// jobs of one name tells them apart by their order (occurrence 1, 2, ...).
struct JobKey {
    std::string container, member, name;
    int64_t occurrence = 1;

    // NAME, or NAME#2 for the second job of that name in its member.
    std::string Display() const;
    auto operator<=>(const JobKey&) const = default;
};

// In the order differences are listed within a job.
enum class DiffKind { Job, Step, Program, RunUnit, DatasetUse };

// "job", "step", "program", "run unit", "data set use".
const char* KindName(DiffKind kind);

struct Difference {
    bool added = false; // else removed
    DiffKind kind = DiffKind::Job;
    JobKey job;
    // The step as JCL names it (EXTRACT.STEP1, S1#2 for the second S1 of the job); empty
    // for a job and for the data sets of the job as a whole (JOBLIB).
    std::string step;
    // program: the program; run unit: the RU record's text; data set use: the DD name.
    std::string value;
    // data set use only: the data set (with its relative generation) and the access.
    std::string dataset, access;
};

// The differences from the database attached as `old` to the main one, in a stable order:
// by job, then kind, step, DD and data set, a removal before an addition, then the value.
std::vector<Difference> CompareInventories(Database& db);

// Sorts as CompareInventories returns them.
void SortDifferences(std::vector<Difference>& differences);

} // namespace xref
