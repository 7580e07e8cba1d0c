// Stream helpers for the system's fixed files, which are named by the DD-name convention
// ("DD:NAME" is the path held by the variable of that name). Other analyzers that load
// kvrbase use these so that all their file access goes through the library.
#include <cstdio>

#include "kvrbase.h"
#include "platform/dd_names.h"

namespace {

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace

extern "C" {

KVR_API FILE* KVRIOAPI_DD_fopen(const char* ddName, const char* mode, int32_t debug) {
    if (ddName == nullptr || mode == nullptr) return nullptr;
    return kvr::platform::OpenDDFile(ddName, mode, debug);
}

KVR_API char* KVRIOAPI_DD_fgets(char* str, int32_t num, FILE* stream) {
    if (str == nullptr || stream == nullptr || num <= 0) return nullptr;
    return std::fgets(str, num, stream);
}

KVR_API void KVRIOAPI_DD_fclose(FILE* stream) {
    if (stream != nullptr) std::fclose(stream);
}

KVR_API void KVRIOAPI_DD_fprintf1(FILE* stream, const char* format, int32_t iInt) {
    if (stream == nullptr || format == nullptr) return;
    std::fprintf(stream, format, iInt);
}

KVR_API void KVRIOAPI_DD_fprintf2(FILE* stream, const char* format, const char* iChar) {
    if (stream == nullptr || format == nullptr) return;
    std::fprintf(stream, format, OrEmpty(iChar));
}

KVR_API void KVRIOAPI_DD_fprintf3(FILE* stream, const char* format, const char* iChar1,
                                  const char* iChar2) {
    if (stream == nullptr || format == nullptr) return;
    std::fprintf(stream, format, OrEmpty(iChar1), OrEmpty(iChar2));
}

KVR_API void KVRIOAPI_DD_fprintf4(FILE* stream, const char* format, const char* iChar1,
                                  const char* iChar2, const char* iChar3) {
    if (stream == nullptr || format == nullptr) return;
    std::fprintf(stream, format, OrEmpty(iChar1), OrEmpty(iChar2), OrEmpty(iChar3));
}

} // extern "C"
