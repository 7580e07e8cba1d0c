// Loads import files into the database in one transaction. A member loaded again (same
// container and member) replaces its rows; any failure leaves the database as it was.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "import_model.h"

namespace xref {

class SourceHashes;

// What an incremental scan adds to a load: the members it drops (gone from their folders)
// and the hashes of the sources of the members it loads.
struct IncrementalLoad {
    std::vector<MemberName> forget;
    const SourceHashes* hashes = nullptr;
};

struct LoadSummary {
    size_t files = 0;
    size_t members = 0;
    size_t replaced = 0;  // members that were in the database and were loaded again
    size_t unnamed = 0;   // members the import file gives no name (not opened): left out
    size_t forgotten = 0; // analysed members dropped (IncrementalLoad::forget)
};

// "job", "include", "procedure": the kind of a closing INCL record, as source_use keeps it.
const char* SourceKindText(SourceKind kind);

// Memory for SQLite's page cache during a load. The default holds the whole database of a
// large inventory, so its pages are written once, at the commit; less makes SQLite write
// pages out (under the protection of its journal) while it loads.
constexpr int kDefaultCacheMegabytes = 1024;

// Throws ImportError for a record that cannot be read, DbError or SchemaError otherwise;
// nothing is written then. The members in `incremental.forget` are dropped first. Notes about
// members left out go to `notes`.
LoadSummary LoadImportFiles(const std::string& databasePath,
                            const std::vector<std::string>& importFiles, std::ostream& notes,
                            int cacheMegabytes = kDefaultCacheMegabytes,
                            const IncrementalLoad& incremental = {});

} // namespace xref
