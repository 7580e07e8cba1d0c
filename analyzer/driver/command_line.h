// The command line of kvr4000: options, positional names and the RM=/RMDD= arguments are
// read into the run settings.
#ifndef KVR_DRIVER_COMMAND_LINE_H
#define KVR_DRIVER_COMMAND_LINE_H

#include "driver/run_settings.h"

namespace kvr {

// Reads argv[1..argc-1] into settings. Returns true when a help or version option was met:
// its output has been written, later arguments were not read and the program must end.
bool ParseCommandLine(int argc, char** argv, RunSettings& settings);

} // namespace kvr

#endif
