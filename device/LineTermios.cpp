#include "device/LineTermios.h"

#include <sys/ioctl.h>

#include <array>
#include <cerrno>
#include <utility>

namespace {

// Rates with a Bnnn constant; a driver takes these without BOTHER.
constexpr std::array<std::pair<uint32_t, tcflag_t>, 30> STANDARD_RATES { {
    { 50, B50 }, { 75, B75 }, { 110, B110 }, { 134, B134 }, { 150, B150 },
    { 200, B200 }, { 300, B300 }, { 600, B600 }, { 1200, B1200 }, { 1800, B1800 },
    { 2400, B2400 }, { 4800, B4800 }, { 9600, B9600 }, { 19200, B19200 },
    { 38400, B38400 }, { 57600, B57600 }, { 115200, B115200 }, { 230400, B230400 },
    { 460800, B460800 }, { 500000, B500000 }, { 576000, B576000 }, { 921600, B921600 },
    { 1000000, B1000000 }, { 1152000, B1152000 }, { 1500000, B1500000 },
    { 2000000, B2000000 }, { 2500000, B2500000 }, { 3000000, B3000000 },
    { 3500000, B3500000 }, { 4000000, B4000000 },
} };

tcflag_t RateBits(uint32_t rate)
{
    for (const auto& [standard, bits] : STANDARD_RATES) {
        if (standard == rate)
            return bits;
    }
    return BOTHER;
}

tcflag_t SizeBits(uint8_t dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

tcflag_t ParityBits(Parity parity)
{
    switch (parity) {
    case Parity::Even: return PARENB;
    case Parity::Odd: return PARENB | PARODD;
    case Parity::Mark: return PARENB | CMSPAR | PARODD;
    case Parity::Space: return PARENB | CMSPAR;
    case Parity::None: break;
    }
    return 0;
}

} // namespace

termios2 TermiosFromLineState(const LineState& line, const termios2& current)
{
    termios2 record = current;
    record.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP
        | INLCR | IGNCR | ICRNL | IUCLC | IXON | IXANY | IXOFF | IMAXBEL);
    record.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    record.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);

    // Clearing CIBAUD makes the input rate follow the output rate.
    record.c_cflag &= ~static_cast<tcflag_t>(CBAUD | CIBAUD | CSIZE | PARENB | PARODD | CMSPAR
        | CSTOPB | CRTSCTS);
    record.c_cflag |= CLOCAL | CREAD | RateBits(line.nBaudRate) | SizeBits(line.nDataBits)
        | ParityBits(line.parity);
    // With 5 data bits the hardware makes CSTOPB 1.5 stop bits.
    if (line.stopBits != StopBits::One)
        record.c_cflag |= CSTOPB;
    record.c_ispeed = line.nBaudRate;
    record.c_ospeed = line.nBaudRate;

    record.c_cc[VMIN] = 1;
    record.c_cc[VTIME] = 0;
    return record;
}

int ReadTermios2(int fd, termios2& record)
{
    return ioctl(fd, TCGETS2, &record) == 0 ? 0 : errno;
}

int WriteTermios2(int fd, const termios2& record)
{
    return ioctl(fd, TCSETS2, &record) == 0 ? 0 : errno;
}
