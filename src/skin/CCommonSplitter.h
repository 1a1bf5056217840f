// A thin bar between two panes that the user drags to move their boundary.
// While the mouse is held a light-grey tracking line follows it (clamped to the
// owner's limits); at release the parent gets SPN_MOVED with the distance.
#pragma once

#include <wx/popupwin.h>
#include <wx/window.h>

class CCommonSplitter : public wxWindow {
public:
    static constexpr int kVertical = 1; // the boundary moves along x
    static constexpr int kGradientRows = 77;

    CCommonSplitter() = default;
    CCommonSplitter(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
                    const wxSize &size = wxDefaultSize);
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
                const wxSize &size = wxDefaultSize);

    // 1 for a vertical bar, any other value for a horizontal one.
    void SetOrientation(int orientation);
    int GetOrientation() const { return m_orientation; }
    // Limits of the tracking line in the parent's client coordinates, for x and y alike.
    void SetRange(int minimum, int maximum);

    // Sends the parent SPN_MOVED with the delta without any dragging.
    void NotifyMoved(int delta);

    bool IsDragging() const { return m_dragging; }
    // The tracking line in screen coordinates, and whether it is on screen.
    wxRect TrackingLineRect() const;
    bool IsTrackingLineShown() const { return m_lineShown; }

    // Paints the bar: a 64-band gradient over its first 77 rows, white below.
    void Render(wxDC &dc) const;

private:
    void OnPaint(wxPaintEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void OnMotion(wxMouseEvent &event);
    void OnLeftUp(wxMouseEvent &event);
    void OnCaptureLost(wxMouseCaptureLostEvent &event);

    // Drawing the line twice at the same place removes it.
    void DrawTrackingLine();
    int TrackingCoordinate() const { return m_orientation == kVertical ? m_trackX : m_trackY; }

    int m_orientation = kVertical;
    bool m_dragging = false;
    int m_trackX = 0; // screen coordinates of the tracking line
    int m_trackY = 0;
    int m_start = 0;
    int m_minimum = 0;
    int m_maximum = 0;
    bool m_lineShown = false;
    wxPopupWindow *m_line = nullptr; // owned by wx as a child of this window

    wxDECLARE_EVENT_TABLE();
};
