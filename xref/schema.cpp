#include "schema.h"

#include <filesystem>

#include "scan_state.h"

namespace xref {

namespace {

constexpr const char* kTables = R"sql(
CREATE TABLE container (
    id   INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE
);
CREATE TABLE member (
    id           INTEGER PRIMARY KEY,
    container_id INTEGER NOT NULL REFERENCES container(id),
    name         TEXT NOT NULL,
    severity     INTEGER,
    completion   TEXT,
    UNIQUE (container_id, name)
);
CREATE TABLE source_use (
    member_id INTEGER NOT NULL REFERENCES member(id),
    ordinal   INTEGER NOT NULL,
    kind      TEXT NOT NULL,
    source_id INTEGER NOT NULL REFERENCES member(id),
    PRIMARY KEY (member_id, ordinal)
) WITHOUT ROWID;
CREATE TABLE program (
    id   INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE
);
CREATE TABLE dataset (
    id   INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE
);
CREATE TABLE job (
    id         INTEGER PRIMARY KEY,
    member_id  INTEGER NOT NULL REFERENCES member(id),
    ordinal    INTEGER NOT NULL,
    name       TEXT NOT NULL,
    first_line INTEGER,
    last_line  INTEGER
);
CREATE TABLE proc_call (
    id           INTEGER PRIMARY KEY,
    job_id       INTEGER NOT NULL REFERENCES job(id),
    ordinal      INTEGER NOT NULL,
    name         TEXT NOT NULL,
    parms        TEXT,
    kind         TEXT NOT NULL,
    procedure_id INTEGER REFERENCES member(id)
);
CREATE TABLE step (
    id                   INTEGER PRIMARY KEY,
    job_id               INTEGER NOT NULL REFERENCES job(id),
    number               INTEGER NOT NULL,
    name                 TEXT NOT NULL,
    program_id           INTEGER REFERENCES program(id),
    parm                 TEXT,
    proc_step            TEXT,
    source_kind          TEXT NOT NULL,
    source_id            INTEGER REFERENCES member(id),
    first_line           INTEGER,
    last_line            INTEGER,
    proc_call_id         INTEGER REFERENCES proc_call(id),
    run_unit_program_id  INTEGER REFERENCES program(id),
    plan                 TEXT,
    psb                  TEXT,
    ims_region           TEXT,
    db2_subsystem        TEXT
);
CREATE TABLE dd (
    job_id      INTEGER NOT NULL REFERENCES job(id),
    step_id     INTEGER REFERENCES step(id),
    ordinal     INTEGER NOT NULL,
    name        TEXT NOT NULL,
    seq         INTEGER NOT NULL,
    dataset_id  INTEGER REFERENCES dataset(id),
    generation  TEXT,
    status      TEXT,
    disposition TEXT,
    temporary   INTEGER NOT NULL,
    sysout      INTEGER NOT NULL,
    dummy       INTEGER NOT NULL,
    instream    INTEGER NOT NULL,
    server      TEXT,
    source_id   INTEGER REFERENCES member(id),
    first_line  INTEGER,
    last_line   INTEGER,
    reads       INTEGER NOT NULL,
    writes      INTEGER NOT NULL,
    creates     INTEGER NOT NULL,
    deletes     INTEGER NOT NULL,
    PRIMARY KEY (job_id, ordinal, seq)
) WITHOUT ROWID;
CREATE TABLE message (
    id        INTEGER PRIMARY KEY,
    member_id INTEGER NOT NULL REFERENCES member(id),
    program   TEXT,
    severity  INTEGER NOT NULL,
    number    INTEGER NOT NULL,
    text      TEXT NOT NULL,
    at_member TEXT,
    at_line   INTEGER
);
CREATE TABLE missing (
    member_id INTEGER NOT NULL REFERENCES member(id),
    name      TEXT NOT NULL,
    kind      TEXT NOT NULL,
    at_member TEXT,
    at_line   INTEGER
);
)sql";

struct IndexDefinition {
    const char* name;
    const char* definition;
    bool growsInOrder; // keyed by ids a load hands out in increasing order
};

// Indexes on the ids of the rows a load inserts grow at their end and cost little to keep
// up; the others are built after a load into an empty database.
constexpr IndexDefinition kIndexes[] = {
    {"job_member", "job(member_id)", true},
    {"step_job", "step(job_id)", true},
    {"proc_call_job", "proc_call(job_id)", true},
    {"message_member", "message(member_id)", true},
    {"missing_member", "missing(member_id)", true},
    {"job_name", "job(name)", false},
    {"step_program", "step(program_id)", false},
    {"step_run_unit_program",
     "step(run_unit_program_id) WHERE run_unit_program_id IS NOT program_id", false},
    {"step_plan", "step(plan) WHERE plan IS NOT NULL", false},
    {"step_psb", "step(psb) WHERE psb IS NOT NULL", false},
    {"dd_dataset", "dd(dataset_id) WHERE dataset_id IS NOT NULL", false},
    {"proc_call_name", "proc_call(name)", false},
    {"source_use_source", "source_use(source_id)", false},
    {"missing_name", "missing(name)", false},
};

int64_t Pragma(Database& db, const std::string& path, const char* name) {
    try {
        return db.QueryInt(std::string("PRAGMA ") + name);
    } catch (const DbError& error) {
        throw SchemaError(path + " is not a kvr-xref database (" + std::string(error.what()) + ")");
    }
}

// Checks the application id and version; true when the file is an empty database.
bool CheckOurs(Database& db, const std::string& path) {
    const int64_t application = Pragma(db, path, "application_id");
    const int64_t version = Pragma(db, path, "user_version");
    if (application == 0 && version == 0 && db.QueryInt("SELECT count(*) FROM sqlite_schema") == 0)
        return true;
    if (application != kApplicationId) throw SchemaError(path + " is not a kvr-xref database");
    if (version != kSchemaVersion)
        throw SchemaError(path + " has schema version " + std::to_string(version) +
                          "; this kvr-xref reads version " + std::to_string(kSchemaVersion));
    return false;
}

// An existing database of the current version, checked and with no transaction open.
std::unique_ptr<Database> OpenChecked(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw SchemaError("no database at " + path + " (create it with kvr-xref load)");
    // Read-write, so that a load that was killed is rolled back by this first reader; a
    // file the user may only read is opened read-only.
    std::unique_ptr<Database> db;
    try {
        db = std::make_unique<Database>(path, SQLITE_OPEN_READWRITE);
    } catch (const DbError&) {
        db = std::make_unique<Database>(path, SQLITE_OPEN_READONLY);
    }
    if (CheckOurs(*db, path)) throw SchemaError(path + " is not a kvr-xref database");
    return db;
}

// Read-only from here on, in one read transaction for the whole question: SQLite then
// takes its lock once, not for each of the many small queries some questions make, and
// maps the file instead of reading it page by page.
void BeginQuestions(Database& db) {
    db.Execute("PRAGMA query_only = 1");
    db.Execute("PRAGMA mmap_size = 1073741824");
    db.Execute("BEGIN");
}

} // namespace

std::unique_ptr<Database> OpenForQuestions(const std::string& path) {
    std::unique_ptr<Database> db = OpenChecked(path);
    BeginQuestions(*db);
    return db;
}

std::unique_ptr<Database> OpenForComparison(const std::string& oldPath,
                                            const std::string& newPath) {
    // The old one is opened on its own first: checked, and rolled back if a load was killed.
    OpenChecked(oldPath);
    std::unique_ptr<Database> db = OpenChecked(newPath);
    // SQLite attaches only outside a transaction, so before BeginQuestions.
    Statement(db->Handle(), "ATTACH DATABASE ?1 AS old").Bind(1, oldPath).Run();
    db->Execute("PRAGMA old.mmap_size = 1073741824");
    BeginQuestions(*db);
    return db;
}

std::unique_ptr<Database> OpenForLoad(const std::string& path) {
    auto db = std::make_unique<Database>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (CheckOurs(*db, path)) {
        db->Execute("BEGIN");
        db->Execute(kTables);
        CreateIndexes(*db);
        db->Execute("PRAGMA application_id = " + std::to_string(kApplicationId));
        db->Execute("PRAGMA user_version = " + std::to_string(kSchemaVersion));
        db->Execute("COMMIT");
    }
    db->Execute(kSourceHashTable);
    return db;
}

void DropIndexes(Database& db) {
    for (const IndexDefinition& index : kIndexes)
        if (!index.growsInOrder) db.Execute(std::string("DROP INDEX IF EXISTS ") + index.name);
}

void CreateIndexes(Database& db) {
    for (const IndexDefinition& index : kIndexes)
        db.Execute(std::string("CREATE INDEX IF NOT EXISTS ") + index.name + " ON " +
                   index.definition);
}

} // namespace xref
