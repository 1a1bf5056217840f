#include "ui/CPlayerNote.h"

#include "skin/SkinPaint.h"

#include <wx/dcbuffer.h>

namespace {
const wxColour kBox(30, 33, 40);
const wxColour kOutline(96, 172, 228);
const wxColour kInk(236, 242, 248);
constexpr int kPadding = 10;
} // namespace

wxBEGIN_EVENT_TABLE(CPlayerNote, wxWindow)
    EVT_PAINT(CPlayerNote::OnPaint)
wxEND_EVENT_TABLE()

bool CPlayerNote::Create(wxWindow *parent, wxWindowID id)
{
    Hide();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    return wxWindow::Create(parent, id, wxDefaultPosition, wxSize(1, 1), wxBORDER_NONE);
}

void CPlayerNote::SetText(const wxString &text)
{
    m_text = text;
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    wxCoord width = 0, height = 0;
    dc.GetMultiLineTextExtent(text, &width, &height);
    SetSize(width + 2 * kPadding, height + 2 * kPadding);
    Refresh(false);
}

void CPlayerNote::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    const wxRect rect(GetClientSize());
    FillSolid(dc, rect, kBox);
    FrameSolid(dc, rect, kOutline);
    dc.SetFont(GetFont());
    dc.SetTextForeground(kInk);
    dc.DrawLabel(m_text, rect, wxALIGN_CENTRE);
}
