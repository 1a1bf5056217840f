#include "ui/CFlashPlayer.h"

#include <algorithm>

wxDEFINE_EVENT(wxEVT_FLASH_COMMAND, wxCommandEvent);

wxBEGIN_EVENT_TABLE(CFlashPlayer, wxWindow)
    EVT_SIZE(CFlashPlayer::OnSize)
    EVT_BUTTON(CFlashPlayer::ID_SKIP, CFlashPlayer::OnSkip)
wxEND_EVENT_TABLE()

bool CFlashPlayer::Create(wxWindow *parent, wxWindowID id, const wxRect &rect, const wxString &backend)
{
    Hide();
    if (!wxWindow::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE))
        return false;
    SetBackgroundColour(*wxBLACK);
    // Without a media control the player stays a hidden, empty window nobody uses.
    if (!m_movie.Create(this, ID_MOVIE, wxRect(0, 0, rect.width, std::max(1, rect.height - kBarHeight)), true,
                        backend))
        return false;
    m_movie.Bind(wxEVT_MEDIA_FINISHED, &CFlashPlayer::OnMovieFinished, this);
    m_skip.Create(this, ID_SKIP, wxString::FromUTF8("跳过广告"));
    SendSizeEvent();
    return true;
}

bool CFlashPlayer::PlayMovie(const std::string &path)
{
    m_playing = m_movie.SetUrl(path);
    return m_playing;
}

void CFlashPlayer::StopMovie()
{
    m_playing = false;
    m_movie.CloseMedia();
}

int CFlashPlayer::TotalFrames()
{
    const wxFileOffset length = m_movie.Length();
    if (length <= 0)
        return 0;
    return std::max<int>(1, length * kFramesPerSecond / 1000);
}

int CFlashPlayer::CurrentFrame()
{
    const int total = TotalFrames();
    if (total == 0)
        return -1;
    // At the end the position equals the length, one past the last frame.
    return std::min<int>(m_movie.Tell() * kFramesPerSecond / 1000, total - 1);
}

void CFlashPlayer::OnSize(wxSizeEvent &event)
{
    const wxSize size = GetClientSize();
    const int movieHeight = std::max(0, size.y - kBarHeight);
    if (m_movie.GetHandle())
        m_movie.SetSize(0, 0, size.x, movieHeight);
    if (m_skip.GetHandle()) {
        const wxSize button = m_skip.GetBestSize();
        m_skip.SetSize(size.x - button.x - 8, movieHeight + (kBarHeight - button.y) / 2, button.x, button.y);
    }
    event.Skip();
}

void CFlashPlayer::OnSkip(wxCommandEvent &) { SendCommand("close"); }

void CFlashPlayer::OnMovieFinished(wxMediaEvent &) { SendCommand("finish"); }

void CFlashPlayer::SendCommand(const char *value)
{
    if (!m_playing)
        return;
    wxCommandEvent event(wxEVT_FLASH_COMMAND, GetId());
    event.SetEventObject(this);
    event.SetString(value);
    ProcessWindowEvent(event);
}
