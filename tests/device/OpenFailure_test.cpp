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
    FailureCase { OpenStep::OpenDevice, ENOENT, "COM3 (/dev/ttyS2): no such device" },
    FailureCase { OpenStep::OpenDevice, ENXIO, "COM3 (/dev/ttyS2): no such device" },
    FailureCase { OpenStep::OpenDevice, EACCES, "COM3 (/dev/ttyS2): permission denied (join the dialout group)" },
    FailureCase { OpenStep::OpenDevice, EBUSY, "COM3 (/dev/ttyS2): held by another program" },
    FailureCase { OpenStep::LockDevice, EWOULDBLOCK, "COM3 (/dev/ttyS2): held by another program" },
    FailureCase { OpenStep::Exclusive, EBUSY, "COM3 (/dev/ttyS2): held by another program" },
    FailureCase { OpenStep::ReadLine, ENOTTY, "COM3 (/dev/ttyS2): not a serial device" },
    FailureCase { OpenStep::ParseMode, 0, "COM3 (/dev/ttyS2): line settings refused" },
    FailureCase { OpenStep::WriteLine, EINVAL,
                  "COM3 (/dev/ttyS2): line settings refused (ioctl(TCSETS2) failed: Invalid argument)" },
    FailureCase { OpenStep::OpenDevice, EIO, "COM3 (/dev/ttyS2): open() failed: Input/output error" },
    FailureCase { OpenStep::StartThread, EAGAIN,
                  "COM3 (/dev/ttyS2): pthread_create() failed: Resource temporarily unavailable" }));

TEST(OpenFailureText, EmptyWithoutAFailure)
{
    EXPECT_EQ(DescribeOpenFailure(L"COM3", std::string("/dev/ttyS2"), {}), "");
}

TEST(OpenFailureText, UnresolvedNameHasNoPath)
{
    EXPECT_EQ(DescribeOpenFailure(L"FOO", std::nullopt, { OpenStep::Resolve, 0 }),
              "FOO: not a port name (COM1 to COM32 or an absolute device path)");
}

TEST(OpenFailureText, APathNameIsNotRepeated)
{
    EXPECT_EQ(DescribeOpenFailure(L"/dev/ttyUSB9", std::string("/dev/ttyUSB9"), { OpenStep::OpenDevice, ENOENT }),
              "/dev/ttyUSB9: no such device");
}

} // namespace
