#include "skin/CCommonMenu.h"

#include "skin/CCommonMenuWindow.h"
#include "skin/SkinPaint.h"

#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/settings.h>
#include <wx/eventfilter.h>

namespace {

const wxColour kStrip(232, 228, 216);
const wxColour kSeparatorShade(203, 203, 203);
const wxColour kHighlightFrame(132, 166, 198);
const wxColour kHighlightFill(206, 231, 255);
const wxColour kEmbossShadow(127, 127, 127);
const wxString kCheckMark = wxString::FromUTF8("●");

// Text drawn the platform's disabled way: white one pixel down-right, grey on top.
void DrawEmbossed(wxDC &dc, const wxString &text, const wxRect &rect, int alignment)
{
    dc.SetTextForeground(*wxWHITE);
    dc.DrawLabel(text, wxRect(rect.x + 1, rect.y + 1, rect.width, rect.height), alignment);
    dc.SetTextForeground(kEmbossShadow);
    dc.DrawLabel(text, rect, alignment);
}

// Keys go to whichever window has the focus, and while a popup holds the
// pointer wx sends them there without a char-hook to its top-level window:
// while a menu is tracked, every key press is the menu's.
class CMenuKeyFilter : public wxEventFilter {
public:
    explicit CMenuKeyFilter(CCommonMenuWindow *window) : m_window(window) { wxEvtHandler::AddFilter(this); }
    ~CMenuKeyFilter() override { wxEvtHandler::RemoveFilter(this); }

    int FilterEvent(wxEvent &event) override
    {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_CHAR_HOOK || type == wxEVT_KEY_DOWN) {
            m_window->HandleKey(static_cast<wxKeyEvent &>(event).GetKeyCode());
            return Event_Processed;
        }
        return type == wxEVT_CHAR || type == wxEVT_KEY_UP ? Event_Processed : Event_Skip;
    }

private:
    CCommonMenuWindow *m_window;
};

} // namespace

CCommonMenu::CCommonMenu()
    : m_background(*wxWHITE), m_highlightText(0, 106, 190),
      m_normalText(wxSystemSettings::GetColour(wxSYS_COLOUR_MENUTEXT)),
      m_font(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT))
{
    // Items are 19 pixels high: a desktop's larger default font would fill them edge to edge.
    if (m_font.GetPointSize() > kMaxPointSize)
        m_font.SetPointSize(kMaxPointSize);
}

CCommonMenu::~CCommonMenu() = default;

int CCommonMenu::LoadSkinMenu(int resourceId)
{
    return LoadSkinMenu(LoadMenuResource(resourceId));
}

int CCommonMenu::LoadSkinMenu(const std::vector<MenuResourceItem> &resource)
{
    m_entries.clear();
    m_records.clear();
    m_subMenus.clear();
    for (const MenuResourceItem &item : resource) {
        Entry entry{item.text, item.id, item.state, nullptr, nullptr};
        if (item.id == 0)
            entry.text.clear();
        else if (item.id == -1)
            entry.popup = BuildOwnerDrawPopup(item.items);
        m_entries.push_back(entry);
    }
    return 1;
}

CCommonMenu *CCommonMenu::BuildOwnerDrawPopup(const std::vector<MenuResourceItem> &source)
{
    m_subMenus.push_back(std::make_unique<CCommonMenu>());
    CCommonMenu *target = m_subMenus.back().get();
    for (const MenuResourceItem &item : source) {
        Entry entry{item.text, item.id, item.state, nullptr, nullptr};
        if (item.id == 0) {
            entry.text.clear();
            entry.state = 0;
            entry.record = AddRecord(wxString(), 0);
        } else {
            entry.record = AddRecord(item.text, item.id);
            if (item.id == -1)
                entry.popup = BuildOwnerDrawPopup(item.items);
        }
        target->m_entries.push_back(entry);
    }
    return target;
}

const MENUITEM *CCommonMenu::AddRecord(const wxString &text, int id)
{
    m_records.push_back(std::make_unique<MENUITEM>(MENUITEM{text, id}));
    return m_records.back().get();
}

CCommonMenu *CCommonMenu::GetSubMenu(int position) const
{
    if (position < 0 || position >= int(m_entries.size()))
        return nullptr;
    return m_entries[position].popup;
}

wxSize CCommonMenu::MeasureItem(const MENUITEM &item) const
{
    if (item.id == 0)
        return wxSize(0, kSeparatorHeight);
    wxBitmap scratch(1, 1);
    wxMemoryDC dc(scratch);
    dc.SetFont(m_font);
    const int textWidth = dc.GetTextExtent(wxStripMenuCodes(item.text)).x;
    return wxSize(textWidth + kGlyphWidth + (item.id == -1 ? kSubMenuExtra : 0), kGlyphHeight + 4);
}

void CCommonMenu::DrawItem(wxDC &dc, const MENUITEM &item, const wxRect &rect, unsigned itemState) const
{
    const int left = rect.GetLeft(), top = rect.GetTop();
    const int right = rect.GetRight() + 1, bottom = rect.GetBottom() + 1;
    const bool selected = itemState & ODS_SELECTED;
    const wxColour &textColour = selected ? m_highlightText : m_normalText;

    FillSolid(dc, rect, m_background);
    FillSolid(dc, wxRect(left, top, kStripWidth, rect.height), kStrip);
    const wxRect textRect(left + kGlyphWidth + 10, top + 3, right - (left + kGlyphWidth + 10), bottom - (top + 3));

    if (item.id == 0) {
        const int y = textRect.y + (bottom - top - 3) / 2;
        Draw3dRect(dc, left + 22, y, (right - 2) - (left + 22), 2, kSeparatorShade, *wxWHITE);
        return;
    }
    if (selected) {
        FillSolid(dc, rect, kHighlightFrame);
        FillSolid(dc, wxRect(rect).Deflate(1), kHighlightFill);
    }

    dc.SetFont(m_font);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const int textAlign = wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL;
    if (itemState & ODS_GRAYED) {
        DrawEmbossed(dc, item.text, textRect, textAlign);
    } else {
        dc.SetTextForeground(textColour);
        dc.DrawLabel(item.text, textRect, textAlign);
    }

    if (itemState & ODS_CHECKED) {
        if (itemState & ODS_GRAYED) {
            DrawEmbossed(dc, kCheckMark, wxRect(left, top, 20, 19), textAlign);
        } else {
            dc.SetTextForeground(m_normalText);
            dc.DrawLabel(kCheckMark, wxRect(left + 7, top + 2, 11, 15), textAlign);
        }
    }
    dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
}

int CCommonMenu::TrackPopupMenu(unsigned flags, int x, int y, wxWindow *owner)
{
    int chosen = 0;
    bool finished = false;
    wxGUIEventLoop loop;
    auto *window = new CCommonMenuWindow(owner, *this, [&](int id) {
        chosen = id;
        finished = true;
        if (loop.IsRunning())
            loop.Exit();
    });

    const CMenuKeyFilter keys(window);
    window->Popup(wxPoint(x, y), flags);
    if (!finished)
        loop.Run();

    window->Destroy();
    if (chosen != 0 && owner)
        wxQueueEvent(owner, new wxCommandEvent(wxEVT_MENU, chosen));
    return chosen;
}
