// The window that shows one level of a CCommonMenu while it is tracked: lays
// its items out, paints them through the menu's DrawItem, follows the mouse
// and the keys, opens sub-menus beside itself, and reports the chosen command
// id (0 when dismissed) once. The first level holds the mouse capture and
// routes the pointer to whichever level lies under it.
#pragma once

#include <wx/popupwin.h>

#include <functional>
#include <vector>

class CCommonMenu;

class CCommonMenuWindow : public wxPopupWindow {
public:
    using Done = std::function<void(int commandId)>;

    static constexpr int kBorder = 1;
    // Room right of the widest item for the text's end and a sub-menu arrow.
    static constexpr int kExtraWidth = 24;

    CCommonMenuWindow(wxWindow *parent, const CCommonMenu &menu, Done done);
    ~CCommonMenuWindow() override;

    // Places the window at a screen point (TPM_ alignment against x), keeps it on
    // the display, shows it and starts tracking.
    void Popup(const wxPoint &screen, unsigned flags);

    int HitTest(const wxPoint &client) const; // item position, or -1
    wxRect ItemRect(int position) const;
    int GetSelection() const { return m_selection; }
    CCommonMenuWindow *GetChildLevel() const { return m_child; }

    // Highlights a position (opening its sub-menu) or, with -1, nothing.
    void Select(int position);
    // Chooses a position: a command ends the tracking; others do nothing.
    void Choose(int position);
    // Escape, arrows and Enter, for the deepest open level.
    void HandleKey(int keyCode);
    // Ends the tracking with a command id (0: dismissed). Only the first call counts.
    void Finish(int commandId);

    void Render(wxDC &dc) const;

private:
    CCommonMenuWindow(CCommonMenuWindow *parentLevel, const CCommonMenu &menu);
    void LayoutItems();
    void OpenChild(int position);
    void CloseChild();
    CCommonMenuWindow *Root();
    CCommonMenuWindow *Deepest();
    CCommonMenuWindow *LevelAt(const wxPoint &screen);
    void MoveSelection(int direction);

    void OnPaint(wxPaintEvent &event);
    void OnMouse(wxMouseEvent &event);
    void OnCaptureLost(wxMouseCaptureLostEvent &event);

    const CCommonMenu &m_menu;
    CCommonMenuWindow *m_parentLevel = nullptr;
    CCommonMenuWindow *m_child = nullptr;
    Done m_done;
    bool m_finished = false;
    bool m_pressedInside = false; // a press began on a menu level, so its release may choose
    std::vector<wxRect> m_items;
    int m_selection = -1;

    wxDECLARE_EVENT_TABLE();
};
