// One scan from start to end: the lists, the analyzer runs, the joined files.
#pragma once

#include "command_line.h"

#include <string>

namespace kvrscan {

// Runs the scan that REQUEST (checked) asks for with the analyzer at ANALYZER, and returns
// its exit code. Throws UsageError when an output cannot be written, ScanFailure when the
// scan fails, Interrupted on a stop signal; the import file and the log are then left as
// they were, and nothing of the scan is left running or lying about.
int run_scan(const ScanRequest& request, const std::string& analyzer);

// "the import file X and the log Y were left as they were", for the message of a scan that
// failed or was stopped.
std::string untouched_note(const ScanRequest& request);

} // namespace kvrscan
