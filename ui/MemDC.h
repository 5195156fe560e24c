// An off-screen drawing surface for one paint: opened on a target DC, it
// covers the target's clip box in the target's coordinates, and on
// destruction copies that area to the target in one Blit, so the target
// never shows a half-drawn frame. UI thread only, like every DC.
#pragma once

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/gdicmn.h>

class CMemDC : public wxMemoryDC {
public:
    explicit CMemDC(wxDC& target);
    ~CMemDC() override;

    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // The target's area this surface stands for.
    const wxRect& GetArea() const { return m_rect; }

private:
    wxBitmap m_bitmap;
    wxDC& m_target;
    wxRect m_rect;
};
