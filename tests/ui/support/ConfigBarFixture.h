// A frame holding the configuration bar with a real document whose COM1 is
// a pseudo-terminal (the test plays the far end on the master), message
// boxes recorded, file dialogs answered by the test, and helpers that drive
// the controls as a user would. Test (UI) thread only.
#pragma once

#include "document/CTaliardDoc.h"
#include "tests/support/PtyPair.h"
#include "ui/SerialConfigBar.h"

#include <gtest/gtest.h>
#include <wx/docview.h>
#include <wx/frame.h>

#include <termios.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> BytesOf(const std::string& text);

class ConfigBarTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <typename T>
    T* Get(int id) const
    {
        auto* control = dynamic_cast<T*>(m_bar->FindWindow(id));
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    bool Enabled(int id) const { return m_bar->FindWindow(id)->IsEnabled(); }
    wxString Caption(int id) const { return m_bar->FindWindow(id)->GetLabel(); }

    // What a user's click does: only an enabled control reacts.
    void Click(int id);
    void Toggle(int id);
    void Select(int id, int index);
    // Clicks connect and expects the port open.
    void Connect();
    // Everything a user can see of the bar's controls, for before/after checks.
    std::wstring Snapshot() const;
    // The pty shares one line record between its two ends.
    termios Line() const;

    std::filesystem::path m_tempDir;
    PtyPair m_pty;
    std::vector<std::wstring> m_messages;
    std::vector<FileDialogRequest> m_dialogRequests;
    std::optional<wxString> m_dialogAnswer;
    std::unique_ptr<wxDocManager> m_docManager;
    std::unique_ptr<CTaliardDoc> m_doc;
    wxFrame* m_frame = nullptr;
    CSerialConfigBar* m_bar = nullptr;
};

} // namespace testsupport
