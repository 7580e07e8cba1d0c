// The record writer's one work buffer: records are formatted into it and written with a
// newline by the import file of kvrbase, which also cleans control characters.
#include "output/record_writer.h"

#include <cstdarg>
#include <cstdio>

#include "kvrbase.h"

namespace kvr {
namespace {
char Work[2048];
}

void PutRecord(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(Work, sizeof Work, format, arguments);
    va_end(arguments);
    KVR_PutImportRecord(Work);
}

int32_t ForEachParameter(const char* iParms, int16_t iProcessingMode, int32_t debug,
                         const std::function<void(const char*)>& visit) {
    if (iParms == nullptr || iParms[0] == '\0') return 0;
    void* parms = nullptr;
    CreateParmStructure(&parms, iParms, FALSE, iProcessingMode, debug);
    if (parms == nullptr) return 0;
    const int32_t count = QueryParmCount(parms);
    char* parm = nullptr;
    for (int32_t i = 1; i <= count; ++i)
        if (QueryPositionalParm(i, parms, &parm) && parm != nullptr) visit(parm);
    DeleteParmStructure(parms, debug != 0);
    return count;
}

} // namespace kvr
