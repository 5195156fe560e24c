// A pseudo-terminal pair standing in for a serial cable in tests: the code
// under test opens SlavePath(); the test plays the far end on the master.
// The master is raw and non-blocking; helpers below wait with poll.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    int MasterFd() const { return m_master; }

    // Writes everything, waiting for room; false if the time ran out.
    bool WriteToPort(const void* data, size_t length,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool WriteToPort(const std::string& text) { return WriteToPort(text.data(), text.size()); }
    // Reads until count bytes arrived or the time ran out; returns what came.
    std::vector<uint8_t> ReadFromPort(size_t count, std::chrono::milliseconds timeout);
    // Reads whatever arrives until the line has been quiet for `quiet`.
    std::vector<uint8_t> ReadUntilQuiet(std::chrono::milliseconds quiet);
    // Closes the master: the slave side then sees a hang-up.
    void CloseMaster();

private:
    int m_master = -1;
    int m_slaveKeeper = -1; // keeps the slave alive so early master writes are not lost
    std::string m_slavePath;
};

} // namespace testsupport
