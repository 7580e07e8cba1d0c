// Arbitrary bytes as a file-list line: the tokenizer and the line parser must never read
// outside the line, and every token must be a piece of the line no longer than 255.
#include "driver/member_loop.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kvr::fuzz::Require;
    const std::string line(reinterpret_cast<const char*>(data), size);
    for (const std::string& token : kvr::TokenizeFileListLine(line))
        Require(!token.empty() && token.size() <= 255 && token[0] != ' ');
    kvr::MemberRequest request;
    if (kvr::ParseFileListLine(line, request, 0)) {
        Require(request.rmType.size() <= 4 && request.rmDDName.size() <= 8);
        Require(request.containerName.size() <= 230 && request.fileName.size() <= 254);
        kvr::NormalizeRequestNames(request, 0);
    }
    return 0;
}
