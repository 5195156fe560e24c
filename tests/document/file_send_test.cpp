// Programming a board through the whole road: document, device, pty, and
// lrzsz rx as the receiver.
#include "tests/document/DocFixture.h"
#include "tests/support/RxRunner.h"

#include <fstream>
#include <iterator>
#include <random>

namespace {

class ProgressRecorder : public CProgressSink {
public:
    void SetProgress(float fraction) override
    {
        std::lock_guard lock(m_lock);
        m_values.push_back(fraction);
    }
    std::vector<float> Values()
    {
        std::lock_guard lock(m_lock);
        return m_values;
    }

private:
    std::mutex m_lock;
    std::vector<float> m_values;
};

struct SendCase {
    int mode;
    size_t size;
    size_t blockSize;
};

class FileSend : public DocFixture, public ::testing::WithParamInterface<SendCase> { };

TEST_P(FileSend, ReceiverGetsTheFilePaddedToWholeBlocks)
{
    const SendCase c = GetParam();
    std::vector<uint8_t> source(c.size);
    std::mt19937 random(static_cast<unsigned>(c.size));
    for (auto& b : source)
        b = static_cast<uint8_t>(random());
    const auto sourcePath = m_dir / "image.bin";
    std::ofstream(sourcePath, std::ios::binary).write(reinterpret_cast<const char*>(source.data()), static_cast<std::streamsize>(source.size()));
    const auto rxDir = m_dir / "rx";
    std::filesystem::create_directories(rxDir);

    ProgressRecorder progress;
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->SetProgressSink(&progress);
    const std::string path = sourcePath.string();
    m_doc->m_sendPath = std::wstring(path.begin(), path.end());
    m_doc->StartFileSend(c.mode);

    std::vector<std::string> args;
    if (c.mode != 0)
        args.push_back("-c");
    args.push_back("received.bin");
    testsupport::RxRunner rx(m_pty.MasterFd(), args, rxDir.string());
    ASSERT_EQ(rx.Wait(std::chrono::seconds(60)), 0);
    ASSERT_TRUE(WaitUntil([&] { auto v = progress.Values(); return v.size() >= 2 && v.back() == 1.0f; }));

    std::ifstream in(rxDir / "received.bin", std::ios::binary);
    const std::vector<uint8_t> received { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    const size_t blocks = (c.size + c.blockSize - 1) / c.blockSize;
    auto expected = source;
    expected.resize(blocks * c.blockSize, 0x1A);
    EXPECT_EQ(received, expected);

    const auto values = progress.Values();
    ASSERT_EQ(values.size(), blocks + 1);
    for (size_t k = 0; k < blocks; ++k)
        EXPECT_FLOAT_EQ(values[k], static_cast<float>(static_cast<double>((k + 1) * c.blockSize) / static_cast<double>(blocks * c.blockSize)));
    EXPECT_EQ(values[blocks - 1], 1.0f);
    EXPECT_EQ(values[blocks], 1.0f);
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Modes, FileSend,
    ::testing::Values(SendCase { 0, 3000, 128 }, SendCase { 1, 3000, 128 }, SendCase { 2, 70000, 1024 }));

TEST_F(DocFixture, UnreadableFileToSendStartsNothing)
{
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->m_sendPath = L"/nonexistent/image.bin";
    m_doc->StartFileSend(2);
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Please select a file to send!");
    m_doc->CancelFileSend();
    EXPECT_TRUE(m_pty.ReadUntilQuiet(std::chrono::milliseconds(100)).empty());
}

} // namespace

// A document opened from a file (a start-up argument, Open) never runs the
// new-document hook; its sender must still have an owner to write through.
TEST_F(DocFixture, DocumentOpenedFromFileSendsAndCancels)
{
    const auto opened = m_dir / "opened.taliard";
    std::ofstream(opened).put('x');
    CTaliardDoc doc;
    doc.SetDocumentTemplate(m_template);
    ASSERT_TRUE(doc.OnOpenDocument(opened.string()));
    doc.m_settings = m_doc->m_settings;
    const auto image = m_dir / "image.bin";
    std::ofstream(image, std::ios::binary).write("0123456789", 10);
    doc.m_sendPath = image.wstring();

    ASSERT_EQ(doc.Connect(), 1);
    doc.StartFileSend(1);
    ASSERT_TRUE(m_pty.WriteToPort("C"));
    EXPECT_EQ(m_pty.ReadFromPort(133, std::chrono::seconds(10)).size(), 133u);
    ASSERT_TRUE(m_pty.WriteToPort("\x15"));
    EXPECT_EQ(m_pty.ReadFromPort(133, std::chrono::seconds(10)).size(), 133u);
    doc.CancelFileSend();
    EXPECT_EQ(m_pty.ReadUntilQuiet(std::chrono::milliseconds(200)), std::vector<uint8_t> { 0x18 });
    doc.Disconnect();
}
