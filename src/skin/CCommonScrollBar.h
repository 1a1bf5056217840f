// A vertical scroll bar in soft blue gradients: two 16 x 16 arrow buttons, a
// track and a proportional thumb. It keeps its position in whole units and
// reports every change to its parent with a CScrollBarEvent.
#pragma once

#include <wx/timer.h>
#include <wx/window.h>

class CCommonScrollBar : public wxWindow {
public:
    static constexpr int kBarWidth = 16;
    static constexpr int kArrowHeight = 16;
    static constexpr int kRepeatMs = 250;
    static constexpr int kMinThumb = 12;
    // Below this height the bar shows its arrows only.
    static constexpr int kMinHeightForThumb = 2 * kArrowHeight + 10;

    CCommonScrollBar() = default;
    CCommonScrollBar(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
                     const wxSize &size = wxDefaultSize, long style = 0);
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos = wxDefaultPosition,
                const wxSize &size = wxDefaultSize, long style = 0);

    // visible units v, first unit p, total units n; nothing changes when n <= v.
    // Reads the track length now: call again after every size change.
    void SetBarInfo(int visible, int first, int total);
    // Moves the position by delta units within [0, maximum]; no report, no repaint.
    void ScrollBy(int delta);

    int GetPos() const { return m_position; }
    int GetMaxPos() const { return m_maxPosition; }
    int GetThumbOffset() const { return m_thumbOffset; }
    int GetThumbLength() const { return m_thumbLength; }
    double GetScale() const { return m_scale; }

    wxRect UpArrowRect() const;
    wxRect DownArrowRect() const;
    wxRect ThumbRect() const;
    bool HasThumb() const;
    // Whether the 250 ms repeat of a held arrow is running.
    bool IsRepeating() const { return m_repeat.IsRunning(); }
    // One repeat: a step in the direction of the held arrow. The timer calls it.
    void OnRepeatTick();

    // Paints the whole bar (background, border, arrows, thumb) into dc.
    void Render(wxDC &dc) const;

private:
    void OnPaint(wxPaintEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void OnLeftUp(wxMouseEvent &event);
    void OnMotion(wxMouseEvent &event);
    void OnTimer(wxTimerEvent &event);
    void OnCaptureLost(wxMouseCaptureLostEvent &event);

    int TrackLength() const;
    void Step(int code);
    void Report(int code, unsigned position);
    void DrawArrowBox(wxDC &dc, const wxRect &box) const;

    bool m_upHeld = false;
    bool m_downHeld = false;
    bool m_thumbDrag = false;
    int m_thumbOffset = 20; // pixels from the bottom of the up arrow to the top of the thumb
    int m_position = 0;
    int m_maxPosition = 0;
    int m_thumbLength = 20;
    double m_scale = 0.0; // pixels per unit
    wxPoint m_dragOrigin;
    wxTimer m_repeat;

    wxDECLARE_EVENT_TABLE();
};
