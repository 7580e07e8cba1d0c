// Arbitrary data set patterns against arbitrary names: matching must end quickly and agree
// with the pattern's fixed prefix (every name it matches starts with that prefix).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dataset_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\n');
    if (split == std::string::npos) return 0;
    const xref::DatasetPattern pattern(input.substr(0, split));
    const std::string name = input.substr(split + 1);
    if (pattern.Matches(name) && name.rfind(pattern.LiteralPrefix(), 0) != 0) std::abort();
    const xref::FoldedName folded = xref::FoldGeneration(name);
    if (xref::WithGeneration(folded.base, folded.generation) != name) std::abort();
    return 0;
}
