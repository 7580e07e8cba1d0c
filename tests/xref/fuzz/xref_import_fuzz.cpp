// Arbitrary bytes as an import file: the readers must hand over well-formed members or
// stop with an ImportError naming a line of the input, never crash or read outside it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "import_error.h"
#include "import_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    try {
        xref::ReadImportStream(file, "fuzz", [](xref::ImportMember&& member) {
            for (const xref::Job& job : member.jobs)
                for (const xref::Step& step : job.steps)
                    for (const xref::DdStatement& dd : step.dds)
                        if (dd.elements.empty()) std::abort(); // a DD always has a data set
        });
    } catch (const xref::ImportError&) {
    }
    std::fclose(file);
    return 0;
}
