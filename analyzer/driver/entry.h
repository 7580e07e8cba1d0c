// The start-up and tear-down order of one kvr4000 run.
#ifndef KVR_DRIVER_ENTRY_H
#define KVR_DRIVER_ENTRY_H

namespace kvr {

// Runs the analyzer with the process's arguments; returns the exit code, which is the
// maximum severity of the messages written during the run.
int RunAnalyzer(int argc, char** argv);

} // namespace kvr

#endif
