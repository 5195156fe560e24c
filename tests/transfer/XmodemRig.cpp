#include "tests/transfer/XmodemRig.h"

#include "transfer/Crc16.h"
#include "transfer/XmodemBlock.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>

namespace transfertest {

MessageBoxRecorder::MessageBoxRecorder()
{
    platform::SetMessageBoxHook([this](const std::wstring& text, platform::MessageIcon) {
        {
            std::lock_guard lock(m_mutex);
            m_messages.push_back(text);
        }
        m_changed.notify_all();
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    platform::SetMessageBoxHook(nullptr);
}

std::vector<std::wstring> MessageBoxRecorder::Messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

bool MessageBoxRecorder::WaitForCount(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_messages.size() >= count; });
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "taliard-transfer-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp() failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::WriteFile(const std::string& name, const std::vector<uint8_t>& content) const
{
    const std::filesystem::path path = m_path / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    return path;
}

std::wstring WidePath(const std::filesystem::path& path)
{
    const std::string text = path.string();
    return std::wstring(text.begin(), text.end());
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(generator());
    return bytes;
}

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Padded(std::vector<uint8_t> content, int32_t blockSize)
{
    const auto block = static_cast<size_t>(blockSize);
    content.resize((content.size() + block - 1) / block * block, 0x1A);
    return content;
}

std::vector<float> ExpectedProgress(size_t blocks)
{
    std::vector<float> progress;
    for (size_t i = 1; i <= blocks; ++i)
        progress.push_back(static_cast<float>(static_cast<double>(i) / static_cast<double>(blocks)));
    progress.push_back(1.0f);
    return progress;
}

XmodemRig::XmodemRig(uint32_t replyTimeoutMs)
    : owner(pty.SlavePath())
    , xmodem(replyTimeoutMs)
    , reader(pty.SlavePath(), xmodem)
{
    owner.SetCancelFlag(xmodem.CancelFlag());
    xmodem.SetOwner(&owner);
}

void XmodemRig::Load(int32_t mode, const std::vector<uint8_t>& content)
{
    xmodem.SetMode(mode);
    if (!xmodem.LoadFile(WidePath(dir.WriteFile("send.bin", content))))
        throw std::runtime_error("LoadFile() refused the test file");
}

void XmodemRig::Reply(uint8_t b)
{
    pty.WriteToPort(&b, 1);
}

std::vector<uint8_t> XmodemRig::Read(size_t count)
{
    return pty.ReadFromPort(count, 5s);
}

std::vector<uint8_t> XmodemRig::ReadQuiet(std::chrono::milliseconds quiet)
{
    return pty.ReadUntilQuiet(quiet);
}

bool XmodemRig::WaitUntilIdle(std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (xmodem.IsRunning()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::vector<uint8_t> ExpectedBlock(int32_t mode, uint8_t number, const uint8_t* data)
{
    const XmodemModeInfo& info = GetXmodemModeInfo(mode);
    const auto size = static_cast<size_t>(info.nBlockSize);
    std::vector<uint8_t> block(3 + size + static_cast<size_t>(info.nCheckLen));
    block[0] = info.header;
    block[1] = number;
    block[2] = static_cast<uint8_t>(~number);
    std::copy(data, data + size, block.begin() + 3);
    if (mode == XMODEM_SUM) {
        unsigned sum = 0;
        for (size_t i = 0; i < size; ++i)
            sum += data[i];
        block[3 + size] = static_cast<uint8_t>(sum);
    } else {
        const uint16_t crc = Crc16(data, size);
        block[3 + size] = static_cast<uint8_t>(crc >> 8);
        block[4 + size] = static_cast<uint8_t>(crc);
    }
    return block;
}

} // namespace transfertest
