// The XMODEM wire format: the three transfer variants, the control bytes,
// and the building of one block as it goes on the line.
// Pure functions and constants: any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The variants, in the order of the configuration bar's radio buttons.
enum XmodemMode : int32_t {
    XMODEM_SUM = 0,   // 128-byte blocks, 8-bit checksum
    XMODEM_CRC = 1,   // 128-byte blocks, CRC-16
    XMODEM_1KCRC = 2, // 1024-byte blocks, CRC-16
};

constexpr uint8_t XMODEM_SOH = 0x01;
constexpr uint8_t XMODEM_STX = 0x02;
constexpr uint8_t XMODEM_EOT = 0x04;
constexpr uint8_t XMODEM_ACK = 0x06;
constexpr uint8_t XMODEM_NAK = 0x15;
constexpr uint8_t XMODEM_CAN = 0x18;
constexpr uint8_t XMODEM_CRC_START = 'C';

// Bytes before the data: header, block number, its complement.
constexpr int32_t XMODEM_HEADER_LEN = 3;

struct XmodemModeInfo {
    int32_t nBlockSize; // data bytes per block
    int32_t nCheckLen;  // 1: 8-bit sum, 2: CRC-16
    uint8_t startByte;  // the receiver's request to begin
    uint8_t header;     // first byte of every block
};

constexpr bool IsXmodemMode(int32_t mode) { return mode >= XMODEM_SUM && mode <= XMODEM_1KCRC; }

// mode must satisfy IsXmodemMode.
const XmodemModeInfo& GetXmodemModeInfo(int32_t mode);

// Whole length of one block on the line: 132, 133 or 1029 bytes.
int32_t XmodemBlockLength(int32_t mode);

// Writes block `number` of `mode` into `out`: header, number, 255 - number,
// the data, then the check (sum, or CRC-16 high byte first). `data` holds
// exactly one block's data and `out` at least XmodemBlockLength(mode)
// bytes. Returns the number of bytes written.
std::size_t BuildXmodemBlock(int32_t mode, uint8_t number, std::span<const uint8_t> data, std::span<uint8_t> out);
