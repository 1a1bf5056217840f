// A horizontal slider in the scroll bar's soft blue: a groove, the part up to
// the position filled, and a round thumb. A click puts the thumb under the
// pointer and a drag moves it; the parent hears wxEVT_SCROLL_THUMBTRACK while
// the button is held and wxEVT_SCROLL_CHANGED where it is released.
#pragma once

#include <wx/window.h>

class CCommonSlider : public wxWindow {
public:
    static constexpr int kThumbSize = 12;
    static constexpr int kGrooveHeight = 4;

    CCommonSlider() = default;
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
                const wxSize &size = wxDefaultSize);

    // Positions run from 0 to maximum (at least 1).
    void SetRange(long long maximum);
    long long GetMaximum() const { return m_maximum; }
    // Ignored while the thumb is dragged: the pointer decides then.
    void SetValue(long long value);
    long long GetValue() const { return m_value; }
    bool IsDragging() const { return m_dragging; }

    // The position under client column x.
    long long ValueAt(int x) const;
    // The client column of the thumb's centre.
    int ThumbCentre() const;

    bool Enable(bool enable = true) override;

    // Paints the whole slider into dc (client size).
    void Render(wxDC &dc) const;

private:
    void OnPaint(wxPaintEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void OnLeftUp(wxMouseEvent &event);
    void OnMotion(wxMouseEvent &event);
    void OnCaptureLost(wxMouseCaptureLostEvent &event);
    void MoveTo(int x, wxEventType type);

    long long m_maximum = 1;
    long long m_value = 0;
    bool m_dragging = false;

    wxDECLARE_EVENT_TABLE();
};
