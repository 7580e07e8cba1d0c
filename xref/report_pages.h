// The pages of the report, each returned as its HTML text; report.cpp decides where they go.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database.h"
#include "lineage_walk.h"
#include "page_names.h"
#include "result_table.h"

namespace xref {

// Tables on a page stop here; the rest is counted (kvr-xref answers them all).
constexpr size_t kRowsPerTable = 1000;

std::string IndexPage(Database& db);
// The alphabetical list of the names of a kind, each linked to its page.
std::string NameListPage(const std::string& title, PageKind kind,
                         const std::vector<std::string>& names);

// Pages of one name each. Their statements are prepared once and used for every page.
class EntityPages {
  public:
    explicit EntityPages(Database& db);
    ~EntityPages();
    std::string JobPage(const std::string& name);
    std::string DatasetPage(int64_t id, const std::string& name);
    std::string ProgramPage(const std::string& name);
    std::string PlanPage(const std::string& name);
    std::string PsbPage(const std::string& name);

  private:
    struct Statements;
    std::string JobSection(int64_t job, const std::string& container, const std::string& member,
                           const Cell& severity);
    std::string StepsTable(int64_t job);
    Database& db_;
    UseIndex uses_;
    std::unique_ptr<Statements> statements_;
};

} // namespace xref
