// The newest part of the document's receive buffer, copied out for the view
// so that it decodes without holding the document's lock. Bytes are numbered
// from the first byte ever kept. Plain data for any thread.
#pragma once

#include <cstdint>
#include <vector>

struct ReceiveSlice {
    uint64_t first = 0;         // number of the buffer's first byte
    uint64_t start = 0;         // number of bytes[0]; the buffer ends with bytes
    std::vector<uint8_t> bytes; // kept between copies, so a copy seldom allocates
};
