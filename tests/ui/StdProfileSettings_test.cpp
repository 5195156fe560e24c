#include "ui/StdProfileSettings.h"

#include "ui/TaliardDocManager.h"

#include <wx/filehistory.h>
#include <wx/fileconf.h>
#include <wx/init.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

class StdProfileSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = std::filesystem::temp_directory_path() / ("taliard-settings-" + std::to_string(::getpid()) + ".ini");
        std::filesystem::remove(m_path);
        m_config = std::make_unique<wxFileConfig>(wxString(), wxString(), m_path.string(), wxString(),
                                                   wxCONFIG_USE_LOCAL_FILE);
    }
    void TearDown() override
    {
        m_config.reset();
        std::filesystem::remove(m_path);
    }

    wxInitializer m_wx;
    std::filesystem::path m_path;
    std::unique_ptr<wxFileConfig> m_config;
};

TEST_F(StdProfileSettingsTest, TheNewestFileIsWrittenAsFile1)
{
    wxFileHistory history(CTaliardDocManager::RECENT_FILE_COUNT);
    history.AddFileToHistory("/tmp/a.bin");
    history.AddFileToHistory("/tmp/b.bin");
    SaveStdProfileSettings(*m_config, history, 0);

    EXPECT_EQ(m_config->Read("/Recent File List/File1", ""), "/tmp/b.bin");
    EXPECT_EQ(m_config->Read("/Recent File List/File2", ""), "/tmp/a.bin");
    EXPECT_FALSE(m_config->HasEntry("/Recent File List/File3"));
    // A zero page count is not written.
    EXPECT_FALSE(m_config->HasEntry("/Settings/PreviewPages"));
}

TEST_F(StdProfileSettingsTest, LoadingKeepsTheOrderAndAtMostFourFiles)
{
    for (int i = 1; i <= 5; ++i)
        m_config->Write(wxString::Format("/Recent File List/File%d", i), wxString::Format("/tmp/%d.dat", i));

    wxFileHistory history(CTaliardDocManager::RECENT_FILE_COUNT);
    EXPECT_EQ(LoadStdProfileSettings(*m_config, history), 0);
    ASSERT_EQ(history.GetCount(), 4u);
    EXPECT_EQ(history.GetHistoryFile(0), "/tmp/1.dat");
    EXPECT_EQ(history.GetHistoryFile(3), "/tmp/4.dat");
}

TEST_F(StdProfileSettingsTest, SavingReplacesTheOldListAndKeepsThePreviewPages)
{
    m_config->Write("/Recent File List/File3", "/tmp/old.dat");
    m_config->Write("/Settings/PreviewPages", 2);

    wxFileHistory history(CTaliardDocManager::RECENT_FILE_COUNT);
    const int previewPages = LoadStdProfileSettings(*m_config, history);
    EXPECT_EQ(previewPages, 2);
    history.AddFileToHistory("/tmp/new.dat");
    SaveStdProfileSettings(*m_config, history, previewPages);

    wxFileConfig reread(wxString(), wxString(), m_path.string(), wxString(), wxCONFIG_USE_LOCAL_FILE);
    EXPECT_EQ(reread.Read("/Recent File List/File1", ""), "/tmp/new.dat");
    EXPECT_EQ(reread.Read("/Recent File List/File2", ""), "/tmp/old.dat");
    EXPECT_FALSE(reread.HasEntry("/Recent File List/File3"));
    EXPECT_EQ(reread.ReadLong("/Settings/PreviewPages", 0), 2);
}

} // namespace
