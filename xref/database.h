// A thin RAII layer over SQLite: a connection and prepared statements whose values are
// always bound as parameters, never pasted into SQL text.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace xref {

class DbError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value);
    // The text is not copied: it must stay as it is until the statement is run or reset
    // (binding and running in one expression, as the loader does, keeps that).
    Statement& Bind(int index, std::string_view text);
    Statement& BindNull(int index);
    // NULL for an empty text or a zero number: the import file's "not given".
    Statement& BindOrNull(int index, std::string_view text);
    Statement& BindOrNull(int index, int64_t value);

    bool Step(); // true while there is a row
    void Run();  // steps to the end and resets for the next use, which binds every parameter
    void Reset();

    int64_t Int(int column) const;
    std::string Text(int column) const;
    bool IsNull(int column) const;
    bool IsInteger(int column) const;
    int Columns() const;

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

class Database {
  public:
    // SQLITE_OPEN_* flags; throws DbError when SQLite cannot open the file.
    Database(const std::string& path, int flags);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void Execute(std::string_view sql);
    int64_t QueryInt(std::string_view sql); // the first column of the first row
    int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_); }
    sqlite3* Handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

} // namespace xref
