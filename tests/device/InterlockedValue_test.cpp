#include "device/InterlockedValue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

namespace {

TEST(InterlockedValue, NewCellsReadZero)
{
    const CInterlockedValue cell;
    EXPECT_EQ(cell.GetValue(), 0);
    EXPECT_EQ(cell.GetFlag(), 0);
}

TEST(InterlockedValue, ConcurrentAddsLoseNothing)
{
    CInterlockedValue cell;
    const auto add = [&cell] {
        for (int i = 0; i < 1000000; ++i)
            cell.AddValue(1);
    };
    std::thread first(add);
    std::thread second(add);
    first.join();
    second.join();
    EXPECT_EQ(cell.GetValue(), 2000000);
}

TEST(InterlockedValue, AddWrapsLikeA32BitCounter)
{
    CInterlockedValue cell;
    cell.SetValue(INT32_MAX);
    cell.AddValue(1);
    EXPECT_EQ(cell.GetValue(), INT32_MIN);
}

} // namespace
