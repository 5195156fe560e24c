#include "ui/UiHooksInstall.h"

#include "platform/UiHooks.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/GuiTestApp.h"

#include <wx/thread.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

class UiDispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (Debian packages xvfb and xauth)";
        InstallUiHooks();
        // Nothing from an earlier test may still be queued.
        testsupport::PumpEventsFor(5ms);
    }
};

TEST_F(UiDispatchTest, WorkFromAnotherThreadRunsOnTheUiThreadBeforeTheCallReturns)
{
    std::atomic<bool> cancelled { false };
    std::atomic<bool> ranOnUiThread { false };
    std::atomic<bool> returned { false };
    bool result = false;
    std::thread worker([&] {
        result = platform::RunOnUiThread([&] { ranOnUiThread = wxIsMainThread(); }, cancelled);
        // The work has run by the time the call returns.
        EXPECT_TRUE(ranOnUiThread.load());
        returned = true;
    });
    EXPECT_TRUE(testsupport::PumpEventsUntil([&] { return returned.load(); }, 10s));
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_TRUE(ranOnUiThread.load());
}

TEST_F(UiDispatchTest, OnTheUiThreadTheWorkRunsAtOnce)
{
    std::atomic<bool> cancelled { false };
    int runs = 0;
    EXPECT_TRUE(platform::RunOnUiThread([&] { ++runs; }, cancelled));
    EXPECT_EQ(runs, 1);
}

TEST_F(UiDispatchTest, ACancelledCallerIsNotHeldUpAndItsWorkNeverRuns)
{
    std::atomic<bool> cancelled { false };
    std::atomic<int> runs { 0 };
    std::atomic<bool> returned { false };
    bool result = true;
    // The UI thread is busy (it does not pump) while the worker waits.
    std::thread worker([&] {
        result = platform::RunOnUiThread([&] { ++runs; }, cancelled);
        returned = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(returned.load());
    cancelled = true;
    worker.join();
    EXPECT_FALSE(result);
    // The queued work finds itself abandoned when the UI thread gets to it.
    testsupport::PumpEventsFor(50ms);
    EXPECT_EQ(runs.load(), 0);
}

TEST_F(UiDispatchTest, AlreadyCancelledWorkIsNotRun)
{
    std::atomic<bool> cancelled { true };
    int runs = 0;
    EXPECT_FALSE(platform::RunOnUiThread([&] { ++runs; }, cancelled));
    std::thread worker([&] { EXPECT_FALSE(platform::RunOnUiThread([&] { ++runs; }, cancelled)); });
    worker.join();
    testsupport::PumpEventsFor(20ms);
    EXPECT_EQ(runs, 0);
}

TEST_F(UiDispatchTest, AWakeUpWithNoViewIsDropped)
{
    SetRefreshTarget(nullptr);
    std::thread port([] { platform::WakeUiForRefresh(); });
    port.join();
    testsupport::PumpEventsFor(20ms);
}

} // namespace
