// A fingerprint of each job of one side of a comparison, so that only the jobs whose
// fingerprints differ are compared fact by fact: in a new scan of large libraries most jobs
// are as they were.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "database.h"
#include "inventory_diff.h"

namespace xref {

struct JobFingerprint {
    int64_t id = 0;     // the job's id in its own database
    uint64_t print = 0; // equal for two jobs with the same steps, programs, run units and uses
};

// The jobs of the schema `schema` (main or old) by key. The fingerprint covers everything
// the comparison looks at, and the step numbers besides: a job whose steps were only
// renumbered is compared fact by fact, and shows no difference there.
std::map<JobKey, JobFingerprint> FingerprintJobs(Database& db, const std::string& schema);

} // namespace xref
