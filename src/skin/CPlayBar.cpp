#include "skin/CPlayBar.h"

#include "base/PlayTime.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinPaint.h"

#include <wx/dcbuffer.h>

#include <algorithm>

namespace {

const wxColour kBar(MainSkin::kBarRed, MainSkin::kBarGreen, MainSkin::kBarBlue);
const wxColour kTopLine(62, 68, 80);
const wxColour kText(214, 222, 232);
constexpr int kButtonWidth = 28, kButtonHeight = 24;
constexpr int kButtonTop = (CPlayBar::kHeight - kButtonHeight) / 2;
constexpr int kGap = 6;
constexpr int kTimeWidth = 124; // room for "10:00:00 / 10:00:00"
constexpr int kMinSeekWidth = 60;

void UseStrip(CBmpButton &button, const wxBitmap &skin, const SkinStrip &strip)
{
    button.SetSkin(skin, strip.cellWidth, strip.cellHeight, strip.x, strip.y);
}

} // namespace

wxBEGIN_EVENT_TABLE(CPlayBar, wxWindow)
    EVT_PAINT(CPlayBar::OnPaint)
    EVT_SIZE(CPlayBar::OnSize)
wxEND_EVENT_TABLE()

bool CPlayBar::Create(wxWindow *parent, wxWindowID id, const wxBitmap &skin, const wxPoint &pos, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetBackgroundColour(kBar);
    m_skin = skin;
    const wxSize button(kButtonWidth, kButtonHeight);
    m_play.Create(this, ID_PLAY, wxDefaultPosition, button);
    m_stop.Create(this, ID_STOP, wxDefaultPosition, button);
    m_seek.Create(this, ID_SEEK, wxDefaultPosition, wxSize(kButtonWidth, kButtonHeight));
    m_mute.Create(this, ID_MUTE, wxDefaultPosition, button);
    m_volume.Create(this, ID_VOLUME, wxDefaultPosition, wxSize(kVolumeWidth, kButtonHeight));
    m_fullScreen.Create(this, ID_FULLSCREEN, wxDefaultPosition, button);
    UseStrip(m_play, m_skin, MainSkin::kBarPlay);
    UseStrip(m_stop, m_skin, MainSkin::kBarStop);
    UseStrip(m_mute, m_skin, MainSkin::kBarSound);
    UseStrip(m_fullScreen, m_skin, MainSkin::kBarFullScreen);
    m_volume.SetRange(100);
    m_volume.SetValue(100);
    m_seek.Enable(false);
    PlaceControls();
    return true;
}

void CPlayBar::SetPlaying(bool playing)
{
    m_playing = playing;
    UseStrip(m_play, m_skin, playing ? MainSkin::kBarPause : MainSkin::kBarPlay);
}

void CPlayBar::SetMuted(bool muted)
{
    m_muted = muted;
    UseStrip(m_mute, m_skin, muted ? MainSkin::kBarMuted : MainSkin::kBarSound);
}

void CPlayBar::SetFullScreen(bool fullScreen)
{
    m_isFullScreen = fullScreen;
    UseStrip(m_fullScreen, m_skin, fullScreen ? MainSkin::kBarLeaveFullScreen : MainSkin::kBarFullScreen);
}

void CPlayBar::SetTimes(long long position, long long length)
{
    const std::string text = PlayTimesText(position, length);
    if (text != m_timeText) {
        m_timeText = text;
        RefreshRect(TimeRect(), false);
    }
    if (length <= 0) {
        m_seek.SetValue(0);
        m_seek.Enable(false);
        return;
    }
    m_seek.Enable(true);
    if (m_seek.GetMaximum() != length)
        m_seek.SetRange(length);
    m_seek.SetValue(position);
}

void CPlayBar::SetVolume(int percent) { m_volume.SetValue(percent); }

wxRect CPlayBar::TimeRect() const
{
    const wxRect seek = m_seek.GetRect();
    return wxRect(seek.GetRight() + 1 + kGap, 0, m_timeWidth, kHeight);
}

void CPlayBar::PlaceControls()
{
    const int width = GetClientSize().x;
    int x = kGap;
    m_play.SetSize(x, kButtonTop, kButtonWidth, kButtonHeight);
    x += kButtonWidth;
    m_stop.SetSize(x, kButtonTop, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kGap;
    // From the right: fullscreen, volume, mute, the time; the seek slider takes
    // what is left. A narrow bar drops the volume slider, then the time.
    int right = width - kGap - kButtonWidth;
    m_fullScreen.SetSize(right, kButtonTop, kButtonWidth, kButtonHeight);
    const int room = right - x - kGap - kButtonWidth - kMinSeekWidth; // beside the mute button and a short slider
    m_timeWidth = room >= kTimeWidth + 2 * kGap ? kTimeWidth : 0;
    const bool volume = room - (m_timeWidth ? kTimeWidth + 2 * kGap : 0) >= kVolumeWidth + kGap;
    m_volume.Show(volume);
    if (volume) {
        right -= kGap + kVolumeWidth;
        m_volume.SetSize(right, kButtonTop, kVolumeWidth, kButtonHeight);
    }
    right -= (volume ? 0 : kGap) + kButtonWidth;
    m_mute.SetSize(right, kButtonTop, kButtonWidth, kButtonHeight);
    right -= kGap + (m_timeWidth ? m_timeWidth + kGap : 0);
    m_seek.SetSize(x, kButtonTop, std::max(1, right - x), kButtonHeight);
}

void CPlayBar::Render(wxDC &dc) const
{
    const wxSize size = GetClientSize();
    FillSolid(dc, wxRect(size), kBar);
    FillSolid(dc, wxRect(0, 0, size.x, 1), kTopLine);
    dc.SetFont(GetFont());
    dc.SetTextForeground(kText);
    const wxString text = wxString::FromUTF8(m_timeText);
    const wxRect box = TimeRect();
    if (box.width == 0)
        return;
    const wxSize extent = dc.GetTextExtent(text);
    dc.DrawText(text, box.x, box.y + (box.height - extent.y) / 2);
}

void CPlayBar::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CPlayBar::OnSize(wxSizeEvent &event)
{
    PlaceControls();
    Refresh(false);
    event.Skip();
}
