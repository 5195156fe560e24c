// The built-in demo board behind --demo: a pseudo-terminal whose far end is
// a simulated board (CBoardProtocol), served by a thread of its own for the
// board's whole life. COM1 is mapped to the terminal's slave side through
// the device layer's port overrides, so connecting to COM1 reaches it.
// Create and destroy it on one thread; the board thread touches nothing else.
#pragma once

#include "platform/UniqueFd.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

class CBoardProtocol;

class CDemoBoard {
    // Lets only Create construct a board (through make_unique).
    class Key {
        friend class CDemoBoard;
        Key() = default;
    };

public:
    static constexpr int DEMO_PORT = 1;
    // How often a board nobody has open looks whether someone opened it.
    static constexpr std::chrono::milliseconds HANG_UP_POLL { 50 };
    // The program configures and flushes the port right after opening it:
    // greet it only once that is over, or the banner is flushed away.
    static constexpr std::chrono::milliseconds OPEN_SETTLE { 100 };

    // Null, with a one-line reason, when the board can't be set up.
    static std::unique_ptr<CDemoBoard> Create(std::string& error);
    ~CDemoBoard();
    CDemoBoard(const CDemoBoard&) = delete;
    CDemoBoard& operator=(const CDemoBoard&) = delete;

    explicit CDemoBoard(Key) {}

    // The device path COM1 now resolves to.
    const std::string& GetPortPath() const { return m_strSlavePath; }

private:
    bool OpenTerminal(std::string& error);
    void Run();
    // False when the board is to stop.
    bool WaitForOpen();
    // Serves one opening of the port; false when the board is to stop,
    // true when the port was let go.
    bool Serve(CBoardProtocol& protocol);
    bool IsHungUp() const;
    // Waits up to `time`; true when the board is to stop.
    bool StopRequested(std::chrono::milliseconds time) const;

    UniqueFd m_master;
    UniqueFd m_stopEvent;
    std::string m_strSlavePath;
    std::thread m_thread;
};
