// CRC-32 as zip and Ethernet use it (reflected polynomial 0xEDB88320, all
// ones in and out), which the demo board prints after a transfer so the user
// can compare it with the file's own checksum. Pure; any thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues a CRC over more data; start with crc 0. Crc32Update(Crc32Update(0, a), b)
// equals the CRC of a followed by b.
uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t length);

inline uint32_t Crc32(const uint8_t* data, size_t length)
{
    return Crc32Update(0, data, length);
}
