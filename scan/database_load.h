// Loading what a scan wrote into a kvr-xref database (--db). kvr-scan runs the kvr-xref
// program, as it runs kvr4000, rather than linking its loader: kvr-scan needs no SQLite, the
// two programs change independently, and the load is exactly "kvr-xref load DB IMPORT...":
// one transaction, a member loaded again replaces its rows, and a load that fails or is
// stopped leaves the database as it was.
#pragma once

#include "work_folder.h"

#include <string>
#include <vector>

namespace kvrscan {

// What to load, and where.
struct DatabaseLoad {
    std::string xref;                 // the kvr-xref program, absolute
    std::string database;             // as given to --db
    std::vector<std::string> imports; // the finished import file, or the shards' files
    std::string what;                 // "the import file NAME", for messages
    std::string written_note;         // "the import file X and the log Y were written"
    std::vector<std::string> options; // kvr-xref load options (an incremental scan's)
};

// kvr-xref's arguments (argv[0] its path). A name starting with "-" gets "./" in front, so
// that kvr-xref cannot take it for an option (or "-" for standard input).
std::vector<std::string> load_arguments(const DatabaseLoad& load);

// Runs the load, as an analyzer run is run: in a process group of its own, stopped on a stop
// signal. What kvr-xref writes, on its standard output too, is passed on to standard error
// once it has ended (kvr-scan's standard output may be the import file). Throws LoadFailure
// when kvr-xref could not be started, was killed or exited with a code other than 0, and
// Interrupted (while_loading) on a stop signal.
void load_into_database(const DatabaseLoad& load, const WorkFolder& work);

} // namespace kvrscan
