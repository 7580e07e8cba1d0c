// Writes the Velkor detail records of arbitrary DD parameter texts (records go to /dev/null).
// The text is handed over in a block of exactly its size, so any scan past its end is seen;
// every block taken for the split must be returned.
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "output/velkor_dd_details.h"

namespace {
constexpr int16_t kVelkorMode = 2;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvr::fuzz::QuietLog();
    setenv("DD:ATTRBOUT", "/dev/null", 1);
    KVR_OpenImportFile("w", kVelkorMode);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    const int32_t before = kvr::fuzz::Outstanding();
    kvr::PutVelkorDDParmDetails(text.get(), kVelkorMode, 0);
    kvr::fuzz::Require(kvr::fuzz::Outstanding() == before);
    ResetMaximumSeverity();
    return 0;
}
