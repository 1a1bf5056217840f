// The player host: shown in place of the file detail pane while something
// plays. It plays a downloaded video, after the channel's current
// advertisement clip when there is one, and reports how much of the clip was
// seen.
#pragma once

#include "ui/CFlashPlayer.h"
#include "ui/CPlayer.h"

#include <wx/timer.h>
#include <wx/window.h>

#include <cstddef>
#include <functional>
#include <string>

class CCatalogueStore;

// What the player host asks of the window that holds it.
class IPlayerHostOwner {
public:
    virtual ~IPlayerHostOwner() = default;
    // The file detail pane shares the host's place: it hides while something
    // plays and comes back when playback stops.
    virtual void ShowDetailPane(bool show) = 0;
};

// An advertisement clip's full path, FileRoot + "ADs/" + name, with a relative
// FileRoot put under the working directory. False when that directory cannot
// be read; an unsafe name (logged) leaves the path empty.
bool AdvertisementPath(const std::string &fileRoot, const std::string &name, std::string &path);

class CWMPlayer : public wxWindow {
public:
    enum { ID_VIDEO_PLAYER = 1027, ID_AD_PLAYER = 1028, ID_AD_TIMER = 1 };
    static constexpr int kAdTimerPeriod = 1000; // ms
    // The longest full path of a video or an advertisement clip.
    static constexpr size_t kMaxPath = 259;

    // Sends the play report (message type 4): the file and the share of its
    // advertisement clip that was seen, in percent.
    using PlayReport = std::function<void(int file, int percent)>;

    explicit CWMPlayer(CCatalogueStore &store);

    // Creates the host hidden and both players in it. A player whose media
    // control cannot be made is absent. The backends name wx media backend
    // classes; empty takes the first that works.
    bool Create(wxWindow *parent, wxWindowID id, const wxRect &rect, const wxString &videoBackend = wxEmptyString,
                const wxString &adBackend = wxEmptyString);

    void SetOwner(IPlayerHostOwner *owner) { m_owner = owner; }
    void SetPlayReport(PlayReport report) { m_playReport = std::move(report); }
    // Where the timer and the skip rule read the clip's frames; nullptr
    // restores the advertisement player.
    void SetFrameSource(IFrameSource *source) { m_frames = source ? source : &m_adPlayer; }

    // Plays a finished file of a channel, its current advertisement clip first.
    void PlayFile(int channel, int file);
    // Hides the host, stops both players and hands the place back to the detail pane.
    void Stop();
    // The clip's command: "play", "finish" or "close" end the clip, report how
    // much of it was seen and play the video.
    void Action(const std::string &value);

    bool HasVideoPlayer() const { return m_hasVideoPlayer; }
    bool HasAdPlayer() const { return m_hasAdPlayer; }
    CPlayer &VideoPlayer() { return m_videoPlayer; }
    CFlashPlayer &AdPlayer() { return m_adPlayer; }
    // Runs every second while a clip plays.
    wxTimer &AdTimer() { return m_timer; }

private:
    bool StartAdvertisement(const std::string &path);
    int SeenPercent(const std::string &value) const;
    void ShowDetailPane(bool show);

    void OnSize(wxSizeEvent &event);
    void OnTimer(wxTimerEvent &event);
    void OnFlashCommand(wxCommandEvent &event);

    CPlayer m_videoPlayer;
    CFlashPlayer m_adPlayer;
    bool m_hasVideoPlayer = false;
    bool m_hasAdPlayer = false;
    std::string m_videoPath;
    int m_fileId = 0;

    CCatalogueStore &m_store;
    IPlayerHostOwner *m_owner = nullptr;
    PlayReport m_playReport;
    IFrameSource *m_frames;
    wxTimer m_timer;

    wxDECLARE_EVENT_TABLE();
};
