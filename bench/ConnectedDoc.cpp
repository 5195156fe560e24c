#include "bench/ConnectedDoc.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

ConnectedDoc::ConnectedDoc(const std::string& portPath)
    : m_manager(std::make_unique<wxDocManager>())
    , m_doc(std::make_unique<CTaliardDoc>())
{
    // The manager owns and deletes its templates.
    auto* docTemplate = new wxDocTemplate(m_manager.get(), "Taliard", "*.*", "", "", "Taliard.Document",
        "Taliard.View", CLASSINFO(CTaliardDoc), nullptr);
    m_doc->SetDocumentTemplate(docTemplate);
    m_doc->OnNewDocument();
    m_doc->m_settings.m_strPortName = std::wstring(portPath.begin(), portPath.end());
    m_doc->m_settings.m_strBaudRate = L"921600";
    if (m_doc->Connect() != 1) {
        std::fprintf(stderr, "cannot open %s\n", portPath.c_str());
        std::exit(1);
    }
}

ConnectedDoc::~ConnectedDoc()
{
    m_doc->Disconnect();
}

} // namespace bench
