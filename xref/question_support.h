// Pieces several questions share: finding the data sets a name or pattern stands for, and
// how a step and an access are shown.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "database.h"

namespace xref {

struct DatasetMatch {
    int64_t id;
    std::string name;
};

// The data sets (base names) a name or pattern stands for, in name order. With
// `generations`, a generation in the argument (A.B(+1)) is returned in `generation` so only
// that one is asked for; otherwise it folds away.
std::vector<DatasetMatch> MatchDatasets(Database& db, const std::string& argument, bool generations,
                                        std::string& generation);

// The names of rows by id, each read once: a walk meets the same few names again and again.
class NameById {
  public:
    // `sql` selects the name of the row whose id is bound as ?1.
    NameById(Database& db, const char* sql) : query_(db.Handle(), sql) {}
    const std::string& operator()(int64_t id);

  private:
    Statement query_;
    std::unordered_map<int64_t, std::string> names_;
};

// EXTRACT, or EXTRACT.STEP1 for a step of a procedure called by EXTRACT (as JCL writes a
// reference to it).
std::string StepDisplay(const std::string& name, const std::string& procStep);

// The run unit as the RU record writes it: the program, then the plan, PSB, region and
// subsystem that are given, from the row's columns `first` to `first` + 4 in that order.
std::string RunUnitText(const Statement& row, int first);

// DISP as written: the status, then the normal disposition when given, from the row's
// columns `status` and `status` + 1.
std::string DispText(const Statement& row, int status);

std::string AccessWords(bool reads, bool writes, bool creates, bool deletes);
// The same from the row's reads, writes, creates and deletes columns, from `first` on.
std::string AccessWords(const Statement& row, int first);

} // namespace xref
