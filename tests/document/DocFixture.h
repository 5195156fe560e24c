// A document without a display, as the application builds it: a doc
// manager and a template around it. The port is the slave of a pty pair.
#pragma once

#include "document/CTaliardDoc.h"
#include "tests/support/DocReceived.h"
#include "platform/UiHooks.h"
#include "tests/support/PtyPair.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>
#include <wx/docview.h>
#include <wx/init.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using testsupport::WaitUntil;

struct RecordedMessage {
    std::wstring text;
    platform::MessageIcon icon;
};

class DocFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_manager = std::make_unique<wxDocManager>();
        // The manager owns and deletes its templates.
        m_template = new wxDocTemplate(m_manager.get(), "Taliard", "*.*", "", "", "Taliard.Document",
            "Taliard.View", CLASSINFO(CTaliardDoc), nullptr);
        platform::SetMessageBoxHook([this](const std::wstring& text, platform::MessageIcon icon) {
            std::lock_guard lock(m_messagesLock);
            m_messages.push_back({ text, icon });
        });
        m_doc = std::make_unique<CTaliardDoc>();
        m_doc->SetDocumentTemplate(m_template);
        ASSERT_TRUE(m_doc->OnNewDocument());
        m_doc->m_settings.m_strPortName = std::wstring(m_pty.SlavePath().begin(), m_pty.SlavePath().end());
        // A parameterised test's name has a '/': one directory, not two, so
        // that TearDown removes all of it.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_dir = std::filesystem::temp_directory_path() / ("taliard-doc-" + std::to_string(getpid()) + "-" + name);
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }

    void TearDown() override
    {
        m_doc.reset();
        platform::SetMessageBoxHook(nullptr);
        std::filesystem::remove_all(m_dir);
    }

    std::vector<RecordedMessage> Messages()
    {
        std::lock_guard lock(m_messagesLock);
        return m_messages;
    }

    ReceiveSlice WholeBuffer() { return testsupport::WholeReceiveBuffer(*m_doc); }

    size_t BufferSize() { return WholeBuffer().bytes.size(); }
    std::vector<uint8_t> BufferCopy() { return WholeBuffer().bytes; }

    uint64_t Received() { return testsupport::ReceivedTotal(*m_doc); }

    wxInitializer m_wx;
    testsupport::PtyPair m_pty;
    std::unique_ptr<wxDocManager> m_manager;
    wxDocTemplate* m_template = nullptr;
    std::unique_ptr<CTaliardDoc> m_doc;
    std::filesystem::path m_dir;
    std::mutex m_messagesLock;
    std::vector<RecordedMessage> m_messages;
};
