#include "transfer/XmodemBlock.h"

#include "transfer/Crc16.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<XmodemModeInfo, 3> MODES { {
    { 128, 1, XMODEM_NAK, XMODEM_SOH },
    { 128, 2, XMODEM_CRC_START, XMODEM_SOH },
    { 1024, 2, XMODEM_CRC_START, XMODEM_STX },
} };

} // namespace

const XmodemModeInfo& GetXmodemModeInfo(int32_t mode)
{
    return MODES[static_cast<std::size_t>(mode)];
}

int32_t XmodemBlockLength(int32_t mode)
{
    const XmodemModeInfo& info = GetXmodemModeInfo(mode);
    return XMODEM_HEADER_LEN + info.nBlockSize + info.nCheckLen;
}

std::size_t BuildXmodemBlock(int32_t mode, uint8_t number, std::span<const uint8_t> data, std::span<uint8_t> out)
{
    const XmodemModeInfo& info = GetXmodemModeInfo(mode);
    out[0] = info.header;
    out[1] = number;
    out[2] = static_cast<uint8_t>(255 - number);
    std::copy(data.begin(), data.end(), out.begin() + XMODEM_HEADER_LEN);
    std::size_t pos = XMODEM_HEADER_LEN + data.size();
    if (info.nCheckLen == 1) {
        uint8_t sum = 0;
        for (uint8_t b : data)
            sum = static_cast<uint8_t>(sum + b);
        out[pos++] = sum;
    } else {
        const uint16_t crc = Crc16(data.data(), data.size());
        out[pos++] = static_cast<uint8_t>(crc >> 8);
        out[pos++] = static_cast<uint8_t>(crc & 0xFF);
    }
    return pos;
}
