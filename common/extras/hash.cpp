// String hashes over one fixed table of pseudo-random words, and a random-integer helper.
// The table is read at byte offsets (not word indexes) driven by the running byte sum, so
// both the bytes and their order shape the result.
#include "extras/hash.h"

#include "kvrbase.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace kvr {
namespace {

constexpr std::array<uint32_t, 80> kRandomBitWords = {
    0xFD7D6815, 0x66540802, 0x5B3BD773, 0x985E1421, 0x0B3242F0, 0x3CB37B2D, 0xCD4FE03E, 0x5D98E6FF,
    0xBD0665BE, 0x35204D58, 0x988F9B40, 0x531F5C74, 0xD40E182F, 0x27848CF7, 0x3C63D31C, 0x42C8A085,
    0xAE59043D, 0x506A0354, 0x00206822, 0xAB25451E, 0x2BDBD75E, 0x162D6867, 0x2AE63F1A, 0x28DEC9B3,
    0x61916090, 0xE96F7B9A, 0x6EDF73A5, 0x7163F805, 0xFA231C76, 0xE4BBE7BB, 0x03418A62, 0x5B47E759,
    0x6CB72EC9, 0x0B910447, 0x9DA343D2, 0xCF04DDD9, 0xAE1DC7AC, 0xA9CE9F17, 0xE6C2087E, 0x141D3C8C,
    0x54E86DA8, 0x122A8855, 0x42404A7C, 0x8ABEA789, 0x246E442E, 0x0F7265BB, 0x66ED5785, 0xEFC996E2,
    0x7279AD4F, 0x0D50A215, 0x40AEA13E, 0x5DF02100, 0x07BFF400, 0xA05BE235, 0xBEE4DC70, 0xDEE9C582,
    0xFC170360, 0xED9F35BE, 0xC965F939, 0xCA61115B, 0x829623E1, 0x590FFB65, 0x2533BC10, 0xD3FCA9D1,
    0x1D61BC7B, 0xA7712589, 0x0CE6D155, 0x1FAA1BE6, 0x8CAA48A2, 0x22ECCDCF, 0xBBA60F4B, 0xC12847EC,
    0x36999C63, 0xBE672ED7, 0x78B9E5BB, 0x1E996B2F, 0xD1B3BC8A, 0x65885884, 0xBEDD27F6, 0x9833EEFE};

// The same words as the 320 little-endian bytes the hash reads from.
constexpr std::array<unsigned char, 320> MakeTableBytes() {
    std::array<unsigned char, 320> bytes{};
    for (std::size_t i = 0; i < kRandomBitWords.size(); ++i) {
        for (std::size_t b = 0; b < 4; ++b) {
            bytes[i * 4 + b] = static_cast<unsigned char>(kRandomBitWords[i] >> (8 * b));
        }
    }
    return bytes;
}

constexpr std::array<unsigned char, 320> kTableBytes = MakeTableBytes();
constexpr uint32_t kMaxOffset = 313; // the last offset whose 4-byte word fits the table

uint32_t WordAtOffset(uint32_t offset) {
    return static_cast<uint32_t>(kTableBytes[offset]) |
           static_cast<uint32_t>(kTableBytes[offset + 1]) << 8 |
           static_cast<uint32_t>(kTableBytes[offset + 2]) << 16 |
           static_cast<uint32_t>(kTableBytes[offset + 3]) << 24;
}

uint32_t TextLength(const char* s) {
    return s == nullptr ? 0 : static_cast<uint32_t>(std::strlen(s));
}

int32_t Finish(uint32_t h) {
    return static_cast<int32_t>(h >> 1);
}

} // namespace

uint32_t HashBytes(uint32_t start, const unsigned char* key, uint32_t length) {
    uint32_t h = start;
    uint32_t sum = 0;
    for (uint32_t i = 0; i < length; ++i) {
        // sum never exceeds 313 + 255 before the fold, so it stays within 0..313 after it.
        sum += key[i];
        if (sum > kMaxOffset) sum -= kMaxOffset;
        h = (h << 1) ^ WordAtOffset(sum);
    }
    return h;
}

uint32_t MapHash(const unsigned char* key, uint32_t length) {
    return HashBytes(kRandomBitWords[0], key, length) >> 1;
}

} // namespace kvr

int32_t KVRHASHF(const char* s) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(s);
    return kvr::Finish(kvr::HashBytes(kvr::kRandomBitWords[0], bytes, kvr::TextLength(s)));
}

int32_t KVRHASHX(const char* s, int32_t inSeed) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(s);
    const uint32_t start = (kvr::kRandomBitWords[0] << 1) ^ static_cast<uint32_t>(inSeed);
    return kvr::Finish(kvr::HashBytes(start, bytes, kvr::TextLength(s)));
}

int32_t ComputeRandomHash(const char* S) {
    return KVRHASHF(S);
}

// The length is not consulted: the text ends at its terminator.
int32_t ComputeRandomHashWithSeed(const char* sItem, int32_t /*sItemLgth*/, int32_t inSeed) {
    return KVRHASHX(sItem, inSeed);
}

int32_t ComputeRandomInt(void) {
    static bool seeded = false;
    if (!seeded) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        seeded = true;
    }
    const int r1 = std::rand();
    const int r2 = std::rand();
    return (r1 % 32767) * 65536 + (r2 % 65534) + 1;
}
