#include "demo/CDemoBoard.h"
#include "device/PortPath.h"
#include "tests/demo/DeviceLine.h"
#include "tests/support/PtyPair.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace {

using namespace std::chrono_literals;
using demotest::DeviceLine;

constexpr uid_t NOBODY = 65534;

// Runs `work` in a child process as the unprivileged user nobody (root
// ignores file modes) and returns what it returned. No thread may run
// when this is called.
std::string RunAsNobody(const std::function<std::string()>& work)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "pipe() failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        std::string result = "can't become nobody";
        if (setgroups(0, nullptr) == 0 && setgid(NOBODY) == 0 && setuid(NOBODY) == 0)
            result = work();
        const ssize_t written = write(pipeFds[1], result.data(), result.size());
        _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(pipeFds[1]);
    std::string result;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return result;
}

class ConnectFailureTest : public ::testing::Test {
protected:
    void TearDown() override { ClearPortOverrides(); }
};

TEST_F(ConnectFailureTest, AMissingDevice)
{
    ASSERT_TRUE(SetPortOverride("COM5=/dev/taliard-no-such-tty"));
    DeviceLine line;
    EXPECT_FALSE(line.Open(L"COM5"));
    EXPECT_EQ(line.GetLastOpenError(), "COM5 (/dev/taliard-no-such-tty)：设备不存在");
}

TEST_F(ConnectFailureTest, ADeviceWithoutPermission)
{
    testsupport::PtyPair pty;
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0600), 0);
    ASSERT_TRUE(SetPortOverride("COM6=" + pty.SlavePath()));
    const std::string error = RunAsNobody([] {
        DeviceLine line;
        return line.Open(L"COM6") ? std::string("opened") : line.GetLastOpenError();
    });
    EXPECT_EQ(error, "COM6 (" + pty.SlavePath() + ")：没有权限（请把用户加入 dialout 组后重新登录）");
}

TEST_F(ConnectFailureTest, APortHeldByAnotherOpen)
{
    std::string error;
    const auto board = CDemoBoard::Create(error);
    ASSERT_NE(board, nullptr) << error;
    DeviceLine first;
    ASSERT_TRUE(first.Open(L"COM1")) << first.GetLastOpenError();
    DeviceLine second;
    EXPECT_FALSE(second.Open(L"COM1"));
    EXPECT_EQ(second.GetLastOpenError(), "COM1 (" + board->GetPortPath() + ")：已被其他程序占用");
    first.Close();
    EXPECT_TRUE(second.Open(L"COM1")) << second.GetLastOpenError();
    EXPECT_EQ(second.GetLastOpenError(), "");
}

// The demo port is a pseudo-terminal, whose exclusive mode outlives the
// descriptor that set it: an ordinary user must still be able to connect
// again after letting the port go.
TEST_F(ConnectFailureTest, AReleasedPortOpensAgainForAnOrdinaryUser)
{
    testsupport::PtyPair pty;
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0666), 0);
    ASSERT_TRUE(SetPortOverride("COM7=" + pty.SlavePath()));
    const std::string result = RunAsNobody([] {
        DeviceLine line;
        if (!line.Open(L"COM7"))
            return "first open: " + line.GetLastOpenError();
        line.Close();
        if (!line.Open(L"COM7"))
            return "second open: " + line.GetLastOpenError();
        line.Close();
        return std::string("opened twice");
    });
    EXPECT_EQ(result, "opened twice");
}

} // namespace
