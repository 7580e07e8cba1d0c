#include "question_support.h"

#include "dataset_access.h"
#include "dataset_names.h"

namespace xref {

std::vector<DatasetMatch> MatchDatasets(Database& db, const std::string& argument, bool generations,
                                        std::string& generation) {
    const FoldedName folded = FoldGeneration(argument);
    generation = generations ? std::string(folded.generation) : std::string();
    const DatasetPattern pattern(folded.base);
    std::vector<DatasetMatch> matches;
    if (!pattern.HasWildcards()) {
        Statement exact(db.Handle(), "SELECT id, name FROM dataset WHERE name = ?1");
        exact.Bind(1, folded.base);
        while (exact.Step())
            matches.push_back({exact.Int(0), exact.Text(1)});
        return matches;
    }
    // The names that start with the pattern's fixed text, from the index, then matched.
    const std::string& prefix = pattern.LiteralPrefix();
    const std::string upper = PrefixUpperBound(prefix);
    Statement range(db.Handle(), "SELECT id, name FROM dataset WHERE name >= ?1 AND "
                                 "(?2 IS NULL OR name < ?2) ORDER BY name");
    range.Bind(1, prefix);
    if (upper.empty())
        range.BindNull(2);
    else
        range.Bind(2, upper);
    while (range.Step()) {
        std::string name = range.Text(1);
        if (pattern.Matches(name)) matches.push_back({range.Int(0), std::move(name)});
    }
    return matches;
}

const std::string& NameById::operator()(int64_t id) {
    auto [found, added] = names_.try_emplace(id);
    if (added) {
        query_.Bind(1, id);
        if (query_.Step()) found->second = query_.Text(0);
        query_.Reset();
    }
    return found->second;
}

std::string StepDisplay(const std::string& name, const std::string& procStep) {
    return procStep.empty() ? name : name + "." + procStep;
}

std::string RunUnitText(const Statement& row, int first) {
    std::string text = row.Text(first);
    const char* labels[] = {" PLAN=", " PSB=", " IMSR=", " DSN="};
    for (int part = 0; part < 4; ++part)
        if (!row.IsNull(first + 1 + part)) text += labels[part] + row.Text(first + 1 + part);
    return text;
}

std::string DispText(const Statement& row, int status) {
    std::string text = row.Text(status);
    if (!row.IsNull(status + 1)) text += "," + row.Text(status + 1);
    return text;
}

std::string AccessWords(bool reads, bool writes, bool creates, bool deletes) {
    return AccessText(Access{reads, writes, creates, deletes});
}

std::string AccessWords(const Statement& row, int first) {
    return AccessWords(row.Int(first) != 0, row.Int(first + 1) != 0, row.Int(first + 2) != 0,
                       row.Int(first + 3) != 0);
}

} // namespace xref
