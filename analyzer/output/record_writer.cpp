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

} // namespace kvr
