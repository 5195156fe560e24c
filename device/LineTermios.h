// The line state as the kernel's termios2 record (<asm/termbits.h>): built
// by a pure function, read from and written to a device with TCGETS2 and
// TCSETS2. The kernel header defines its own struct termios, so this header
// cannot share a translation unit with glibc's <termios.h>: include it only
// where <termios.h> is not used. Any thread.
#pragma once

#include "device/LineState.h"

#include <asm/termbits.h>

// The record that puts `line` on a device whose current record is `current`:
// raw mode (no echo, no canonical input, no signals, no CR/NL translation,
// no output processing), CLOCAL | CREAD, the data bits, parity (mark is
// PARENB|CMSPAR|PARODD, space is PARENB|CMSPAR), CSTOPB for 1.5 and 2 stop
// bits, no flow control of any kind, one byte makes a read ready. Standard
// rates use Bnnn, every other rate BOTHER with the rate in c_ispeed/c_ospeed.
// Bytes with parity or framing errors are passed up as received.
termios2 TermiosFromLineState(const LineState& line, const termios2& current);

// 0 on success, otherwise the errno of the ioctl.
int ReadTermios2(int fd, termios2& record);
int WriteTermios2(int fd, const termios2& record);
