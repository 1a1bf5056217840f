// The player host: shown in place of the file detail pane while something
// plays. It plays a downloaded video, after the channel's current
// advertisement clip when there is one, and reports how much of the clip was
// seen.
#pragma once

#include "skin/CPlayBar.h"
#include "ui/CFlashPlayer.h"
#include "ui/CPlayer.h"
#include "ui/CPlayerNote.h"

#include <wx/timer.h>
#include <wx/window.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CCatalogueStore;
class CKeyStore;

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
    enum { ID_VIDEO_PLAYER = 1027, ID_AD_PLAYER = 1028, ID_AD_TIMER = 1, ID_BAR_TIMER = 2, ID_BAR = 1029, ID_NOTE = 1030,
           ID_RESTORE_TIMER = 3 };
    static constexpr int kAdTimerPeriod = 1000; // ms
    // The bar reads the position four times a second while it shows.
    static constexpr int kBarTimerPeriod = 250;
    // While the seek thumb is dragged the picture follows at most this often.
    static constexpr long long kDragSeekPeriod = 200;
    static constexpr long long kSeekStep = 10000;
    static constexpr int kVolumeStep = 10;
    // In fullscreen the bar and the pointer hide after this long without movement.
    static constexpr long long kIdleHide = 3000;
    // After fullscreen the window manager may still move or size the frame for
    // a moment: its own rectangle is put back whenever it does, until it has
    // stayed put this long, or at most for the watch.
    static constexpr long long kRestoreSettle = 1000;
    static constexpr long long kRestoreWatch = 5000;
    static constexpr int kRestorePeriod = 100;
    // How long the "continues from" note stays.
    static constexpr long long kNoteTime = 4000;
    // A remembered position is sought once the video has played this long.
    static constexpr long long kResumeAfter = 400;
    static constexpr int kResumeTries = 20; // bar ticks: five seconds
    // A video loaded this long ago that has not started says so in the log.
    static constexpr long long kStartWait = 10000;
    // Where the volume and mute are kept across runs (current user's hive).
    static constexpr const char *kSettingsKey = "Software\\Tovix";
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
    // Reads the volume and mute kept there, and keeps every change there.
    void SetKeyStore(CKeyStore *keys);
    // Milliseconds of a monotonic clock, for the bar's hiding, the note and the seek throttle.
    using Clock = std::function<long long()>;
    void SetClock(Clock clock);

    // Plays a finished file of a channel, its current advertisement clip first.
    void PlayFile(int channel, int file);
    // Hides the host, stops both players and hands the place back to the detail pane.
    void Stop();
    // The clip's command: "play", "finish" or "close" end the clip, report how
    // much of it was seen and play the video.
    void Action(const std::string &value);

    // The viewer's controls, also reached through the bar and the keys.
    void TogglePlay();
    void StopVideo();
    void SeekTo(long long position);
    void SeekBy(long long delta);
    // 0 to 100; keep false leaves the key store as it is (while a thumb is dragged).
    void SetVolume(int percent, bool keep = true);
    void ToggleMute();
    void ToggleFullScreen();
    void LeaveFullScreen();
    // Space, Left/Right, Up/Down, M, F, Enter and Escape while the video shows;
    // false for every other key and whenever the video is not shown.
    bool HandleKey(int keyCode);

    // The video (not the clip) is the host's content now.
    bool IsVideoShown() const { return IsShown() && m_videoActive; }
    bool IsFullScreen() const { return m_fullScreen; }
    // While fullscreen and for a moment after it, the host owns the layout of
    // the windows it changed: nobody else fits them.
    bool HoldsLayout() const { return m_fullScreen || m_restoreTimer.IsRunning(); }
    // Lays the fullscreen picture (or the layout being restored) out again
    // after the window changed size.
    void FitFullScreen();
    // The file could not be played: the message shows in the player's place.
    bool HasFailed() const { return m_failed; }
    int Volume() const { return m_volume; }
    bool IsMuted() const { return m_muted; }
    CPlayBar &Bar() { return m_bar; }
    CPlayerNote &Note() { return m_note; }
    wxTimer &BarTimer() { return m_barTimer; }
    // One tick of the bar's timer: the times, the position record, the fullscreen hiding.
    void UpdateBar();

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

    void ShowBar(bool show);
    void PlaceChildren();
    void RefitPicture();
    void ShowNote(const wxString &text, bool lasting);
    void Fail(const std::string &reason);
    void RememberPosition();
    void ApplyVolume();
    void SaveVolume();
    void EnterFullScreen();
    // Puts the saved layout back; true when nothing had to change.
    bool RestoreLayout();

    void OnSize(wxSizeEvent &event);
    void OnTimer(wxTimerEvent &event);
    void OnBarTimer(wxTimerEvent &event);
    void OnFlashCommand(wxCommandEvent &event);
    void OnMediaLoaded(wxMediaEvent &event);
    void OnMediaPlay(wxMediaEvent &event);
    void OnMediaPause(wxMediaEvent &event);
    void OnMediaStop(wxMediaEvent &event);
    void OnMediaFinished(wxMediaEvent &event);
    void OnBarButton(wxCommandEvent &event);
    void OnSeekTrack(wxScrollEvent &event);
    void OnSeekChanged(wxScrollEvent &event);
    void OnVolumeSlider(wxScrollEvent &event);
    void OnPictureClick(wxMouseEvent &event);
    void OnPictureDoubleClick(wxMouseEvent &event);
    void OnTopLevelSize(wxSizeEvent &event);
    void OnRestoreTimer(wxTimerEvent &event);

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

    CPlayBar m_bar;
    CPlayerNote m_note;
    wxTimer m_barTimer;
    CKeyStore *m_keys = nullptr;
    Clock m_clock;
    bool m_videoActive = false; // the video, not the clip, is the content
    bool m_loading = false;     // the video was loaded and has not played yet
    bool m_loaded = false;      // ... and its loaded event has come
    long long m_loadedAt = 0;   // when it was loaded; 0 once its slow start is logged
    bool m_started = false;     // the video has played since it was loaded
    bool m_finished = false;    // ... and reached its end
    bool m_failed = false;
    long long m_lastDragSeek = 0;
    long long m_resumeAt = 0;     // where the video goes on once it runs; 0: nowhere
    int m_resumeRefusals = 0;     // seeks to m_resumeAt the pipeline refused
    bool m_refitPending = false;  // a refit after a resize is queued
    long long m_noteUntil = 0;  // 0: the note stays until the video changes
    int m_volume = 100;
    bool m_muted = false;

    // The layout fullscreen replaced, restored exactly when it ends.
    struct TSavedLayout {
        wxRect frame;
        bool maximized = false;
        std::vector<std::pair<wxWindow *, wxRect>> chain; // the host and its parents below the frame
        std::vector<std::pair<wxWindow *, wxRect>> hidden; // siblings hidden on the way up
    };
    bool m_fullScreen = false;
    TSavedLayout m_saved;
    wxPoint m_lastPointer;
    long long m_lastMovement = 0;
    bool m_idleHidden = false;
    wxTimer m_restoreTimer;
    long long m_restoreUntil = 0;
    long long m_restoreSettled = 0; // how long the layout has stayed as saved

    wxDECLARE_EVENT_TABLE();
};
