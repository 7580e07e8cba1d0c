// The loop over the members to analyze: one member named on the command line, or every
// member listed in the file list "DD:FILELIST".
#ifndef KVR_DRIVER_MEMBER_LOOP_H
#define KVR_DRIVER_MEMBER_LOOP_H

#include <string>
#include <string_view>
#include <vector>

#include "base/contexts.h"
#include "driver/run_settings.h"

namespace kvr {

// One member to analyze: names as typed and without their double quotes.
struct MemberRequest {
    std::string containerName;
    std::string containerNameNoQuotes;
    std::string fileName;
    std::string fileNameNoQuotes;
    std::string localFile;
    std::string rmType;
    std::string rmDDName;
};

// Analyzes one member: validation, opening records, analysis, closing records.
void ProcessSingleFile(RunContext& run, MemberRequest& request);
// Analyzes every member of the file list; the maximum severity afterwards is the highest
// of the members'.
void ProcessMultipleFiles(RunContext& run);

// The tokens of a file-list line: blank-separated, double quotes kept and protecting blanks.
std::vector<std::string> TokenizeFileListLine(std::string_view line);
// Fills a request from a file-list line (positional names, RM= and RMDD= keywords, options
// ignored). Returns false for a comment or empty line.
bool ParseFileListLine(std::string_view line, MemberRequest& request, int32_t debug);
// Fills the forms without quotes; false unless both names are non-empty.
bool NormalizeRequestNames(MemberRequest& request, int32_t debug);

} // namespace kvr

#endif
