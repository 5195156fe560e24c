// A document without a window, as the application builds it, connected to a
// pty slave for the benchmarks. Make it on the thread where wxInitializer
// lives.
#pragma once

#include "document/CTaliardDoc.h"

#include <memory>
#include <string>

#include <wx/docview.h>

namespace bench {

// A document as the application builds it (a manager and a template around
// it), connected at 921600 baud to the given port path. Exits the program
// with a message when the port cannot be opened.
class ConnectedDoc {
public:
    explicit ConnectedDoc(const std::string& portPath);
    ~ConnectedDoc();
    ConnectedDoc(const ConnectedDoc&) = delete;
    ConnectedDoc& operator=(const ConnectedDoc&) = delete;

    CTaliardDoc& Doc() { return *m_doc; }

private:
    std::unique_ptr<wxDocManager> m_manager;
    std::unique_ptr<CTaliardDoc> m_doc;
};

} // namespace bench
