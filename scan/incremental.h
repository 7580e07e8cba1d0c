// An incremental scan (--incremental): the database keeps, for each member it holds, the
// content hash of the member and of every procedure and INCLUDE member its analysis read
// (kvr-xref's source_hash table, beside source_use). The next scan analyses again only the
// members that are new, whose own text or any used source changed or can no longer be found,
// or that missed a procedure or INCLUDE member (1309, the database's missing table) that can
// now be found in a folder of the search list or of the translation table. Members gone from
// the job folders are dropped.
// kvr-xref reads and writes the database; kvr-scan hashes the files.
#pragma once

#include "command_line.h"
#include "content_hash.h"
#include "database_load.h"
#include "member_listing.h"
#include "source_files.h"
#include "work_folder.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvrscan {

// One source of an analysed member, as the database holds it.
struct ScannedSource {
    std::string kind; // job, include, procedure; missing or none (ordinal 0) for the flags
    std::string container;
    std::string member;
    std::string hash; // "-" when none is stored
};

// The sources by member, keyed "CONTAINER\tMEMBER".
using ScanState = std::map<std::string, std::vector<ScannedSource>>;

// Reads the lines of kvr-xref scan-state. Throws ScanFailure on a line that is not one.
ScanState parse_scan_state(const std::string& text);

// The settings that change what an analysis gives: -x, the search list, the translation
// table and system symbols (their content), the options for kvr4000. Salted into every hash.
std::string settings_salt(const ScanRequest& request);

class IncrementalScan {
  public:
    IncrementalScan(const ScanRequest& request, const std::string& xref, const WorkFolder& work);

    // Reads the database's state and returns the file-list lines of the members to analyse;
    // notes the members gone. Says how many, and with -v which and why.
    std::vector<std::string> choose(const MemberList& listed);

    // After the analysis: the hashes of what the import files' members read and the members
    // to drop, as options of LOAD. False when there is nothing to load or drop.
    bool prepare_load(DatabaseLoad& load);

  private:
    // The database's state, and the hashes of all listed members meanwhile.
    void read_state_and_hash(const MemberList& listed);
    std::optional<std::string> hash_of(const std::string& container, const std::string& member,
                                       const std::string& kind);
    // Why the member is analysed again, empty when it need not be.
    std::string reason_to_analyse(const ListedMember& member);
    bool in_job_folders(const std::string& container) const;
    // kvr-xref's standard output. Throws ScanFailure when it fails before the analysis,
    // LoadFailure (naming AFTER_SCAN, the files written) after it.
    std::string run_xref(const std::vector<std::string>& arguments, const std::string& name,
                         const std::string& after_scan = "");
    void tell(const std::string& message) const;

    const ScanRequest& request_;
    std::string xref_;
    const WorkFolder& work_;
    std::string salt_;
    SourceLocator locator_;
    ScanState state_;
    std::map<std::string, std::optional<std::string>> hashes_; // by path
    std::vector<ListedMember> gone_;
    std::size_t analysed_ = 0;
};

} // namespace kvrscan
