// The base of the skinned top-level windows: an undecorated frame whose own
// edge band (the platform border plus one pixel) is painted by DrawFrame and
// sized by eight zones of its own. Everything inside the band is the client
// area, a child window that covers the place of the platform caption too:
// derived windows put their controls on GetClientArea() and use its
// coordinates as client coordinates.
#pragma once

#include "skin/SkinEvents.h"

#include <wx/cursor.h>
#include <wx/frame.h>

class CCommonDlg : public wxFrame {
public:
    static constexpr int kFrameBand = 4;     // the platform's dialog border (3) plus one pixel
    static constexpr int kCaptionHeight = 23; // the strip that holds the caption buttons
    static constexpr int kEdgeZone = 3;
    static constexpr int kCornerZone = 10;
    static constexpr int kMinWidth = 800;
    static constexpr int kMinHeight = 550;

    // Resize zones, numbered as the sizing commands SC_SIZE + zone.
    enum Zone { kNoZone = 0, kLeft, kRight, kTop, kTopLeft, kTopRight, kBottom, kBottomLeft, kBottomRight };

    // Creates the window (hidden) and runs OnInitDialog.
    bool Create(wxWindow *parent, const wxString &title, const wxSize &size);

    wxWindow *GetClientArea() const { return m_clientArea; }

    // While the window is not resizable the zones do nothing. Set it before Create.
    void SetResizable(bool resizable) { m_resizable = resizable; }
    bool IsResizable() const { return m_resizable; }

    // The zone under a point of a window of the given size (window coordinates);
    // edges and corners never overlap: the first and last 10 pixels of an edge
    // belong to its corners.
    static Zone ResizeZone(const wxSize &window, const wxPoint &point);
    // The cursor shown over a zone; null before initialization or for kNoZone.
    const wxCursor &ZoneCursor(Zone zone) const;

protected:
    // Runs once the window and its client area exist; returns true.
    virtual bool OnInitDialog();
    // Paints the edge band; the rectangle is the whole window. Empty here.
    virtual void DrawFrame(wxDC &dc, int left, int top, int right, int bottom);

    // Places the client area inside the band. Derived size handlers call it first.
    void OnSize(wxSizeEvent &event);
    // What the window manager does for a system command (moving, sizing, ...).
    void OnSysCommand(CMessageEvent &event);

private:
    void OnPaint(wxPaintEvent &event);
    void OnMotion(wxMouseEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void PlaceClientArea();
    // The zone under a window point while sizing is allowed, else kNoZone.
    Zone ActiveZone(const wxPoint &point) const;

    wxWindow *m_clientArea = nullptr;
    wxCursor m_sizeNS;   // top and bottom edges
    wxCursor m_sizeWE;   // left and right edges
    wxCursor m_sizeNWSE; // top-left and bottom-right corners
    wxCursor m_sizeNESW; // top-right and bottom-left corners
    bool m_resizable = true;

    wxDECLARE_EVENT_TABLE();
};
