// The database kvr-xref keeps: its tables (described in the README), the version it is at,
// and the checks that a file handed to kvr-xref is such a database.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "database.h"

namespace xref {

constexpr int kSchemaVersion = 1;          // PRAGMA user_version
constexpr int kApplicationId = 0x4B565258; // PRAGMA application_id, "KVRX"

// The file is missing, not an SQLite database, not ours or of another schema version.
class SchemaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An existing database of the current version, for questions only.
std::unique_ptr<Database> OpenForQuestions(const std::string& path);

// The database at `newPath`, for questions only, with the one at `oldPath` attached as
// schema `old`; both are checked as OpenForQuestions checks one.
std::unique_ptr<Database> OpenForComparison(const std::string& oldPath, const std::string& newPath);

// A database to load into: created (with its tables) when the file is missing or empty.
std::unique_ptr<Database> OpenForLoad(const std::string& path);

// The indexes the questions use. A load into an empty database drops those that would be
// updated all over and builds them at the end, which is faster than row by row.
void DropIndexes(Database& db);
void CreateIndexes(Database& db);

} // namespace xref
