#include "demo/Crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> table {};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        table[i] = value;
    }
    return table;
}

constexpr std::array<uint32_t, 256> TABLE = MakeTable();

} // namespace

uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t length)
{
    crc = ~crc;
    for (size_t i = 0; i < length; ++i)
        crc = TABLE[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}
