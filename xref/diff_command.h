// kvr-xref diff OLD NEW: what changed from one inventory to the other.
#pragma once

#include "arguments.h"

namespace xref {

// Exit codes of diff, as diff(1) has them: 0 no differences, 1 differences, 2 a failure.
constexpr int kNoDifferences = 0;
constexpr int kDifferences = 1;
constexpr int kDiffFailed = 2;

// Writes the differences between command.oldDatabase and command.database where
// command.outputPath says (standard output when empty) and returns kNoDifferences or
// kDifferences; throws when a database cannot be read or the output cannot be written.
int RunDiff(const Command& command);

} // namespace xref
