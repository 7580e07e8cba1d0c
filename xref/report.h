// kvr-xref DB report DIR: a static site of the whole inventory. index.html has the counts,
// the members with the highest severities and the procedures and includes not found; lists
// lead to one page per job (its steps in order with the data sets each reads and writes,
// run units, messages), data set (writers, readers, its lineage graph), program, plan and
// PSB. Pages are plain HTML and CSS; only the graphs need scripts, which the report carries
// in assets/.
#pragma once

#include <string>

#include "database.h"

namespace xref {

struct ReportSummary {
    size_t pages = 0;
};

ReportSummary WriteReport(Database& db, const std::string& folder);

} // namespace xref
