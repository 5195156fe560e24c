#include "tests/support/FakeDeviceTree.h"

#include "device/PortDiscovery.h"
#include "device/PortTable.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

FakeDeviceTree::FakeDeviceTree()
{
    std::string pattern = (fs::temp_directory_path() / "taliard-devtree-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp() failed");
    m_dir = pattern;
    m_root = m_dir / "dev";
    fs::create_directories(m_root / "serial" / "by-id");
    fs::create_directories(m_dir / "config" / "taliard");
    if (const char* previous = std::getenv("XDG_CONFIG_HOME"))
        m_previousConfigHome = previous;
    setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    SetDeviceRoot(m_root.string());
}

FakeDeviceTree::~FakeDeviceTree()
{
    SetDeviceRoot("/dev");
    if (m_previousConfigHome)
        setenv("XDG_CONFIG_HOME", m_previousConfigHome->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code error;
    fs::remove_all(m_dir, error);
}

PtyPair& FakeDeviceTree::Plug(const std::string& name, const std::string& byId)
{
    auto pty = std::make_unique<PtyPair>();
    fs::create_symlink(pty->SlavePath(), m_root / name);
    if (!byId.empty()) {
        fs::create_symlink(fs::path("../..") / name, m_root / "serial" / "by-id" / byId);
        m_byIds[name] = byId;
    }
    PtyPair& plugged = *pty;
    m_ptys[name] = std::move(pty);
    return plugged;
}

void FakeDeviceTree::Unplug(const std::string& name)
{
    m_ptys.at(name)->CloseMaster();
    fs::remove(m_root / name);
    if (m_byIds.count(name) != 0)
        fs::remove(m_root / "serial" / "by-id" / m_byIds[name]);
    m_byIds.erase(name);
}

void FakeDeviceTree::WriteUserConfig(const std::string& text) const
{
    std::ofstream(m_dir / "config" / "taliard" / "ports.conf") << text;
}

std::string FakeDeviceTree::AutomaticFile() const
{
    const auto path = AutomaticPortsFilePath();
    std::ifstream in(path.value_or(""));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace testsupport
