#include "demo/Crc32.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

uint32_t CrcOf(std::string_view text)
{
    return Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(Crc32, MatchesKnownCheckValues)
{
    EXPECT_EQ(CrcOf(""), 0x00000000u);
    EXPECT_EQ(CrcOf("123456789"), 0xCBF43926u);
    EXPECT_EQ(CrcOf("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(Crc32, ContinuingOverPiecesEqualsTheWhole)
{
    std::vector<uint8_t> data(102400);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    uint32_t crc = 0;
    for (size_t offset = 0; offset < data.size(); offset += 1024)
        crc = Crc32Update(crc, data.data() + offset, 1024);
    EXPECT_EQ(crc, Crc32(data.data(), data.size()));
}

TEST(Crc32, SeesEveryBitOfEveryByte)
{
    std::vector<uint8_t> data(300, 0x5A);
    const uint32_t reference = Crc32(data.data(), data.size());
    for (size_t position : { size_t(0), size_t(150), size_t(299) }) {
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<uint8_t> changed = data;
            changed[position] ^= static_cast<uint8_t>(1u << bit);
            EXPECT_NE(Crc32(changed.data(), changed.size()), reference) << position << ":" << bit;
        }
    }
}

} // namespace
