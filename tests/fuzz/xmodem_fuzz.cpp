// Fuzzes the XMODEM sender with a sequence of replies, silences, cancels and
// line drops, and checks what went on the line: block numbers and
// complements consistent and in order, no block sent more than the limit,
// exactly one CAN after a failure or a cancel once blocks went out and none
// before, EOT only after the last block, and the worker always ends.
#include "platform/UiHooks.h"
#include "transfer/Xmodem.h"
#include "transfer/XmodemBlock.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t REPLY_TIMEOUT_MS = 2;
constexpr size_t MAX_OPS = 48;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

class RecordingOwner : public CXmodemOwner {
public:
    void WriteBytes(const uint8_t* data, int32_t length) override
    {
        std::lock_guard lock(m_lock);
        m_writes.emplace_back(data, data + length);
    }
    void OnSendProgress(float fraction) override
    {
        Check(fraction > 0.0f && fraction <= 1.0f);
        ++m_nProgress;
    }
    void OnSendComplete() override { ++m_nComplete; }
    void OnSendFailed() override { ++m_nFailed; }
    void AbortWrites() override { }
    void ResumeWrites() override { }
    bool IsLineDown() override { return m_bLineDown; }

    size_t WriteCount()
    {
        std::lock_guard lock(m_lock);
        return m_writes.size();
    }

    std::mutex m_lock;
    std::vector<std::vector<uint8_t>> m_writes;
    std::atomic<int> m_nProgress { 0 };
    std::atomic<int> m_nComplete { 0 };
    std::atomic<int> m_nFailed { 0 };
    std::atomic<bool> m_bLineDown { false };
};

std::string ImagePath()
{
    return "/tmp/taliard-xmodem-fuzz-" + std::to_string(getpid()) + ".bin";
}

// What the owner saw, once the worker has ended.
void CheckLine(int32_t mode, const std::vector<uint8_t>& image, RecordingOwner& owner)
{
    const XmodemModeInfo& info = GetXmodemModeInfo(mode);
    const auto blockSize = static_cast<size_t>(info.nBlockSize);
    const size_t blockCount = (image.size() + blockSize - 1) / blockSize;
    std::vector<uint8_t> padded = image;
    padded.resize(blockCount * blockSize, CXmodem::PAD_BYTE);
    std::vector<uint8_t> expected(static_cast<size_t>(XmodemBlockLength(mode)));

    size_t blocksSeen = 0; // index of the current block plus one
    int sendsOfCurrent = 0;
    int cans = 0;
    int eots = 0;
    for (const auto& write : owner.m_writes) {
        Check(cans == 0 && eots == 0); // nothing after CAN or EOT
        if (write.size() == 1) {
            Check(write[0] == XMODEM_CAN || write[0] == XMODEM_EOT);
            (write[0] == XMODEM_CAN ? cans : eots) += 1;
            continue;
        }
        Check(write.size() == expected.size());
        Check(write[0] == info.header);
        Check(static_cast<uint8_t>(write[1] + write[2]) == 0xFF);
        if (blocksSeen > 0 && write[1] == static_cast<uint8_t>(blocksSeen)) {
            ++sendsOfCurrent; // a resend
        } else {
            ++blocksSeen;
            sendsOfCurrent = 1;
        }
        Check(blocksSeen <= blockCount);
        Check(write[1] == static_cast<uint8_t>(blocksSeen));
        Check(sendsOfCurrent <= CXmodem::MAX_NAK_COUNT);
        BuildXmodemBlock(mode, write[1], std::span(padded).subspan((blocksSeen - 1) * blockSize, blockSize), expected);
        Check(write == expected);
    }
    Check(owner.m_nComplete + owner.m_nFailed <= 1);
    Check(eots == (owner.m_nComplete != 0 ? 1 : 0));
    if (eots != 0)
        Check(blocksSeen == blockCount && owner.m_nProgress == static_cast<int>(blockCount));
    if (owner.m_nFailed != 0)
        Check(cans == 1);
    // A cancel before the start sends nothing at all; one after it, a CAN.
    if (blocksSeen == 0)
        Check(cans == 0);
    else if (eots == 0)
        Check(cans == 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    platform::SetMessageBoxHook([](const std::wstring&, platform::MessageIcon) { });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const auto mode = static_cast<int32_t>(data[0] % 3);
    const int32_t blockSize = GetXmodemModeInfo(mode).nBlockSize;
    // One to four blocks, the last one short by some bytes.
    std::vector<uint8_t> image(static_cast<size_t>(blockSize * (1 + data[1] % 4) - data[1] / 4 % blockSize));
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 31 + data[1]);
    const std::string path = ImagePath();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));

    RecordingOwner owner;
    {
        CXmodem sender(REPLY_TIMEOUT_MS);
        sender.SetOwner(&owner);
        sender.SetMode(mode);
        Check(sender.LoadFile(std::wstring(path.begin(), path.end())));
        sender.Start();
        const uint8_t startByte = GetXmodemModeInfo(mode).startByte;
        for (size_t i = 2; i < size && i < 2 + MAX_OPS; ++i) {
            const uint8_t op = data[i];
            switch (op % 8) {
            case 0: sender.OnReply(XMODEM_ACK); break;
            case 1: sender.OnReply(XMODEM_NAK); break;
            case 2: sender.OnReply(XMODEM_CAN); break;
            case 3: sender.OnReply(startByte); break;
            case 4: sender.OnReply(op); break;
            case 5: std::this_thread::sleep_for(std::chrono::milliseconds(REPLY_TIMEOUT_MS + op % 4)); break;
            case 6: sender.Stop(); break;
            case 7: owner.m_bLineDown = !owner.m_bLineDown; break;
            }
            std::this_thread::sleep_for(200us);
        }
        sender.Stop();
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (sender.IsRunning())
            Check(std::chrono::steady_clock::now() < deadline); // the worker must end
    } // joins the worker
    CheckLine(mode, image, owner);
    return 0;
}
