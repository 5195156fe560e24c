// The file to send changes between choosing it and sending it: it vanishes,
// it stops being readable, or it is a sparse file of 2 GiB.
#include "tests/document/DocFixture.h"
#include "tests/reliability/ReliabilitySupport.h"
#include "transfer/XmodemBlock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace reliability;

const std::wstring SELECT_A_FILE = L"Please select a file to send!";
const std::wstring TOO_LARGE = L"发送的文件必须小于2GB，请重新选择！";

class SendFileFault : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        ASSERT_EQ(m_doc->Connect(), 1);
        m_file = m_dir / "image.bin";
        WriteFile(m_file, StreamBytes(0, 3000));
        m_doc->m_sendPath = Wide(m_file); // chosen
    }

    // Nothing was started: a start byte brings no block.
    void ExpectNoTransfer()
    {
        ASSERT_TRUE(m_pty.WriteToPort(std::string("C")));
        EXPECT_TRUE(m_pty.ReadUntilQuiet(300ms).empty());
    }

    void ExpectOnlyMessage(const std::wstring& text)
    {
        const auto messages = Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, text);
    }

    std::filesystem::path m_file;
};

TEST_F(SendFileFault, FileVanishedBeforeSending)
{
    std::filesystem::remove(m_file);
    m_doc->StartFileSend(XMODEM_1KCRC);
    ExpectOnlyMessage(SELECT_A_FILE);
    ExpectNoTransfer();
}

TEST_F(SendFileFault, FileReplacedByAFolderBeforeSending)
{
    std::filesystem::remove(m_file);
    std::filesystem::create_directory(m_file);
    m_doc->StartFileSend(XMODEM_CRC);
    ExpectOnlyMessage(SELECT_A_FILE);
    ExpectNoTransfer();
}

TEST_F(SendFileFault, FileLostItsReadPermissionBeforeSending)
{
    std::filesystem::permissions(m_file, std::filesystem::perms::none);
    if (access(m_file.c_str(), R_OK) == 0) {
        // Root reads regardless of the mode bits; a path that is no
        // readable file (a directory, no entry) stands in for one.
        std::filesystem::remove(m_file);
        std::filesystem::create_directory(m_file);
    }
    m_doc->StartFileSend(XMODEM_1KCRC);
    ExpectOnlyMessage(SELECT_A_FILE);
    ExpectNoTransfer();
}

TEST_F(SendFileFault, FileReplacedByAFifoNobodyWritesIsRefusedWithoutBlocking)
{
    std::filesystem::remove(m_file);
    ASSERT_EQ(mkfifo(m_file.c_str(), 0600), 0);
    std::atomic<bool> done { false };
    std::thread send([&] {
        m_doc->StartFileSend(XMODEM_1KCRC);
        done = true;
    });
    const bool returned = WaitUntil([&] { return done.load(); });
    if (!returned) // a writer ends the wait in open()
        close(open(m_file.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    send.join();
    ASSERT_TRUE(returned);
    ExpectOnlyMessage(SELECT_A_FILE);
    ExpectNoTransfer();
}

TEST_F(SendFileFault, SparseFileOfTwoGibibytesIsRefusedWithoutAllocating)
{
    {
        const int fd = open(m_file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, off_t { 1 } << 31), 0);
        close(fd);
    }
    const uint64_t rssBefore = CountProcessResources().rssKiB;
    m_doc->StartFileSend(XMODEM_1KCRC);
    ExpectOnlyMessage(TOO_LARGE);
    // Far below the file's size: the refusal came before reading it.
    EXPECT_LT(CountProcessResources().rssKiB, rssBefore + 64 * 1024);
    ExpectNoTransfer();
}

} // namespace
