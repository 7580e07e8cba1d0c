#include "database.h"

namespace xref {

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw DbError(what + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory"));
}

// Every connection is used by one thread only, so SQLite's own locks around each call, and
// the memory statistics kept under a lock on each allocation, are pure cost.
void ConfigureSqliteOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}

} // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &statement_, nullptr) != SQLITE_OK)
        Fail(db, "cannot prepare '" + std::string(sql.substr(0, 60)) + "'");
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement& Statement::Bind(int index, int64_t value) {
    if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) Fail(db_, "bind");
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    if (sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_STATIC) != SQLITE_OK)
        Fail(db_, "bind");
    return *this;
}

Statement& Statement::BindNull(int index) {
    if (sqlite3_bind_null(statement_, index) != SQLITE_OK) Fail(db_, "bind");
    return *this;
}

Statement& Statement::BindOrNull(int index, std::string_view text) {
    return text.empty() ? BindNull(index) : Bind(index, text);
}

Statement& Statement::BindOrNull(int index, int64_t value) {
    return value == 0 ? BindNull(index) : Bind(index, value);
}

bool Statement::Step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    Fail(db_, "query failed");
}

void Statement::Run() {
    while (Step()) {
    }
    // Every use binds all the parameters again, so the bindings need no clearing.
    sqlite3_reset(statement_);
}

void Statement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string Statement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

bool Statement::IsInteger(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_INTEGER;
}

int Statement::Columns() const {
    return sqlite3_column_count(statement_);
}

Database::Database(const std::string& path, int flags) {
    ConfigureSqliteOnce();
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError("cannot open " + path + ": " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

void Database::Execute(std::string_view sql) {
    char* error = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw DbError(message);
    }
}

int64_t Database::QueryInt(std::string_view sql) {
    Statement statement(db_, sql);
    return statement.Step() ? statement.Int(0) : 0;
}

} // namespace xref
