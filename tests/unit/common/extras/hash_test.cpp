// Tests of the fixed-table hashes: the documented values, a from-scratch recomputation for
// long texts of high bytes (where the offset folding matters), and the random integers.
#include "extras/hash.h"
#include "kvrbase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

const uint32_t kWords[80] = {
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

// The running value before the final shift, written out directly from the description: the
// little-endian word at byte offset `sum`, put together from the two words it straddles.
uint32_t Reference(uint32_t h, const std::vector<unsigned char>& bytes) {
    uint32_t sum = 0;
    for (unsigned char c : bytes) {
        sum += c;
        if (sum > 313) sum -= 313;
        const uint32_t index = sum / 4, shift = 8 * (sum % 4);
        h = (h << 1) ^
            (shift == 0 ? kWords[index]
                        : (kWords[index] >> shift) | (kWords[index + 1] << (32 - shift)));
    }
    return h;
}

uint32_t Hash(const std::vector<unsigned char>& bytes) {
    return static_cast<uint32_t>(KVRHASHF(std::string(bytes.begin(), bytes.end()).c_str()));
}

TEST(HashTest, DocumentedValues) {
    EXPECT_EQ(static_cast<uint32_t>(KVRHASHF("")), 0x7EBEB40Au);
    EXPECT_EQ(static_cast<uint32_t>(KVRHASHF("A")), 0x572A4497u);
    EXPECT_EQ(static_cast<uint32_t>(KVRHASHF("abc")), 0x634948D5u);
    EXPECT_EQ(static_cast<uint32_t>(KVRHASHX("", 0)), 0x7D7D6815u);
    // (FD7D6815 << 1) ^ 2 = FAFAD028, shifted right: 7D7D6814.
    EXPECT_EQ(static_cast<uint32_t>(KVRHASHX("", 2)), 0x7D7D6814u);
    EXPECT_EQ(ComputeRandomHash("abc"), KVRHASHF("abc"));
    // The length argument is not consulted.
    EXPECT_EQ(ComputeRandomHashWithSeed("abc", 1, 77), KVRHASHX("abc", 77));
    EXPECT_EQ(KVRHASHF(nullptr), KVRHASHF(""));
    // The map hash counts zero bytes: the offset stays but the word is mixed in again.
    const unsigned char a0[] = {'A', 0};
    EXPECT_EQ(kvr::MapHash(a0, 1), 0x572A4497u);
    EXPECT_EQ(kvr::MapHash(a0, 2), Reference(0xFD7D6815u, {'A', 0}) >> 1);
}

TEST(HashTest, LongTextsOfHighBytesMatchRecomputation) {
    const std::vector<unsigned char> ffs(1000, 0xFF);
    EXPECT_EQ(Hash(ffs), Reference(0xFD7D6815u, ffs) >> 1);
    EXPECT_EQ(static_cast<uint32_t>(KVRHASHX(std::string(1000, '\xFF').c_str(), -5)),
              Reference((0xFD7D6815u << 1) ^ 0xFFFFFFFBu, ffs) >> 1);
    std::mt19937 random(17);
    std::uniform_int_distribution<int> high(0x80, 0xFF);
    for (int round = 0; round < 20; ++round) {
        std::vector<unsigned char> bytes(1 + round * 97);
        for (unsigned char& c : bytes)
            c = static_cast<unsigned char>(high(random));
        const uint32_t expected = Reference(0xFD7D6815u, bytes) >> 1;
        EXPECT_EQ(Hash(bytes), expected);
        EXPECT_EQ(kvr::MapHash(bytes.data(), static_cast<uint32_t>(bytes.size())), expected);
    }
}

TEST(HashTest, RandomIntegersStayInRange) {
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        const int32_t value = ComputeRandomInt();
        ASSERT_TRUE(value >= 1 && value <= 2147418110) << value;
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 1000u);
}

} // namespace
