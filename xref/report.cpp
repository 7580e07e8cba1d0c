#include "report.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unordered_map>

#include "dataset_names.h"
#include "embedded_assets.h"
#include "report_pages.h"

namespace xref {

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> Names(Database& db, const char* sql) {
    std::vector<std::string> names;
    Statement query(db.Handle(), sql);
    while (query.Step())
        names.push_back(query.Text(0));
    return names;
}

class ReportWriter {
  public:
    ReportWriter(Database& db, const fs::path& folder) : db_(db), folder_(folder), pages_(db) {}

    ReportSummary Write();

  private:
    void Page(const fs::path& path, const std::string& html) {
        WriteFile(folder_ / path, html);
        ++summary_.pages;
    }
    template <typename MakePage>
    void PagesOfKind(const char* title, PageKind kind, const std::vector<std::string>& names,
                     MakePage makePage) {
        fs::create_directories(folder_ / PageFolder(kind));
        Page(std::string(PageFolder(kind)) + ".html", NameListPage(title, kind, names));
        for (const std::string& name : names)
            Page(fs::path(PageFolder(kind)) / PageFileName(name), makePage(name));
    }

    Database& db_;
    fs::path folder_;
    EntityPages pages_;
    ReportSummary summary_;
};

ReportSummary ReportWriter::Write() {
    fs::create_directories(folder_ / "assets");
    WriteFile(folder_ / "assets" / "cytoscape.min.js", kCytoscapeJs);
    WriteFile(folder_ / "assets" / "cytoscape-dagre.min.js", kCytoscapeDagreJs);
    WriteFile(folder_ / "assets" / "graph_view.js", kGraphViewJs);
    WriteFile(folder_ / "assets" / "report.css",
              std::string(kReportCss) + std::string(kGraphViewCss));
    Page("index.html", IndexPage(db_));
    PagesOfKind("Jobs", PageKind::Job, Names(db_, "SELECT DISTINCT name FROM job ORDER BY name"),
                [this](const std::string& name) { return pages_.JobPage(name); });
    // Temporary data sets live only inside their jobs and are shown on the job pages.
    std::vector<std::string> datasetNames;
    std::unordered_map<std::string, int64_t> datasetIds;
    Statement datasets(db_.Handle(), "SELECT id, name FROM dataset ORDER BY name");
    while (datasets.Step()) {
        std::string name = datasets.Text(1);
        if (IsTemporary(name)) continue;
        datasetIds[name] = datasets.Int(0);
        datasetNames.push_back(std::move(name));
    }
    PagesOfKind("Data sets", PageKind::Dataset, datasetNames, [&](const std::string& name) {
        return pages_.DatasetPage(datasetIds.at(name), name);
    });
    PagesOfKind("Programs", PageKind::Program, Names(db_, "SELECT name FROM program ORDER BY name"),
                [this](const std::string& name) { return pages_.ProgramPage(name); });
    PagesOfKind("DB2 plans", PageKind::Plan,
                Names(db_, "SELECT DISTINCT plan FROM step WHERE plan IS NOT NULL ORDER BY 1"),
                [this](const std::string& name) { return pages_.PlanPage(name); });
    PagesOfKind("IMS PSBs", PageKind::Psb,
                Names(db_, "SELECT DISTINCT psb FROM step WHERE psb IS NOT NULL ORDER BY 1"),
                [this](const std::string& name) { return pages_.PsbPage(name); });
    return summary_;
}

} // namespace

ReportSummary WriteReport(Database& db, const std::string& folder) {
    return ReportWriter(db, folder).Write();
}

} // namespace xref
