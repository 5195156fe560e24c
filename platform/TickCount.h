// Millisecond tick count from a monotonic clock; wraps like a 32-bit
// counter, so differences are taken as unsigned. Any thread.
#pragma once

#include <cstdint>

namespace platform {

uint32_t GetTickCount();

} // namespace platform
