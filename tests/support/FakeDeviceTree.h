// A device folder of our own for discovery and hot-plug tests: links to
// pseudo-terminals stand in for adapters, with by-id links beside them. For
// its lifetime discovery looks here and the configuration folder
// (XDG_CONFIG_HOME) is private too.
#pragma once

#include "tests/support/PtyPair.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace testsupport {

class FakeDeviceTree {
public:
    FakeDeviceTree();
    ~FakeDeviceTree();
    FakeDeviceTree(const FakeDeviceTree&) = delete;
    FakeDeviceTree& operator=(const FakeDeviceTree&) = delete;

    // Links `name` (e.g. "ttyUSB0") to a new pty, and serial/by-id/`byId`
    // to that name when given. Returns the far end.
    PtyPair& Plug(const std::string& name, const std::string& byId = {});
    // Hangs up the far end and removes the links, as a pulled adapter.
    void Unplug(const std::string& name);

    std::string Path(const std::string& name) const { return (m_root / name).string(); }
    std::string ById(const std::string& byId) const { return (m_root / "serial" / "by-id" / byId).string(); }
    void WriteUserConfig(const std::string& text) const;
    // The automatic assignments file's text; empty when there is none.
    std::string AutomaticFile() const;

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_root;
    std::optional<std::string> m_previousConfigHome;
    std::map<std::string, std::unique_ptr<PtyPair>> m_ptys;
    std::map<std::string, std::string> m_byIds;
};

} // namespace testsupport
