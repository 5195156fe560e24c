#include "transfer/XmodemBlock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Counting(size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

struct ModeCase {
    std::string name;
    int32_t mode;
    size_t blockSize;
    size_t wireLength;
    uint8_t startByte;
    uint8_t header;
    std::vector<uint8_t> check; // of a block of counting bytes 0, 1, 2, ...
};

class XmodemBlockByMode : public testing::TestWithParam<ModeCase> { };

TEST_P(XmodemBlockByMode, ModeTableMatchesTheWireFormat)
{
    const ModeCase& c = GetParam();
    const XmodemModeInfo& info = GetXmodemModeInfo(c.mode);
    EXPECT_EQ(static_cast<size_t>(info.nBlockSize), c.blockSize);
    EXPECT_EQ(static_cast<size_t>(info.nCheckLen), c.check.size());
    EXPECT_EQ(info.startByte, c.startByte);
    EXPECT_EQ(info.header, c.header);
    EXPECT_EQ(static_cast<size_t>(XmodemBlockLength(c.mode)), c.wireLength);
}

TEST_P(XmodemBlockByMode, BuildsHeaderNumberComplementDataAndCheck)
{
    const ModeCase& c = GetParam();
    const std::vector<uint8_t> data = Counting(c.blockSize);
    std::vector<uint8_t> out(c.wireLength + 4, 0xEE); // the tail must stay untouched

    ASSERT_EQ(BuildXmodemBlock(c.mode, 1, data, out), c.wireLength);

    std::vector<uint8_t> expected { c.header, 0x01, 0xFE };
    expected.insert(expected.end(), data.begin(), data.end());
    expected.insert(expected.end(), c.check.begin(), c.check.end());
    expected.insert(expected.end(), 4, 0xEE);
    EXPECT_EQ(out, expected);
}

TEST_P(XmodemBlockByMode, NumberAndComplementCoverTheWholeByte)
{
    const ModeCase& c = GetParam();
    const std::vector<uint8_t> data(c.blockSize, 0x1A);
    std::vector<uint8_t> out(c.wireLength);
    for (unsigned number : { 0u, 2u, 127u, 255u }) {
        BuildXmodemBlock(c.mode, static_cast<uint8_t>(number), data, out);
        EXPECT_EQ(out[1], number);
        EXPECT_EQ(out[2], 255 - number);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, XmodemBlockByMode,
                         testing::Values(ModeCase { "Sum", XMODEM_SUM, 128, 132, 0x15, 0x01, { 0xC0 } },
                                         ModeCase { "Crc", XMODEM_CRC, 128, 133, 'C', 0x01, { 0xE8, 0x0A } },
                                         ModeCase { "Crc1K", XMODEM_1KCRC, 1024, 1029, 'C', 0x02, { 0xC2, 0xE0 } }),
                         [](const testing::TestParamInfo<ModeCase>& param) { return param.param.name; });

TEST(XmodemBlock, ChecksumWrapsModulo256)
{
    const std::vector<uint8_t> data(128, 0xFF); // 128 * 255 = 0x7F80
    std::vector<uint8_t> out(132);
    BuildXmodemBlock(XMODEM_SUM, 1, data, out);
    EXPECT_EQ(out[131], 0x80);
}

TEST(XmodemBlock, OnlyTheThreeModesExist)
{
    EXPECT_FALSE(IsXmodemMode(-1));
    EXPECT_TRUE(IsXmodemMode(XMODEM_SUM));
    EXPECT_TRUE(IsXmodemMode(XMODEM_1KCRC));
    EXPECT_FALSE(IsXmodemMode(3));
}

} // namespace
