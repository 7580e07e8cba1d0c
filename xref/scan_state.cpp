#include "scan_state.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "import_reader.h"
#include "loader.h"

namespace xref {

const char* const kSourceHashTable = R"sql(
CREATE TABLE IF NOT EXISTS source_hash (
    member_id INTEGER NOT NULL REFERENCES member(id),
    ordinal   INTEGER NOT NULL,
    hash      TEXT NOT NULL,
    PRIMARY KEY (member_id, ordinal)
) WITHOUT ROWID;
)sql";

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');)
        fields.push_back(field);
    return fields;
}

std::ifstream OpenList(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    return in;
}

std::string Key(const std::string& container, const std::string& member, int64_t ordinal) {
    return container + '\t' + member + '\t' + std::to_string(ordinal);
}

bool HasSourceHashTable(Database& db) {
    return db.QueryInt("SELECT count(*) FROM sqlite_schema WHERE name = 'source_hash'") > 0;
}

} // namespace

SourceHashes SourceHashes::Read(const std::string& path) {
    SourceHashes hashes;
    std::ifstream in = OpenList(path);
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() != 4) throw std::runtime_error(path + ": not a source hash: " + line);
        hashes.hashes_[Key(fields[0], fields[1], std::stoll(fields[2]))] = fields[3];
    }
    return hashes;
}

const std::string& SourceHashes::Find(const MemberName& member, int64_t ordinal) const {
    static const std::string none;
    const auto found = hashes_.find(Key(member.container, member.member, ordinal));
    return found == hashes_.end() ? none : found->second;
}

std::vector<MemberName> ReadMemberNames(const std::string& path) {
    std::vector<MemberName> names;
    std::ifstream in = OpenList(path);
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() != 2) throw std::runtime_error(path + ": not a member: " + line);
        names.push_back({fields[0], fields[1]});
    }
    return names;
}

void WriteScanState(Database& db, std::ostream& out) {
    const std::string hash = HasSourceHashTable(db) ? "coalesce(h.hash, '-')" : "'-'";
    const std::string join = HasSourceHashTable(db)
                                 ? "LEFT JOIN source_hash h ON h.member_id = m.id AND "
                                   "h.ordinal = u.ordinal "
                                 : "";
    Statement rows(db.Handle(), "SELECT c.name, m.name, u.ordinal, u.kind, sc.name, s.name, " +
                                    hash +
                                    " FROM member m JOIN container c ON c.id = m.container_id "
                                    "LEFT JOIN source_use u ON u.member_id = m.id "
                                    "LEFT JOIN member s ON s.id = u.source_id "
                                    "LEFT JOIN container sc ON sc.id = s.container_id " +
                                    join + "WHERE m.severity IS NOT NULL ORDER BY m.id, u.ordinal");
    while (rows.Step()) {
        const std::string member = rows.Text(0) + '\t' + rows.Text(1);
        if (rows.IsNull(2)) {
            out << member << "\t0\tnone\t\t\t-\n";
            continue;
        }
        out << member << '\t' << rows.Int(2) << '\t' << rows.Text(3) << '\t' << rows.Text(4) << '\t'
            << rows.Text(5) << '\t' << rows.Text(6) << '\n';
    }
    Statement missing(db.Handle(), "SELECT DISTINCT c.name, m.name, x.name FROM missing x "
                                   "JOIN member m ON m.id = x.member_id "
                                   "JOIN container c ON c.id = m.container_id");
    while (missing.Step())
        out << missing.Text(0) << '\t' << missing.Text(1) << "\t0\tmissing\t\t" << missing.Text(2)
            << "\t-\n";
}

void WriteImportSources(const std::vector<std::string>& importFiles, std::ostream& out) {
    for (const std::string& file : importFiles)
        ReadImportFile(file, [&](ImportMember&& member) {
            int ordinal = 0;
            for (const SourceRecord& source : member.sources)
                out << member.name.container << '\t' << member.name.member << '\t' << ++ordinal
                    << '\t' << SourceKindText(source.kind) << '\t' << source.name.container << '\t'
                    << source.name.member << '\n';
        });
}

} // namespace xref
