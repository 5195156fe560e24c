#include "device/OpenFailure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

struct FailureCase {
    OpenStep step;
    int error;
    const char* text;
};

class OpenFailureText : public testing::TestWithParam<FailureCase> {};

TEST_P(OpenFailureText, NamesTheReasonAndTheDevice)
{
    const FailureCase& c = GetParam();
    EXPECT_EQ(DescribeOpenFailure(L"COM3", std::string("/dev/ttyS2"), { c.step, c.error }), c.text);
}

INSTANTIATE_TEST_SUITE_P(Reasons, OpenFailureText, testing::Values(
    FailureCase { OpenStep::OpenDevice, ENOENT, "COM3 (/dev/ttyS2)：设备不存在" },
    FailureCase { OpenStep::OpenDevice, ENXIO, "COM3 (/dev/ttyS2)：设备不存在" },
    FailureCase { OpenStep::OpenDevice, EACCES, "COM3 (/dev/ttyS2)：没有权限（请把用户加入 dialout 组后重新登录）" },
    FailureCase { OpenStep::OpenDevice, EBUSY, "COM3 (/dev/ttyS2)：已被其他程序占用" },
    FailureCase { OpenStep::LockDevice, EWOULDBLOCK, "COM3 (/dev/ttyS2)：已被其他程序占用" },
    FailureCase { OpenStep::Exclusive, EBUSY, "COM3 (/dev/ttyS2)：已被其他程序占用" },
    FailureCase { OpenStep::ReadLine, ENOTTY, "COM3 (/dev/ttyS2)：不是串口设备" },
    FailureCase { OpenStep::ParseMode, 0, "COM3 (/dev/ttyS2)：设备不接受这些线路设置" },
    FailureCase { OpenStep::WriteLine, EINVAL,
                  "COM3 (/dev/ttyS2)：设备不接受这些线路设置（ioctl(TCSETS2) 失败：Invalid argument）" },
    FailureCase { OpenStep::OpenDevice, EIO, "COM3 (/dev/ttyS2)：open() 失败：Input/output error" },
    FailureCase { OpenStep::StartThread, EAGAIN,
                  "COM3 (/dev/ttyS2)：pthread_create() 失败：Resource temporarily unavailable" }));

TEST(OpenFailureText, EmptyWithoutAFailure)
{
    EXPECT_EQ(DescribeOpenFailure(L"COM3", std::string("/dev/ttyS2"), {}), "");
}

TEST(OpenFailureText, UnresolvedNameHasNoPath)
{
    EXPECT_EQ(DescribeOpenFailure(L"FOO", std::nullopt, { OpenStep::Resolve, 0 }),
              "FOO：不是串口名（应为 COM1 到 COM32 或设备的绝对路径）");
}

TEST(OpenFailureText, APathNameIsNotRepeated)
{
    EXPECT_EQ(DescribeOpenFailure(L"/dev/ttyUSB9", std::string("/dev/ttyUSB9"), { OpenStep::OpenDevice, ENOENT }),
              "/dev/ttyUSB9：设备不存在");
}

} // namespace
