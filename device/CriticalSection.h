// Re-entrant lock and its scoped guard. Any thread may take a lock; the
// thread that holds it may take it again and must release it as often.
// Neither class imposes a lock order: each user states its own.
#pragma once

#include <chrono>
#include <mutex>

class CCriticalSectionEx {
public:
    CCriticalSectionEx() = default;
    virtual ~CCriticalSectionEx() = default;
    CCriticalSectionEx(const CCriticalSectionEx&) = delete;
    CCriticalSectionEx& operator=(const CCriticalSectionEx&) = delete;

    void Lock() { m_section.lock(); }
    void Unlock() { m_section.unlock(); }
    bool TryLock() { return m_section.try_lock(); }
    // Tries until the time is up; true when the lock is now held.
    bool TryLockFor(std::chrono::microseconds timeout);
    std::recursive_mutex& GetSection() { return m_section; }

private:
    std::recursive_mutex m_section;
};

// Holds a CCriticalSectionEx from construction to destruction; does not own it.
class CCriticalSectionFuncation {
public:
    explicit CCriticalSectionFuncation(CCriticalSectionEx& section)
        : m_pSection(&section.GetSection())
    {
        m_pSection->lock();
    }
    virtual ~CCriticalSectionFuncation() { m_pSection->unlock(); }
    CCriticalSectionFuncation(const CCriticalSectionFuncation&) = delete;
    CCriticalSectionFuncation& operator=(const CCriticalSectionFuncation&) = delete;

private:
    std::recursive_mutex* m_pSection;
};
