// The advertisement player: plays a channel's advertisement clip once, counts
// its progress in frames at a fixed nominal rate, and reports the clip's
// commands to its parent: "finish" when the clip ends, "close" from its skip
// control.
#pragma once

#include "ui/CPlayer.h"

#include <wx/button.h>
#include <wx/event.h>
#include <wx/window.h>

#include <string>

// A clip's progress counted in frames, as the player host's timer reads it.
class IFrameSource {
public:
    virtual ~IFrameSource() = default;
    // Frames of the whole clip; 0 while its length is not known.
    virtual int TotalFrames() = 0;
    // The frame on screen, from 0; -1 while no frame has been shown.
    virtual int CurrentFrame() = 0;
};

// The clip's command, sent to the parent with the player's id; GetString() is
// the command's value.
wxDECLARE_EVENT(wxEVT_FLASH_COMMAND, wxCommandEvent);

class CFlashPlayer : public wxWindow, public IFrameSource {
public:
    // Clips carry no frame count of their own; they are counted at this rate.
    static constexpr int kFramesPerSecond = 12;
    // The strip under the clip that holds the skip control.
    static constexpr int kBarHeight = 40;
    enum { ID_MOVIE = 1, ID_SKIP = 2 };

    CFlashPlayer() = default;

    // Creates the player hidden; false when its media control cannot be made
    // (see CPlayer::Create), and the player is then absent.
    bool Create(wxWindow *parent, wxWindowID id, const wxRect &rect, const wxString &backend = wxEmptyString);

    // Plays the clip (GBK path) once from its first frame; false when the
    // media control refuses it.
    bool PlayMovie(const std::string &path);
    // Stops the clip; it sends no more commands.
    void StopMovie();

    int TotalFrames() override;
    int CurrentFrame() override;

    CPlayer &Movie() { return m_movie; }
    wxButton &SkipButton() { return m_skip; }

private:
    void OnSize(wxSizeEvent &event);
    void OnSkip(wxCommandEvent &event);
    void OnMovieFinished(wxMediaEvent &event);
    void SendCommand(const char *value);

    CPlayer m_movie;
    wxButton m_skip;
    bool m_playing = false; // a clip was started and not stopped since

    wxDECLARE_EVENT_TABLE();
};
