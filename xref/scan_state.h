// What kvr-scan --incremental keeps in the database besides the analyses: for each analysed
// member, the content hash of every source its analysis read (the closing INCL records, in
// source_use order). kvr-scan computes the hashes; kvr-xref only stores them and hands them
// back, as tab-separated lines, so that kvr-scan needs no SQLite of its own.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

#include "database.h"
#include "import_model.h"

namespace xref {

// The source_hash table; created in every database opened for a load, so that a database
// made before it existed gains it (empty: its members are analysed again by the next
// incremental scan).
extern const char* const kSourceHashTable;

// Hashes to store with the members of a load, by member and source ordinal.
class SourceHashes {
  public:
    // Reads "CONTAINER\tMEMBER\tORDINAL\tHASH" lines; throws std::runtime_error on a line
    // that is not one.
    static SourceHashes Read(const std::string& path);
    // The hash of a member's source, empty when none was given.
    const std::string& Find(const MemberName& member, int64_t ordinal) const;

  private:
    std::unordered_map<std::string, std::string> hashes_;
};

// Reads "CONTAINER\tMEMBER" lines: the members a load drops.
std::vector<MemberName> ReadMemberNames(const std::string& path);

// Writes, for every analysed member of DB, one line per source:
// "CONTAINER\tMEMBER\tORDINAL\tKIND\tSOURCE_CONTAINER\tSOURCE_MEMBER\tHASH" (HASH "-" when
// none is stored). Each member not found (1309) adds a line of kind "missing" with its name
// as SOURCE_MEMBER, a member without any source a line of kind "none", both with ordinal 0.
void WriteScanState(Database& db, std::ostream& out);

// Writes the sources of every member of the import files, as WriteScanState does but
// without the hash: "CONTAINER\tMEMBER\tORDINAL\tKIND\tSOURCE_CONTAINER\tSOURCE_MEMBER".
void WriteImportSources(const std::vector<std::string>& importFiles, std::ostream& out);

} // namespace xref
