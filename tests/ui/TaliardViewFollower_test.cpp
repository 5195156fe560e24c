#include "ui/TaliardViewFollower.h"

#include "document/CTaliardDoc.h"
#include "ui/ReceiveTextDecoder.h"

#include "tests/ui/support/ScopedUtf8Locale.h"

#include <gtest/gtest.h>
#include <wx/init.h>

#include <clocale>
#include <random>
#include <string>
#include <vector>

namespace {

// The document's receive buffer, a pane as a string, and the follower
// between them. Cases are written for UTF-8.
class TaliardViewFollowerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_locale.IsActive()) << "the C.UTF-8 locale is missing (Debian package libc-bin)"; }

    void Receive(const std::string& bytes)
    {
        m_doc.HandleReceivedRun(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        m_doc.CopyReceived(0, 0, m_buffer);
    }

    // One refresh; returns the edit it made.
    PaneEdit Refresh()
    {
        ReceiveSlice slice;
        m_doc.CopyReceived(m_follower.WantFirst(), m_follower.WantFrom(), slice);
        PaneEdit edit = m_follower.Follow(slice);
        if (edit.rewrite) {
            m_pane = edit.text;
        } else {
            EXPECT_LE(edit.drop + edit.keep, m_pane.size());
            m_pane.erase(0, edit.drop);
            m_pane.resize(edit.keep);
            m_pane += edit.text;
        }
        return edit;
    }

    std::wstring WholeBufferText() const { return DecodeReceivedText(m_buffer.bytes.data(), m_buffer.bytes.size()); }

    wxInitializer m_wx;
    CTaliardDoc m_doc;
    ReceiveSlice m_buffer; // the whole buffer after the last Receive
    std::wstring m_pane;
    CTaliardViewFollower m_follower;

private:
    testsupport::ScopedUtf8Locale m_locale;
};

TEST_F(TaliardViewFollowerTest, AfterTheFirstRefreshOnlyWhatArrivedIsAppended)
{
    Receive("boot\r\n");
    EXPECT_TRUE(Refresh().rewrite);
    Receive("DRAM: 512 MiB\r\n");
    const PaneEdit edit = Refresh();
    EXPECT_FALSE(edit.rewrite);
    EXPECT_EQ(edit.keep, 6u);
    EXPECT_EQ(edit.text, L"DRAM: 512 MiB\r\n");
    EXPECT_EQ(m_pane, L"boot\r\nDRAM: 512 MiB\r\n");
}

TEST_F(TaliardViewFollowerTest, ACharacterSplitAcrossRefreshesDecodesAsItWouldWhole)
{
    Receive("ok \xe4\xb8");
    Refresh();
    EXPECT_EQ(m_pane, L"ok \ufffd");
    Receive("\xad!");
    const PaneEdit edit = Refresh();
    EXPECT_FALSE(edit.rewrite);
    EXPECT_EQ(edit.keep, 3u);
    EXPECT_EQ(m_pane, L"ok \u4e2d!");
}

TEST_F(TaliardViewFollowerTest, AnInvalidByteStaysOneReplacementWhateverFollows)
{
    Receive("a\xff");
    Refresh();
    Receive("\x80" "b");
    Refresh();
    EXPECT_EQ(m_pane, L"a\ufffd\ufffd" "b");
    EXPECT_EQ(m_pane, WholeBufferText());
}

TEST_F(TaliardViewFollowerTest, ATrimRemovesTheDroppedTextFromThePanesStart)
{
    Receive(std::string(CTaliardDoc::RECEIVE_BUFFER_MAX, 'x'));
    Refresh();
    Receive("y");
    const PaneEdit edit = Refresh();
    EXPECT_FALSE(edit.rewrite);
    EXPECT_EQ(edit.drop, CTaliardDoc::RECEIVE_BUFFER_TRIM);
    EXPECT_EQ(m_pane.size(), CTaliardDoc::RECEIVE_BUFFER_MAX - CTaliardDoc::RECEIVE_BUFFER_TRIM + 1);
    EXPECT_EQ(m_pane, WholeBufferText());
}

TEST_F(TaliardViewFollowerTest, ATrimThroughACharacterRewritesThePane)
{
    // The trim leaves the last byte of a two-byte character first, which
    // now decodes on its own.
    Receive(std::string(CTaliardDoc::RECEIVE_BUFFER_TRIM - 1, 'x') + "\xc3\xa9"
            + std::string(CTaliardDoc::RECEIVE_BUFFER_MAX - CTaliardDoc::RECEIVE_BUFFER_TRIM - 1, 'z'));
    Refresh();
    Receive("y");
    EXPECT_TRUE(Refresh().rewrite);
    EXPECT_EQ(m_pane.front(), REPLACEMENT_CHARACTER);
    EXPECT_EQ(m_pane, WholeBufferText());
}

TEST_F(TaliardViewFollowerTest, AfterForgetThePaneIsRewrittenWhole)
{
    Receive("abc");
    Refresh();
    m_pane += L"typed by the user";
    m_follower.Forget();
    Receive("d");
    EXPECT_TRUE(Refresh().rewrite);
    EXPECT_EQ(m_pane, L"abcd");
}

TEST_F(TaliardViewFollowerTest, TheKeptTextIsThePaneUpToWhereTheNextEditCuts)
{
    Receive("ok \xe4\xb8");
    Refresh();
    EXPECT_EQ(m_follower.KeptText(), L"ok ");
    Receive("\xad!");
    Refresh();
    EXPECT_EQ(m_follower.KeptText(), m_pane);
}

TEST_F(TaliardViewFollowerTest, ARefreshWithNothingNewChangesNothing)
{
    Receive("abc");
    Refresh();
    const PaneEdit edit = Refresh();
    EXPECT_FALSE(edit.rewrite);
    EXPECT_EQ(edit.keep, 3u);
    EXPECT_TRUE(edit.text.empty());
}

// Random arrivals of text, multibyte characters cut anywhere, stray bytes,
// zero bytes and trims: the pane always equals the whole-buffer text.
TEST_F(TaliardViewFollowerTest, ThePaneAlwaysShowsExactlyTheWholeBufferText)
{
    const std::vector<std::string> pieces { "line of text\r\n", "\xe4\xb8\xad\xe6\x96\x87", "\xc3\xa9", "\xf0\x9f\x98\x80",
        "\xff", "\x80", std::string("\0", 1), "\xe4", "\xb8", "\x1b[0m", "\t" };
    std::mt19937 random(7);
    std::string stream;
    for (int k = 0; k < 6000; ++k)
        stream += pieces[random() % pieces.size()];
    size_t pos = 0;
    int incremental = 0;
    while (pos < stream.size()) {
        const size_t n = std::min<size_t>(stream.size() - pos, 1 + random() % 700);
        Receive(stream.substr(pos, n));
        pos += n;
        incremental += Refresh().rewrite ? 0 : 1;
        ASSERT_EQ(m_pane, WholeBufferText()) << "after " << pos << " bytes";
    }
    EXPECT_GT(incremental, 0);
}

TEST_F(TaliardViewFollowerTest, DecodingTakenUpAtTheResumePointGivesTheSameText)
{
    const std::string bytes = "a\xe4\xb8\xad\xff\xc3\xa9\xf0\x9f\x98\x80" "b\x80\xe6\x96";
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const std::wstring whole = DecodeReceivedText(data, bytes.size());
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        std::wstring text;
        const DecodeResumePoint resume = AppendReceivedText(text, data, cut);
        ASSERT_LE(resume.bytes, cut);
        ASSERT_LE(resume.characters, text.size());
        text.resize(resume.characters);
        AppendReceivedText(text, data + resume.bytes, bytes.size() - resume.bytes);
        EXPECT_EQ(text, whole) << "cut at " << cut;
    }
}

} // namespace
