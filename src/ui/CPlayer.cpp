#include "ui/CPlayer.h"

#include "base/DebugLog.h"
#include "base/GbkText.h"
#include "ui/MediaSupport.h"

#include <wx/filename.h>

bool CPlayer::Create(wxWindow *parent, wxWindowID id, const wxRect &rect, bool visible, const wxString &backend)
{
    if (!visible)
        Hide();
    ChooseVideoSink();
    if (!wxMediaCtrl::Create(parent, id, wxEmptyString, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE, backend))
        return false;
    Bind(wxEVT_MEDIA_LOADED, &CPlayer::OnLoaded, this);
    return true;
}

bool CPlayer::SetUrl(const std::string &path)
{
    // The backend turns the name into a file address, which must be absolute.
    wxFileName name(wxString::FromUTF8(FsPath(path)));
    name.MakeAbsolute();
    m_startWhenLoaded = true;
    if (Load(name.GetFullPath()))
        return true;
    m_startWhenLoaded = false;
    DebugLog("Play %s error", path.c_str());
    return false;
}

void CPlayer::CloseMedia()
{
    m_startWhenLoaded = false;
    Stop();
}

void CPlayer::OnLoaded(wxMediaEvent &event)
{
    if (m_startWhenLoaded) {
        m_startWhenLoaded = false;
        Play();
    }
    event.Skip();
}
