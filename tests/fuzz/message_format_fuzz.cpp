// Fuzzes the message formatter with arbitrary templates and inserts into small and large
// buffers: it must never write past the buffer and must always leave a terminated text
// of the length it reports.
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "services/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kvr::fuzz::Require;
    if (size < 2) return 0;
    // Byte 0: buffer size; byte 1: which inserts are present. The rest, split at NULs, is
    // the template and then the inserts.
    static constexpr size_t kSizes[] = {0, 1, 2, 3, 8, 16, 64, 511, 512, 4096};
    const size_t outSize = data[0] < 200 ? data[0] % 33 : kSizes[data[0] % std::size(kSizes)];
    const uint8_t present = data[1];
    const auto views = kvr::fuzz::SplitInput(data + 2, size - 2, std::string_view("\0", 1), 5);
    const std::string pieces[5] = {std::string(views[0]), std::string(views[1]),
                                   std::string(views[2]), std::string(views[3]),
                                   std::string(views[4])};
    const char* inserts[4];
    for (size_t i = 0; i < 4; ++i)
        inserts[i] = (present >> i) & 1 ? pieces[i + 1].c_str() : nullptr;

    // An exact-size heap buffer, so any write past it is caught by the sanitizer.
    std::unique_ptr<char[]> out(outSize ? new char[outSize] : nullptr);
    if (outSize) std::memset(out.get(), 'Q', outSize);
    const size_t count = kvr::InsertCount(inserts, 4);
    Require(count <= 4);
    const size_t length =
        kvr::FormatMessageInserts(pieces[0].c_str(), inserts, count, out.get(), outSize);
    if (outSize == 0) {
        Require(length == 0);
        return 0;
    }
    Require(length < outSize && out[length] == '\0' && std::strlen(out.get()) == length);
    return 0;
}
