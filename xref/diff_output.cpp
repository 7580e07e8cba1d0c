#include "diff_output.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "output_format.h"

namespace xref {

namespace {

using Json = nlohmann::ordered_json;

std::string Detail(const Difference& d) {
    if (d.kind == DiffKind::DatasetUse) return d.value + " " + d.dataset + " " + d.access;
    return d.value;
}

Json JobJson(const JobKey& job) {
    return Json{{"container", job.container}, {"member", job.member}, {"job", job.Display()}};
}

Json AddedRemoved() {
    return Json{{"added", Json::array()}, {"removed", Json::array()}};
}

// What one difference inside a job says, as an element of its kind's list.
Json ChangeJson(const Difference& d) {
    switch (d.kind) {
    case DiffKind::Step:
        return d.step;
    case DiffKind::Program:
        return Json{{"step", d.step}, {"program", d.value}};
    case DiffKind::RunUnit:
        return Json{{"step", d.step}, {"runUnit", d.value}};
    default:
        return Json{
            {"step", d.step}, {"dd", d.value}, {"dataset", d.dataset}, {"access", d.access}};
    }
}

const char* ListName(DiffKind kind) {
    switch (kind) {
    case DiffKind::Step:
        return "steps";
    case DiffKind::Program:
        return "programs";
    case DiffKind::RunUnit:
        return "runUnits";
    default:
        return "datasets";
    }
}

Json ChangedJob(const JobKey& job) {
    Json json = JobJson(job);
    for (DiffKind kind :
         {DiffKind::Step, DiffKind::Program, DiffKind::RunUnit, DiffKind::DatasetUse})
        json[ListName(kind)] = AddedRemoved();
    return json;
}

bool SameJob(const JobKey& a, const JobKey& b) {
    return a.container == b.container && a.member == b.member && a.name == b.name &&
           a.occurrence == b.occurrence;
}

} // namespace

void WriteDifferencesTable(const std::vector<Difference>& differences, std::ostream& out) {
    ResultTable table({"change", "kind", "container", "member", "job", "step", "detail"});
    for (const Difference& d : differences)
        table.AddRow({Cell::Text(d.added ? "+" : "-"), Cell::Text(KindName(d.kind)),
                      Cell::Text(d.job.container), Cell::Text(d.job.member),
                      Cell::Text(d.job.Display()), Cell::Text(d.step), Cell::Text(Detail(d))});
    WriteTable(table, out);
}

void WriteDifferencesJson(const std::vector<Difference>& differences, std::ostream& out) {
    Json json{{"jobs", AddedRemoved()}, {"changed", Json::array()}};
    const JobKey* changing = nullptr; // the job of the last element of "changed"
    for (const Difference& d : differences) {
        const char* side = d.added ? "added" : "removed";
        if (d.kind == DiffKind::Job) {
            json["jobs"][side].push_back(JobJson(d.job));
            continue;
        }
        if (changing == nullptr || !SameJob(*changing, d.job)) {
            json["changed"].push_back(ChangedJob(d.job));
            changing = &d.job;
        }
        json["changed"].back()[ListName(d.kind)][side].push_back(ChangeJson(d));
    }
    // Names from mainframe exports may hold bytes that are not UTF-8; they are kept as
    // replacement characters rather than failing the comparison.
    out << json.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

} // namespace xref
