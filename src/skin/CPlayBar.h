// The video player's control bar: play/pause, stop, a seek slider with the
// elapsed and total time, mute with a volume slider, and fullscreen. It shows
// what it is told and reports the viewer's actions to its parent: wxEVT_BUTTON
// with the button's id, and the sliders' scroll events with theirs.
#pragma once

#include "skin/CBmpButton.h"
#include "skin/CCommonSlider.h"

#include <wx/bitmap.h>
#include <wx/window.h>

#include <string>

class CPlayBar : public wxWindow {
public:
    enum { ID_PLAY = 6001, ID_STOP = 6002, ID_SEEK = 6003, ID_MUTE = 6004, ID_VOLUME = 6005, ID_FULLSCREEN = 6006 };
    static constexpr int kHeight = 32;
    static constexpr int kVolumeWidth = 64;

    CPlayBar() = default;
    // skin is the main skin, which holds the bar's buttons.
    bool Create(wxWindow *parent, wxWindowID id, const wxBitmap &skin, const wxPoint &pos = wxDefaultPosition,
                const wxSize &size = wxDefaultSize);

    // Play shows the pause button, otherwise the play button.
    void SetPlaying(bool playing);
    void SetMuted(bool muted);
    void SetFullScreen(bool fullScreen);
    // Milliseconds; a length of 0 (not known yet) shows "--:--" and disables seeking.
    void SetTimes(long long position, long long length);
    void SetVolume(int percent);

    bool IsPlayingShown() const { return m_playing; }
    bool IsMutedShown() const { return m_muted; }
    const std::string &TimeText() const { return m_timeText; }
    CBmpButton &PlayButton() { return m_play; }
    CBmpButton &StopButton() { return m_stop; }
    CBmpButton &MuteButton() { return m_mute; }
    CBmpButton &FullScreenButton() { return m_fullScreen; }
    CCommonSlider &SeekSlider() { return m_seek; }
    CCommonSlider &VolumeSlider() { return m_volume; }

    void Render(wxDC &dc) const;

private:
    void OnPaint(wxPaintEvent &event);
    void OnSize(wxSizeEvent &event);
    void PlaceControls();
    wxRect TimeRect() const;

    wxBitmap m_skin;
    CBmpButton m_play;
    CBmpButton m_stop;
    CCommonSlider m_seek;
    CBmpButton m_mute;
    CCommonSlider m_volume;
    CBmpButton m_fullScreen;
    bool m_playing = false;
    bool m_muted = false;
    bool m_isFullScreen = false;
    int m_timeWidth = 0; // 0 when the bar is too narrow for the time
    std::string m_timeText = "--:--";

    wxDECLARE_EVENT_TABLE();
};
