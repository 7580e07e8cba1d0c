// Writes the Velkor detail records of arbitrary DD parameter texts (records go to /dev/null).
// The text is handed over in a block of exactly its size, so any scan past its end is seen;
// every block taken for the split must be returned.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "kvrbase.h"
#include "output/velkor_dd_details.h"

namespace {

constexpr int16_t kVelkorMode = 2;

void Require(bool condition) {
    if (!condition) std::abort();
}

int32_t Outstanding() {
    int32_t created = 0;
    int32_t freed = 0;
    QueryBlockStatistics(&created, &freed);
    return created - freed;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Split failures are reported to a log nobody reads; records go nowhere.
    setenv("DD:RDPRINT", "/dev/null", 1);
    setenv("DD:ATTRBOUT", "/dev/null", 1);
    KVROpenLogFile(FALSE, 0);
    KVR_OpenImportFile("w", kVelkorMode);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    const int32_t before = Outstanding();
    kvr::PutVelkorDDParmDetails(text.get(), kVelkorMode, 0);
    Require(Outstanding() == before);
    ResetMaximumSeverity();
    return 0;
}
