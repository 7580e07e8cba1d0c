// kvr4000: the JCL analyzer's entry point. Memory that runs out outside the analysis of a
// member (which catches it itself) still ends the run cleanly.
#include <unistd.h>

#include <new>

#include "driver/entry.h"
#include "driver/out_of_memory.h"

int main(int argc, char** argv) {
    if (!kvr::PrepareForOutOfMemory()) {
        // Nothing is set up yet (no catalog, no log): a fixed text, written without memory.
        static const char kText[] = "kvr4000: not enough memory to start\n";
        (void)!write(STDERR_FILENO, kText, sizeof kText - 1);
        return 16;
    }
    try {
        return kvr::RunAnalyzer(argc, argv);
    } catch (const std::bad_alloc&) {
        kvr::EndRunOutOfMemory();
    }
}
