// The configuration bar's capture and XMODEM file-send controls and its
// progress sink, with a pty-backed COM1 and lrzsz `rx` as the receiver.
#include "tests/ui/support/ConfigBarFixture.h"

#include "tests/support/RxRunner.h"
#include "tests/ui/support/EventPump.h"
#include "ui/GradientProgressCtrl.h"
#include "ui/Resource.h"

#include <wx/filedlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <random>

namespace {

using namespace std::chrono_literals;
using testsupport::BytesOf;
using testsupport::ConfigBarTest;
using testsupport::PumpEventsUntil;
using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

// ---- capture ----

TEST_F(ConfigBarTest, CaptureButtonSwitchesCaptureAndLocksTheBrowseButton)
{
    Click(IDC_BUTTON_CAPTURE);
    EXPECT_EQ(Caption(IDC_BUTTON_CAPTURE), L"停止");
    EXPECT_TRUE(m_doc->IsCapturing());

    m_dialogAnswer = wxString((m_tempDir / "locked.dat").string());
    Click(IDC_BUTTON_BROWSE_CAPTURE);
    EXPECT_TRUE(m_dialogRequests.empty());
    EXPECT_TRUE(m_doc->GetCapturePath().empty());

    Click(IDC_BUTTON_CAPTURE);
    EXPECT_EQ(Caption(IDC_BUTTON_CAPTURE), L"保存");
    EXPECT_FALSE(m_doc->IsCapturing());
}

TEST_F(ConfigBarTest, ChoosingACaptureFileEmptiesItAndShowsIt)
{
    const std::filesystem::path file = m_tempDir / "old.dat";
    WriteWholeFile(file, BytesOf("earlier capture"));
    m_dialogAnswer = wxString(file.string());

    Click(IDC_BUTTON_BROWSE_CAPTURE);

    ASSERT_EQ(m_dialogRequests.size(), 1u);
    EXPECT_EQ(m_dialogRequests[0].style, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    EXPECT_EQ(m_dialogRequests[0].wildcard, L"Dat Files (*.dat)|*.dat|Txt Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(m_doc->GetCapturePath(), file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_CAPTURE_FILE)->GetValue(), file.string());

    // The next dialog starts from the current file; cancelling keeps it.
    m_dialogAnswer.reset();
    Click(IDC_BUTTON_BROWSE_CAPTURE);
    ASSERT_EQ(m_dialogRequests.size(), 2u);
    EXPECT_EQ(m_dialogRequests[1].defaultDir, m_tempDir.string());
    EXPECT_EQ(m_dialogRequests[1].defaultFile, L"old.dat");
    EXPECT_EQ(m_doc->GetCapturePath(), file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_CAPTURE_FILE)->GetValue(), file.string());
}

TEST_F(ConfigBarTest, CapturedBytesLandInTheChosenFile)
{
    const std::filesystem::path file = m_tempDir / "capture.txt";
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_CAPTURE);
    Connect();
    Click(IDC_BUTTON_CAPTURE);
    ASSERT_TRUE(m_pty.WriteToPort("hello board"));
    ASSERT_TRUE(PumpEventsUntil(
        [&] {
            ReceiveSlice slice;
            m_doc->CopyReceived(0, 0, slice);
            return slice.bytes.size() >= 11;
        },
        2s));
    Click(IDC_BUTTON_CAPTURE);
    EXPECT_EQ(ReadWholeFile(file), BytesOf("hello board"));
}

// ---- file transfer ----

TEST_F(ConfigBarTest, SendWithoutAFileAsksForOne)
{
    Click(IDC_BUTTON_SEND_FILE);
    EXPECT_EQ(m_messages, std::vector<std::wstring> { L"请选择要发送的文件！" });
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
}

TEST_F(ConfigBarTest, BrowsingForTheFileToSendShowsItAndCancelKeepsIt)
{
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteWholeFile(file, BytesOf("x"));
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    ASSERT_EQ(m_dialogRequests.size(), 1u);
    EXPECT_EQ(m_dialogRequests[0].style, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    EXPECT_EQ(m_dialogRequests[0].wildcard, L"bin Files (*.bin)|*.bin|Dat Files (*.dat)|*.dat|All Files (*.*)|*.*");
    EXPECT_EQ(m_doc->m_sendPath, file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_SEND_FILE)->GetValue(), file.string());

    m_dialogAnswer.reset();
    Click(IDC_BUTTON_BROWSE_SEND);
    EXPECT_EQ(m_doc->m_sendPath, file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_SEND_FILE)->GetValue(), file.string());
}

TEST_F(ConfigBarTest, CancelTurnsTheSendButtonBack)
{
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteWholeFile(file, BytesOf("payload"));
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    Connect();
    Click(IDC_BUTTON_SEND_FILE);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    Click(IDC_BUTTON_SEND_FILE);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
}

struct TransferCase {
    int radioId;
    std::vector<std::string> rxOptions;
    size_t blockSize;
};

void PrintTo(const TransferCase& c, std::ostream* os)
{
    *os << "radio " << c.radioId;
}

class ConfigBarTransferTest : public ConfigBarTest, public testing::WithParamInterface<TransferCase> {};

TEST_P(ConfigBarTransferTest, RunsToFullAndTurnsTheButtonBack)
{
    std::vector<uint8_t> source(3000);
    std::mt19937 random(7);
    for (uint8_t& byte : source)
        byte = static_cast<uint8_t>(random());
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteWholeFile(file, source);
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    Get<wxRadioButton>(GetParam().radioId)->SetValue(true);
    Connect();

    Click(IDC_BUTTON_SEND_FILE);
    ASSERT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    const std::filesystem::path rxDir = m_tempDir / "rx";
    std::filesystem::create_directory(rxDir);
    std::vector<std::string> rxArgs = GetParam().rxOptions;
    rxArgs.push_back("received.bin");
    testsupport::RxRunner rx(m_pty.MasterFd(), rxArgs, rxDir.string());

    ASSERT_TRUE(PumpEventsUntil([&] { return Caption(IDC_BUTTON_SEND_FILE) == L"发送"; }, 30s))
        << "the transfer did not finish";
    EXPECT_EQ(Get<CGradientProgressCtrl>(IDC_PROGRESS)->GetPos(), 100);
    EXPECT_EQ(rx.Wait(10s), 0);
    std::vector<uint8_t> expected = source;
    expected.resize((source.size() + GetParam().blockSize - 1) / GetParam().blockSize * GetParam().blockSize, 0x1A);
    EXPECT_EQ(ReadWholeFile(rxDir / "received.bin"), expected);
    EXPECT_TRUE(m_messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    AllVariants, ConfigBarTransferTest,
    testing::Values(TransferCase { IDC_RADIO_XMODEM_SUM, {}, 128 }, TransferCase { IDC_RADIO_XMODEM_CRC, { "-c" }, 128 },
                    TransferCase { IDC_RADIO_XMODEM_1KCRC, { "-c" }, 1024 }));

TEST_F(ConfigBarTest, SetProgressPositionsTheBarAndOnlyFullRestoresTheCaption)
{
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteWholeFile(file, BytesOf("payload"));
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    Click(IDC_BUTTON_SEND_FILE);
    ASSERT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    const auto* progress = Get<CGradientProgressCtrl>(IDC_PROGRESS);

    m_bar->SetProgress(0.5f);
    EXPECT_EQ(progress->GetPos(), 50);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    m_bar->SetProgress(0.0f);
    EXPECT_EQ(progress->GetPos(), 0);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    m_bar->SetProgress(0.29f);
    EXPECT_EQ(progress->GetPos(), 28);
    m_bar->SetProgress(1.0f);
    EXPECT_EQ(progress->GetPos(), 100);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
    m_bar->SetProgress(0.0f);
    EXPECT_EQ(progress->GetPos(), 0);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
}

} // namespace
