// The push button of every skinned window: paints one of four cells of a skin
// strip (normal, hover, pressed, disabled) and sends wxEVT_BUTTON with its id
// when clicked, like any push button.
#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

class CBmpButton : public wxWindow {
public:
    enum { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

    CBmpButton() = default;
    CBmpButton(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
               const wxSize &size = wxDefaultSize);
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
                const wxSize &size = wxDefaultSize);

    // The strip the button draws from: four cells of cellWidth x cellHeight side
    // by side from (x, y) of the skin. The skin is shared, never changed here.
    void SetSkin(const wxBitmap &skin, int cellWidth, int cellHeight, int x, int y);

    // The cell shown now; disabled wins over pressed, pressed over hover.
    int CurrentCell() const;
    // Draws the current cell at the top-left; a smaller window crops it.
    void DrawItem(wxDC &dc) const;

    bool Enable(bool enable = true) override;

private:
    void OnPaint(wxPaintEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void OnLeftUp(wxMouseEvent &event);
    void OnMotion(wxMouseEvent &event);
    void OnEnter(wxMouseEvent &event);
    void OnLeave(wxMouseEvent &event);
    void OnCaptureLost(wxMouseCaptureLostEvent &event);
    void SetHover(bool hover);

    wxBitmap m_skin;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_stripX = 0;
    int m_stripY = 0;
    bool m_hover = false;
    bool m_held = false;      // the left button went down on the button and is still down
    bool m_heldInside = false; // ... and the mouse is over the button

    wxDECLARE_EVENT_TABLE();
};
