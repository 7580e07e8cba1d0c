// Arbitrary bytes as a file-list line: the tokenizer and the line parser must never read
// outside the line, and every token must be a piece of the line no longer than 255.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/member_loop.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    for (const std::string& token : kvr::TokenizeFileListLine(line)) {
        if (token.empty() || token.size() > 255) std::abort();
        if (token[0] == ' ') std::abort();
    }
    kvr::MemberRequest request;
    if (kvr::ParseFileListLine(line, request, 0)) {
        if (request.rmType.size() > 4 || request.rmDDName.size() > 8) std::abort();
        if (request.containerName.size() > 230 || request.fileName.size() > 254) std::abort();
        kvr::NormalizeRequestNames(request, 0);
    }
    return 0;
}
