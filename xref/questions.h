// The questions kvr-xref answers, each a function from the database and its arguments to a
// table. A name that is not in the database gives an empty table.
#pragma once

#include <string>

#include "database.h"
#include "result_table.h"

namespace xref {

// Every use of the data sets a name or pattern stands for: job, step, program, DD, access,
// and the member and line where the DD statement stands. Relative generations fold to
// their base unless `generations` keeps them apart.
ResultTable AskDataset(Database& db, const std::string& pattern, bool generations);
// The jobs that write, or read, the data sets.
ResultTable AskWriters(Database& db, const std::string& pattern, bool generations);
ResultTable AskReaders(Database& db, const std::string& pattern, bool generations);

// The steps that run a program, by EXEC or as the program a run unit starts.
ResultTable AskProgram(Database& db, const std::string& name);
ResultTable AskPlan(Database& db, const std::string& name);
ResultTable AskPsb(Database& db, const std::string& name);

// The calls of a procedure, the uses of an INCLUDE member, and those not found.
ResultTable AskProc(Database& db, const std::string& name);
ResultTable AskInclude(Database& db, const std::string& name);
ResultTable AskMissing(Database& db);

// A job step by step: program, run unit, the data sets it reads and writes.
ResultTable AskJob(Database& db, const std::string& name);

struct LineageOptions {
    bool up = true;
    bool down = true;
    int depth = 0; // 0: no limit
    bool generations = false;
};
// From a data set to the jobs that write it and what they read (up), or that read it and
// what they write (down), step by step.
ResultTable AskLineage(Database& db, const std::string& pattern, const LineageOptions& options);

// The analyzer's messages, those of at least `minimumSeverity` (0, 4, 8, 16).
ResultTable AskMessages(Database& db, int minimumSeverity);
ResultTable AskStats(Database& db);

} // namespace xref
