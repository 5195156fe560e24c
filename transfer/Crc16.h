// CRC-16/XMODEM (polynomial 0x1021, initial value 0, most significant bit
// first, no reflection, no final exclusive-or), bit by bit without a table.
// A pure function: any thread.
#pragma once

#include <cstddef>
#include <cstdint>

uint16_t Crc16(const uint8_t* data, std::size_t length);
