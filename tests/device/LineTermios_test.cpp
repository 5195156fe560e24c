// The termios2 record built from the settings texts, without a device, and
// what a pseudo-terminal keeps of it once a port has applied it.
#include "device/CSerialPort.h"
#include "device/LineState.h"
#include "device/LineTermios.h"
#include "device/SerialSettings.h"
#include "tests/device/PortTestSupport.h"
#include "tests/support/PtyPair.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

termios2 RecordFor(const SerialSettings& settings, const termios2& current = {})
{
    const auto line = ParseModeString(BuildModeString(settings));
    EXPECT_TRUE(line) << "settings do not parse";
    return TermiosFromLineState(line.value_or(LineState {}), current);
}

SerialSettings Settings(const std::wstring& baud, const std::wstring& parity = L"无",
                        const std::wstring& data = L"8", const std::wstring& stop = L"1")
{
    return { L"COM1", baud, parity, data, stop };
}

// --- baud rates of the list, and typed ones ---

class RateRecord : public testing::TestWithParam<std::tuple<std::wstring, tcflag_t, speed_t>> {};

TEST_P(RateRecord, UsesBnnnOrBother)
{
    const auto& [text, bits, rate] = GetParam();
    const termios2 record = RecordFor(Settings(text));
    EXPECT_EQ(record.c_cflag & CBAUD, bits);
    EXPECT_EQ(record.c_cflag & CIBAUD, 0u) << "input rate must follow the output rate";
    EXPECT_EQ(record.c_ospeed, rate);
    EXPECT_EQ(record.c_ispeed, rate);
}

INSTANTIATE_TEST_SUITE_P(List, RateRecord, testing::Values(
    std::make_tuple(L"1200", tcflag_t { B1200 }, 1200u),
    std::make_tuple(L"2400", tcflag_t { B2400 }, 2400u),
    std::make_tuple(L"4800", tcflag_t { B4800 }, 4800u),
    std::make_tuple(L"9600", tcflag_t { B9600 }, 9600u),
    std::make_tuple(L"19200", tcflag_t { B19200 }, 19200u),
    std::make_tuple(L"38400", tcflag_t { B38400 }, 38400u),
    std::make_tuple(L"57600", tcflag_t { B57600 }, 57600u),
    std::make_tuple(L"115200", tcflag_t { B115200 }, 115200u),
    std::make_tuple(L"204800", tcflag_t { BOTHER }, 204800u),
    std::make_tuple(L"230400", tcflag_t { B230400 }, 230400u),
    std::make_tuple(L"460800", tcflag_t { B460800 }, 460800u),
    std::make_tuple(L"921600", tcflag_t { B921600 }, 921600u)));

INSTANTIATE_TEST_SUITE_P(Typed, RateRecord, testing::Values(
    std::make_tuple(L"300", tcflag_t { B300 }, 300u),
    std::make_tuple(L"96", tcflag_t { B9600 }, 9600u),
    std::make_tuple(L"31250", tcflag_t { BOTHER }, 31250u),
    std::make_tuple(L"250000", tcflag_t { BOTHER }, 250000u),
    std::make_tuple(L"1000000", tcflag_t { B1000000 }, 1000000u),
    std::make_tuple(L"1234567", tcflag_t { BOTHER }, 1234567u),
    std::make_tuple(L"4000000", tcflag_t { B4000000 }, 4000000u)));

TEST(RateRecord, SwitchingBackToAStandardRateClearsBother)
{
    const termios2 custom = RecordFor(Settings(L"204800"));
    ASSERT_EQ(custom.c_cflag & CBAUD, tcflag_t { BOTHER });
    const termios2 standard = RecordFor(Settings(L"9600"), custom);
    EXPECT_EQ(standard.c_cflag & CBAUD, tcflag_t { B9600 });
    EXPECT_EQ(standard.c_ospeed, 9600u);
}

// --- data bits, stop bits, parity words ---

class DataBitsRecord : public testing::TestWithParam<std::tuple<std::wstring, tcflag_t>> {};

TEST_P(DataBitsRecord, SetsTheCharacterSize)
{
    const auto& [text, size] = GetParam();
    EXPECT_EQ(RecordFor(Settings(L"9600", L"无", text)).c_cflag & CSIZE, size);
}

INSTANTIATE_TEST_SUITE_P(List, DataBitsRecord, testing::Values(
    std::make_tuple(L"5", tcflag_t { CS5 }), std::make_tuple(L"6", tcflag_t { CS6 }),
    std::make_tuple(L"7", tcflag_t { CS7 }), std::make_tuple(L"8", tcflag_t { CS8 })));

class StopBitsRecord : public testing::TestWithParam<std::tuple<std::wstring, bool>> {};

TEST_P(StopBitsRecord, SetsCstopbForMoreThanOne)
{
    const auto& [text, twoStopBits] = GetParam();
    EXPECT_EQ((RecordFor(Settings(L"9600", L"无", L"8", text)).c_cflag & CSTOPB) != 0, twoStopBits);
}

INSTANTIATE_TEST_SUITE_P(List, StopBitsRecord, testing::Values(
    std::make_tuple(L"1", false), std::make_tuple(L"1.5", true), std::make_tuple(L"2", true)));

class ParityRecord : public testing::TestWithParam<std::tuple<std::wstring, tcflag_t>> {};

TEST_P(ParityRecord, SetsTheParityBits)
{
    const auto& [word, bits] = GetParam();
    EXPECT_EQ(RecordFor(Settings(L"9600", word)).c_cflag & (PARENB | PARODD | CMSPAR), bits);
}

INSTANTIATE_TEST_SUITE_P(Words, ParityRecord, testing::Values(
    std::make_tuple(L"无", tcflag_t { 0 }),
    std::make_tuple(L"奇校验", tcflag_t { PARENB }),             // even: see SerialSettings.h
    std::make_tuple(L"偶校验", tcflag_t { PARENB | PARODD }),    // odd
    std::make_tuple(L"标记", tcflag_t { PARENB | CMSPAR | PARODD }),
    std::make_tuple(L"空格", tcflag_t { PARENB | CMSPAR }),
    std::make_tuple(L"N", tcflag_t { 0 }),
    std::make_tuple(L"odd", tcflag_t { 0 })));

// --- raw mode and no flow control, whatever the device had before ---

TEST(RawRecord, ClearsCookedModeAndFlowControl)
{
    termios2 cooked {};
    cooked.c_iflag = ICRNL | INLCR | IGNCR | IXON | IXOFF | IXANY | INPCK | PARMRK | ISTRIP | BRKINT | IGNPAR;
    cooked.c_oflag = OPOST | ONLCR;
    cooked.c_lflag = ECHO | ECHOE | ECHONL | ICANON | ISIG | IEXTEN;
    cooked.c_cflag = B9600 | CS7 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    cooked.c_cc[VMIN] = 0;
    cooked.c_cc[VTIME] = 5;

    const termios2 raw = RecordFor(Settings(L"115200"), cooked);
    EXPECT_EQ(raw.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | IXANY | INPCK | PARMRK | ISTRIP | BRKINT | IGNPAR), 0u);
    EXPECT_EQ(raw.c_oflag & OPOST, 0u);
    EXPECT_EQ(raw.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(raw.c_cflag & (PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(raw.c_cflag & (CLOCAL | CREAD), tcflag_t { CLOCAL | CREAD });
    EXPECT_EQ(raw.c_cflag & CSIZE, tcflag_t { CS8 });
    EXPECT_EQ(raw.c_cc[VMIN], 1);
    EXPECT_EQ(raw.c_cc[VTIME], 0);
}

// --- on a pseudo-terminal, read back from the master ---

struct PtyCase {
    const wchar_t* baud;
    const wchar_t* parity;
    const wchar_t* dataBits;
    const wchar_t* stopBits;
    speed_t rate;
    tcflag_t keptParityBits; // PARODD and CMSPAR survive; the pty clears PARENB
    bool stopBitFlag;
};

class PtyReadback : public testing::TestWithParam<PtyCase> {};

TEST_P(PtyReadback, KeepsWhatAPtyKeeps)
{
    const PtyCase& c = GetParam();
    testsupport::PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(devicetest::PtySettings(pty, c.baud, c.parity, c.dataBits, c.stopBits),
                          CSerialPort::EV_RXCHAR))
        << port.GetLastOpenError();

    termios2 record {};
    ASSERT_EQ(ReadTermios2(pty.MasterFd(), record), 0);
    EXPECT_EQ(record.c_ospeed, c.rate);
    EXPECT_EQ(record.c_ispeed, c.rate);
    EXPECT_EQ(record.c_cflag & (PARODD | CMSPAR), c.keptParityBits);
    EXPECT_EQ((record.c_cflag & CSTOPB) != 0, c.stopBitFlag);
    EXPECT_EQ(record.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(record.c_iflag & (IXON | IXOFF | ICRNL | INPCK), 0u);
    EXPECT_EQ(record.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(record.c_oflag & OPOST, 0u);
    EXPECT_NE(record.c_cflag & CLOCAL, 0u);
}

INSTANTIATE_TEST_SUITE_P(Settings, PtyReadback, testing::Values(
    PtyCase { L"204800", L"偶校验", L"8", L"2", 204800, PARODD, true },
    PtyCase { L"9600", L"标记", L"7", L"1", 9600, PARODD | CMSPAR, false },
    PtyCase { L"115200", L"空格", L"8", L"1.5", 115200, CMSPAR, true },
    PtyCase { L"921600", L"奇校验", L"7", L"1", 921600, 0, false },
    PtyCase { L"1200", L"无", L"5", L"1", 1200, 0, false },
    PtyCase { L"250000", L"无", L"6", L"2", 250000, 0, true }));

TEST(PtyReadback, ReopeningWithAStandardRateLeavesBotherBehind)
{
    testsupport::PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(devicetest::PtySettings(pty, L"204800"), CSerialPort::EV_RXCHAR));
    port.Close();
    ASSERT_TRUE(port.Open(devicetest::PtySettings(pty, L"57600"), CSerialPort::EV_RXCHAR));
    termios2 record {};
    ASSERT_EQ(ReadTermios2(pty.MasterFd(), record), 0);
    EXPECT_EQ(record.c_cflag & CBAUD, tcflag_t { B57600 });
    EXPECT_EQ(record.c_ospeed, 57600u);
}

} // namespace
