#include "device/CriticalSection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

bool OtherThreadCanTake(CCriticalSectionEx& section)
{
    return std::async(std::launch::async, [&section] {
        if (!section.TryLock())
            return false;
        section.Unlock();
        return true;
    }).get();
}

TEST(CriticalSectionEx, SecondGuardOnTheSameThreadDoesNotBlock)
{
    CCriticalSectionEx section;
    {
        CCriticalSectionFuncation outer(section);
        {
            CCriticalSectionFuncation inner(section);
            EXPECT_FALSE(OtherThreadCanTake(section));
        }
        EXPECT_FALSE(OtherThreadCanTake(section)) << "free after only one of two guards";
    }
    EXPECT_TRUE(OtherThreadCanTake(section));
}

TEST(CriticalSectionEx, TimedTryGivesUpWhileAnotherThreadHoldsIt)
{
    CCriticalSectionEx section;
    CCriticalSectionFuncation guard(section);
    const bool taken = std::async(std::launch::async, [&section] {
        return section.TryLockFor(std::chrono::milliseconds(5));
    }).get();
    EXPECT_FALSE(taken);
}

TEST(CriticalSectionEx, TimedTryGetsTheLockWhenItIsReleasedInTime)
{
    CCriticalSectionEx section;
    section.Lock();
    std::atomic<bool> waiting { false };
    auto taker = std::async(std::launch::async, [&] {
        waiting = true;
        const bool taken = section.TryLockFor(std::chrono::seconds(10));
        if (taken)
            section.Unlock();
        return taken;
    });
    while (!waiting)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    section.Unlock();
    EXPECT_TRUE(taker.get());
}

} // namespace
