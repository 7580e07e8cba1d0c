// kvr4000: the JCL analyzer's entry point.
#include "driver/entry.h"

int main(int argc, char** argv) { return kvr::RunAnalyzer(argc, argv); }
