// SQL both steps of a comparison share, for the schema written {s} (main: the new database,
// old: the old one), so that the fingerprints of jobs and the facts compared agree.
#pragma once

namespace xref {

// The jobs of {s} with their keys: job_id, container, member, job and occurrence, the order
// of the job among the jobs of its name in its member.
inline constexpr const char* kJobKeysSql = R"sql(
SELECT j.id AS job_id, c.name AS container, m.name AS member, j.name AS job,
       row_number() OVER (PARTITION BY j.member_id, j.name ORDER BY j.ordinal) AS occurrence
FROM {s}.job j
JOIN {s}.member m ON m.id = j.member_id
JOIN {s}.container c ON c.id = m.container_id
)sql";

// The name of the data set `ds` as compared. The name the analyzer makes up for a temporary
// data set that a referback finds unnamed, &&JOB.STEP.hhmmss, carries the time of the scan:
// the time is left out, or two scans of the same job would never agree on it.
inline constexpr const char* kComparedDatasetName = R"sql(
CASE WHEN ds.name GLOB '&&*.*.[0-9][0-9][0-9][0-9][0-9][0-9]'
     THEN substr(ds.name, 1, length(ds.name) - 6) || 'hhmmss' ELSE ds.name END
)sql";

} // namespace xref
