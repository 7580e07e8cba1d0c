// One scan from start to end: the lists, the analyzer runs, the joined files.
#pragma once

#include "command_line.h"

#include <string>

namespace kvrscan {

// Runs the scan that REQUEST (checked) asks for with the analyzer at ANALYZER, and returns
// its exit code. Throws UsageError when an output cannot be written, ScanFailure when the
// scan fails, Interrupted on a stop signal; the import file and the log are then left as
// they were, and nothing of the scan is left running or lying about. With --db the finished
// import file is then loaded by the kvr-xref at XREF; LoadFailure, or Interrupted with
// while_loading, when that load fails or is stopped (the database is left as it was).
int run_scan(const ScanRequest& request, const std::string& analyzer, const std::string& xref);

// "the import file X and the log Y were left as they were", for the message of a scan that
// failed or was stopped.
std::string untouched_note(const ScanRequest& request);

// "the import file X and the log Y were written", for the message of a load that failed or
// was stopped after the scan.
std::string written_note(const ScanRequest& request);

} // namespace kvrscan
