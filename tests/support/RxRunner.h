// Runs lrzsz `rx` as the far end of a PtyPair. rx talks through pipes, not a
// tty (on a tty it discards its input after every ACK); two pump threads copy
// the pty master to rx's stdin and rx's stdout back to the master.
// Create it from the test thread after the sender is waiting: rx sends its
// first start byte at once and the next only 14 s later.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class RxRunner {
public:
    // Starts `rx args...` with workDir as its working folder and its
    // standard error in workDir/rx.log. Throws std::runtime_error, naming
    // the Debian package lrzsz, when rx can't be started.
    RxRunner(int masterFd, const std::vector<std::string>& args, const std::string& workDir);
    // Kills rx if it still runs and stops the pumps.
    ~RxRunner();
    RxRunner(const RxRunner&) = delete;
    RxRunner& operator=(const RxRunner&) = delete;

    // rx's exit status, or -1 if it has not exited within timeout (or died
    // of a signal).
    int Wait(std::chrono::milliseconds timeout);

private:
    void PumpToRx();
    void PumpFromRx();

    int m_masterFd;
    int m_toRx = -1;   // our end of rx's stdin
    int m_fromRx = -1; // our end of rx's stdout
    int m_stopFd = -1; // eventfd: ends PumpToRx
    pid_t m_pid = -1;
    int m_status = -1;
    std::thread m_toRxThread;
    std::thread m_fromRxThread;
};

} // namespace testsupport
