#include "transfer/Crc16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CrcCase {
    std::string name;
    std::vector<uint8_t> data;
    uint16_t crc;
};

class Crc16Value : public testing::TestWithParam<CrcCase> { };

TEST_P(Crc16Value, MatchesTheKnownValue)
{
    const CrcCase& c = GetParam();
    EXPECT_EQ(Crc16(c.data.data(), c.data.size()), c.crc);
}

std::vector<uint8_t> Counting(size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(KnownValues, Crc16Value,
                         testing::Values(CrcCase { "CheckString", { '1', '2', '3', '4', '5', '6', '7', '8', '9' }, 0x31C3 },
                                         CrcCase { "Empty", {}, 0x0000 },
                                         CrcCase { "LetterA", { 'A' }, 0x58E5 },
                                         CrcCase { "AllOnes", { 0xFF }, 0x1EF0 },
                                         CrcCase { "PaddingBlock", std::vector<uint8_t>(128, 0x1A), 0xF8B0 },
                                         CrcCase { "Counting128", Counting(128), 0xE80A },
                                         CrcCase { "Counting1024", Counting(1024), 0xC2E0 }),
                         [](const testing::TestParamInfo<CrcCase>& param) { return param.param.name; });

TEST(Crc16, ReadsOnlyTheGivenLength)
{
    const std::vector<uint8_t> data { '1', '2', '3', '4', '5', '6', '7', '8', '9', 0xAA };
    EXPECT_EQ(Crc16(data.data(), 9), 0x31C3);
}

} // namespace
