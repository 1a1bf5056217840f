// The video player: a media control that starts a file as soon as it is
// loaded, the way setting a media player's address starts playback.
#pragma once

#include <wx/mediactrl.h>

#include <string>

class CPlayer : public wxMediaCtrl {
public:
    CPlayer() = default;

    // False when no media backend could be made (backend names a wx media
    // backend class; empty takes the first that works). The control is then absent.
    bool Create(wxWindow *parent, wxWindowID id, const wxRect &rect, bool visible,
                const wxString &backend = wxEmptyString);

    // Loads a file (GBK path) and plays it from the start once loaded; false,
    // with one log line, when the control refuses the file.
    bool SetUrl(const std::string &path);
    // Stops playback, also one still waiting for its file to load.
    void CloseMedia();

private:
    void OnLoaded(wxMediaEvent &event);

    bool m_startWhenLoaded = false;
};
