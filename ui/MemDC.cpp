#include "ui/MemDC.h"

#include <algorithm>

namespace {

wxRect ClipBox(const wxDC& dc)
{
    wxRect box;
    dc.GetClippingBox(box);
    return box;
}

} // namespace

CMemDC::CMemDC(wxDC& target)
    : wxMemoryDC(&target),
      m_target(target),
      m_rect(ClipBox(target))
{
    // A bitmap needs at least one pixel; an empty area is simply not copied.
    m_bitmap.Create(std::max(m_rect.width, 1), std::max(m_rect.height, 1), target);
    SelectObject(m_bitmap);
    // Callers draw in the target's coordinates.
    SetLogicalOrigin(m_rect.x, m_rect.y);
}

CMemDC::~CMemDC()
{
    if (!m_rect.IsEmpty()) {
        m_target.Blit(m_rect.x, m_rect.y, m_rect.width, m_rect.height, this, m_rect.x, m_rect.y, wxCOPY);
    }
    SelectObject(wxNullBitmap);
}
