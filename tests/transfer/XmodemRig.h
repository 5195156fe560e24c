// The pieces every sender test needs: a pty pair with a CXmodem, its test
// owner and its reply reader around it; recorders for the platform hooks;
// a temporary folder for the files to send. Built and used on the test
// thread; the recorders may be called from the worker.
#pragma once

#include "platform/UiHooks.h"
#include "tests/support/PtyPair.h"
#include "tests/transfer/PtyXmodemOwner.h"
#include "transfer/Xmodem.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace transfertest {

using namespace std::chrono_literals;

// Records message boxes from the moment it is built until it is destroyed.
// Build it before any rig, so that no worker is left when the hook goes.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<std::wstring> Messages() const;
    bool WaitForCount(size_t count, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<std::wstring> m_messages;
};

// Installs a UI dispatch hook for its lifetime. Build it before the rig, so
// that the worker is gone when the hook is removed.
class UiDispatchGuard {
public:
    explicit UiDispatchGuard(platform::UiDispatchHook hook) { platform::SetUiDispatchHook(std::move(hook)); }
    ~UiDispatchGuard() { platform::SetUiDispatchHook(nullptr); }
    UiDispatchGuard(const UiDispatchGuard&) = delete;
    UiDispatchGuard& operator=(const UiDispatchGuard&) = delete;
};

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Writes a file in the folder and returns its full path.
    std::filesystem::path WriteFile(const std::string& name, const std::vector<uint8_t>& content) const;

private:
    std::filesystem::path m_path;
};

std::wstring WidePath(const std::filesystem::path& path); // ASCII paths only
std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed);
std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);
// content followed by 0x1A up to a whole number of blocks.
std::vector<uint8_t> Padded(std::vector<uint8_t> content, int32_t blockSize);
// The progress a transfer of k blocks reports: 1/k ... 1.0, then 1.0.
std::vector<float> ExpectedProgress(size_t blocks);

// Declaration order matters: the reader stops first, then the sender joins
// its worker, then the owner and the pty go.
struct XmodemRig {
    explicit XmodemRig(uint32_t replyTimeoutMs = CXmodem::REPLY_TIMEOUT_MS);

    // Sets the mode and loads content as the file to send.
    void Load(int32_t mode, const std::vector<uint8_t>& content);
    // Plays the receiver: one reply byte.
    void Reply(uint8_t b);
    // The next count bytes the sender wrote (fewer if 5 s pass first).
    std::vector<uint8_t> Read(size_t count);
    // Everything the sender writes until the line is quiet for `quiet`.
    std::vector<uint8_t> ReadQuiet(std::chrono::milliseconds quiet = 200ms);
    bool WaitUntilIdle(std::chrono::milliseconds timeout = 5s) const;

    TempDir dir;
    testsupport::PtyPair pty;
    PtyXmodemOwner owner;
    CXmodem xmodem;
    PtyReplyReader reader;
};

// One block as the receiver must see it, built independently of the sender.
std::vector<uint8_t> ExpectedBlock(int32_t mode, uint8_t number, const uint8_t* data);

} // namespace transfertest
