// Builds XMODEM blocks for the demo tests independently of the sender's own
// block builder, so a shared mistake in the wire format can't hide.
#pragma once

#include "transfer/Crc16.h"

#include <cstdint>
#include <vector>

namespace demotest {

enum class Check { Sum, Crc };

inline std::vector<uint8_t> MakeBlock(uint8_t number, const std::vector<uint8_t>& data, Check check)
{
    std::vector<uint8_t> block;
    block.push_back(data.size() == 1024 ? 0x02 : 0x01);
    block.push_back(number);
    block.push_back(static_cast<uint8_t>(255 - number));
    block.insert(block.end(), data.begin(), data.end());
    if (check == Check::Crc) {
        const uint16_t crc = Crc16(data.data(), data.size());
        block.push_back(static_cast<uint8_t>(crc >> 8));
        block.push_back(static_cast<uint8_t>(crc & 0xFF));
    } else {
        uint8_t sum = 0;
        for (uint8_t b : data)
            sum = static_cast<uint8_t>(sum + b);
        block.push_back(sum);
    }
    return block;
}

inline std::vector<uint8_t> Pattern(size_t length, uint8_t seed)
{
    std::vector<uint8_t> data(length);
    for (size_t i = 0; i < length; ++i)
        data[i] = static_cast<uint8_t>(seed + i * 31 + (i >> 7));
    return data;
}

} // namespace demotest
