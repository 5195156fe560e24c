#include "device/CriticalSection.h"

#include <thread>

namespace {

// Short enough that a waiter notices a freed lock quickly, long enough not
// to burn a core while a slow operation holds it.
constexpr std::chrono::microseconds TRY_LOCK_POLL { 50 };

} // namespace

// Polls try_lock on the steady clock rather than using a timed mutex: the
// timed wait of std::recursive_timed_mutex is invisible to ThreadSanitizer
// (pthread_mutex_clocklock), and its wall-clock variant stretches when the
// system clock is set back.
bool CCriticalSectionEx::TryLockFor(std::chrono::microseconds timeout)
{
    // The port thread comes here for every received byte and nearly always
    // finds the lock free: no clock read then.
    if (m_section.try_lock())
        return true;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_section.try_lock()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(TRY_LOCK_POLL);
    }
    return true;
}
