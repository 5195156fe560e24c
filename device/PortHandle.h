// One open serial device: opened so that no other program can share it,
// configured from a line state, its original settings put back at close.
// CSerialPort opens and closes it under its own locks; the descriptor is
// then used by the port thread (reads) and by writers.
#pragma once

#include "device/LineState.h"
#include "device/OpenFailure.h"
#include "platform/UniqueFd.h"

#include <memory>
#include <string>

struct termios2; // <asm/termbits.h> stays out of this header: see LineTermios.h

class PortHandle {
public:
    PortHandle();
    ~PortHandle();
    PortHandle(const PortHandle&) = delete;
    PortHandle& operator=(const PortHandle&) = delete;

    // False, with nothing left open, on any failure; `failure` tells why.
    bool Open(const std::string& path, const LineState& line, OpenFailure& failure);
    // Puts the original line settings back and closes; no effect when closed.
    void Close();
    int Get() const { return m_fd.Get(); }

private:
    UniqueFd m_fd;
    std::unique_ptr<termios2> m_pSavedLine;
};
