// Runs one program of a benchmark as a child process and measures it.
#ifndef KVR_BENCH_CHILD_RUN_H
#define KVR_BENCH_CHILD_RUN_H

#include <filesystem>
#include <string>
#include <vector>

struct Run {
    double seconds = 0;
    double peakMB = 0;
    int exitCode = -1;
};

// Runs argv[0] (a path, else searched on PATH) in `folder` with the extra environment entries
// and none of this process' own DD: entries, its standard output to `output`; returns wall
// time, peak resident memory and exit code (128 + the signal when killed, -1 when it could
// not be run).
Run Execute(const std::vector<std::string>& argv, const std::filesystem::path& folder,
            const std::vector<std::string>& extraEnvironment, const char* output = "/dev/null");

#endif
