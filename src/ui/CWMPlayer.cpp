#include "ui/CWMPlayer.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "base/GbkText.h"
#include "base/KeyStore.h"
#include "base/PlayTime.h"
#include "base/SafeName.h"
#include "net/AdFetcher.h"
#include "store/CatalogueStore.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"
#include "ui/MediaSupport.h"
#include "ui/MessageBox.h"
#include "skin/SkinBitmaps.h"

#include <gtk/gtk.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace {

const char *const kNotDownloaded = "此文件还没有完成下载！";
const char *const kNoSuchFile = "文件不存在";
const char *const kCannotPlay = "无法播放此文件";

long long SteadyMs() { return wxGetLocalTimeMillis().GetValue(); }

// Where the frame is on the screen, asked of the X server: the position the
// toolkit keeps for a frame is not always updated when the window manager places it.
wxRect FrameRect(wxTopLevelWindow &frame)
{
    GdkWindow *window = frame.GetHandle() ? gtk_widget_get_window(frame.GetHandle()) : nullptr;
    if (!window)
        return frame.GetRect();
    int x = 0, y = 0;
    gdk_window_get_origin(window, &x, &y);
    return wxRect(wxPoint(x, y), frame.GetSize());
}

} // namespace

wxBEGIN_EVENT_TABLE(CWMPlayer, wxWindow)
    EVT_SIZE(CWMPlayer::OnSize)
    EVT_TIMER(CWMPlayer::ID_AD_TIMER, CWMPlayer::OnTimer)
    EVT_TIMER(CWMPlayer::ID_BAR_TIMER, CWMPlayer::OnBarTimer)
    EVT_TIMER(CWMPlayer::ID_RESTORE_TIMER, CWMPlayer::OnRestoreTimer)
    EVT_COMMAND(CWMPlayer::ID_AD_PLAYER, wxEVT_FLASH_COMMAND, CWMPlayer::OnFlashCommand)
    EVT_MEDIA_LOADED(CWMPlayer::ID_VIDEO_PLAYER, CWMPlayer::OnMediaLoaded)
    EVT_MEDIA_PLAY(CWMPlayer::ID_VIDEO_PLAYER, CWMPlayer::OnMediaPlay)
    EVT_MEDIA_PAUSE(CWMPlayer::ID_VIDEO_PLAYER, CWMPlayer::OnMediaPause)
    EVT_MEDIA_STOP(CWMPlayer::ID_VIDEO_PLAYER, CWMPlayer::OnMediaStop)
    EVT_MEDIA_FINISHED(CWMPlayer::ID_VIDEO_PLAYER, CWMPlayer::OnMediaFinished)
    EVT_BUTTON(CPlayBar::ID_PLAY, CWMPlayer::OnBarButton)
    EVT_BUTTON(CPlayBar::ID_STOP, CWMPlayer::OnBarButton)
    EVT_BUTTON(CPlayBar::ID_MUTE, CWMPlayer::OnBarButton)
    EVT_BUTTON(CPlayBar::ID_FULLSCREEN, CWMPlayer::OnBarButton)
    EVT_COMMAND_SCROLL_THUMBTRACK(CPlayBar::ID_SEEK, CWMPlayer::OnSeekTrack)
    EVT_COMMAND_SCROLL_CHANGED(CPlayBar::ID_SEEK, CWMPlayer::OnSeekChanged)
    EVT_COMMAND_SCROLL_THUMBTRACK(CPlayBar::ID_VOLUME, CWMPlayer::OnVolumeSlider)
    EVT_COMMAND_SCROLL_CHANGED(CPlayBar::ID_VOLUME, CWMPlayer::OnVolumeSlider)
wxEND_EVENT_TABLE()

CWMPlayer::CWMPlayer(CCatalogueStore &store)
    : m_store(store), m_frames(&m_adPlayer), m_timer(this, ID_AD_TIMER), m_barTimer(this, ID_BAR_TIMER),
      m_clock(SteadyMs), m_restoreTimer(this, ID_RESTORE_TIMER)
{
}

bool CWMPlayer::Create(wxWindow *parent, wxWindowID id, const wxRect &rect, const wxString &videoBackend,
                       const wxString &adBackend)
{
    Hide();
    if (!wxWindow::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE))
        return false;
    SetBackgroundColour(*wxBLACK);
    const wxRect client(GetClientSize());
    m_hasAdPlayer = m_adPlayer.Create(this, ID_AD_PLAYER, client, adBackend);
    m_hasVideoPlayer = m_videoPlayer.Create(this, ID_VIDEO_PLAYER, client, true, videoBackend);
    m_bar.Create(this, ID_BAR, g_hMainSkin, wxPoint(0, std::max(0, client.height - CPlayBar::kHeight)),
                 wxSize(client.width, CPlayBar::kHeight));
    m_bar.Hide();
    // Created last, so that it lies above the picture.
    m_note.Create(this, ID_NOTE);
    if (m_hasVideoPlayer) {
        m_videoPlayer.Bind(wxEVT_LEFT_DOWN, &CWMPlayer::OnPictureClick, this);
        m_videoPlayer.Bind(wxEVT_LEFT_DCLICK, &CWMPlayer::OnPictureDoubleClick, this);
    }
    return true;
}

void CWMPlayer::SetKeyStore(CKeyStore *keys)
{
    m_keys = keys;
    if (!m_keys)
        return;
    CRegKey key;
    std::string value;
    if (key.Open(*m_keys, EHive::CurrentUser, kSettingsKey)) {
        if (key.QueryValue("Volume", value))
            m_volume = std::clamp(AtoI(value), 0, 100);
        if (key.QueryValue("Mute", value))
            m_muted = AtoI(value) != 0;
    }
    m_bar.SetVolume(m_volume);
    m_bar.SetMuted(m_muted);
    ApplyVolume();
}

void CWMPlayer::SetClock(Clock clock) { m_clock = clock ? std::move(clock) : Clock(SteadyMs); }

void CWMPlayer::PlayFile(int channel, int file)
{
    const std::string fileRoot = m_store.GetConfigValue(CFG_FILEROOT);
    TFileFields fields;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        CFileCatalogue(m_store).GetFileFields(file, channel, &fields);
    }
    std::string ad;
    bool hasAd;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.ChannelLock());
        hasAd = CChannelCatalogue(m_store).GetChannelAd(channel, &ad) == 1;
    }

    if (AtoI(fields.progress) < 100 || fields.title.empty()) {
        ShowMessageBox(this, wxString::FromUTF8(kNotDownloaded));
        return;
    }
    std::string videoPath;
    if (!MakeLocalPath("PlayFile", fileRoot, fields.location, kMaxPath, videoPath) || !FileExists(videoPath)) {
        ShowMessageBox(this, wxString::FromUTF8(kNoSuchFile));
        return;
    }
    // The video playing until now is left: its place is kept under its own ID.
    RememberPosition();
    m_videoActive = false;
    m_videoPath = videoPath;
    m_fileId = file;

    if (m_hasAdPlayer && hasAd) {
        std::string adPath;
        if (!AdvertisementPath(fileRoot, ad, adPath))
            return;
        // A clip that is not on disk (yet) is no error: the video plays at once.
        if (FileExists(adPath) && StartAdvertisement(adPath))
            return;
    }
    Action("play");
}

bool AdvertisementPath(const std::string &fileRoot, const std::string &name, std::string &path)
{
    std::string root = fileRoot;
    if (root.empty() || root[0] != '/') {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd)) {
            DebugLog("PlayFile getcwd error[%d]", errno);
            return false;
        }
        root = Utf8ToGbk(cwd) + "/" + root;
    }
    // An unsafe or too long name leaves the path empty, which names no file.
    path.clear();
    MakeLocalPath("PlayFile", AdFolder(root), name, CWMPlayer::kMaxPath, path);
    return true;
}

bool CWMPlayer::StartAdvertisement(const std::string &path)
{
    ShowBar(false);
    m_note.Hide();
    m_adPlayer.Show();
    if (m_hasVideoPlayer) {
        m_videoPlayer.Hide();
        m_videoPlayer.CloseMedia();
    }
    ShowDetailPane(false);
    Show();
    if (!m_adPlayer.PlayMovie(path))
        return false;
    m_timer.Start(kAdTimerPeriod);
    return true;
}

void CWMPlayer::Action(const std::string &value)
{
    m_timer.Stop();
    const int percent = SeenPercent(value);
    if (!FileExists(m_videoPath)) {
        ShowMessageBox(this, wxString::FromUTF8(kNoSuchFile));
        // The clip has ended or was skipped and there is nothing to play.
        Stop();
        return;
    }
    if (m_playReport)
        m_playReport(m_fileId, percent);
    if (m_hasAdPlayer) {
        m_adPlayer.Hide();
        m_adPlayer.StopMovie();
    }
    m_note.Hide();
    m_failed = false;
    m_started = m_finished = false;
    m_resumeAt = 0;
    m_videoActive = true;
    if (m_hasVideoPlayer)
        m_videoPlayer.Show();
    ShowDetailPane(false);
    Show();
    if (!m_hasVideoPlayer)
        return;
    m_bar.SetPlaying(false);
    m_bar.SetTimes(0, 0);
    ShowBar(true);
    m_loading = true;
    m_loaded = false;
    m_loadedAt = m_clock();
    if (!m_videoPlayer.SetUrl(m_videoPath))
        Fail("refused");
}

int CWMPlayer::SeenPercent(const std::string &value) const
{
    if (value == "finish")
        return 100;
    if (value != "close" || !m_hasAdPlayer)
        return 0;
    const int total = std::max(1, m_frames->TotalFrames());
    // Multiplied before dividing, so that 29 of 100 frames is 29 and not 28.99...
    const double percent = (m_frames->CurrentFrame() + 1) * 100.0 / total;
    return std::clamp(static_cast<int>(percent), 0, 100);
}

void CWMPlayer::Stop()
{
    // A timer left running would start the video in a hidden host.
    m_timer.Stop();
    if (!GetHandle())
        return;
    RememberPosition();
    LeaveFullScreen();
    m_videoActive = false;
    m_loading = false;
    ShowBar(false);
    m_note.Hide();
    Hide();
    if (m_hasVideoPlayer)
        m_videoPlayer.CloseMedia();
    if (m_hasAdPlayer)
        m_adPlayer.StopMovie();
    ShowDetailPane(true);
}

void CWMPlayer::ShowDetailPane(bool show)
{
    if (m_owner)
        m_owner->ShowDetailPane(show);
}

void CWMPlayer::OnSize(wxSizeEvent &event)
{
    PlaceChildren();
    event.Skip();
}

void CWMPlayer::PlaceChildren()
{
    const wxSize size = GetClientSize();
    // The picture keeps to the area above the bar, stretched to fit it.
    const int barHeight = m_bar.IsShown() ? CPlayBar::kHeight : 0;
    if (m_hasVideoPlayer) {
        const wxSize picture(size.x, std::max(1, size.y - barHeight));
        if (picture != m_videoPlayer.GetSize()) {
            m_videoPlayer.SetSize(wxRect(picture));
            RefitPicture();
        }
    }
    if (m_hasAdPlayer)
        m_adPlayer.SetSize(0, 0, size.x, size.y);
    if (m_bar.GetHandle())
        m_bar.SetSize(0, std::max(0, size.y - CPlayBar::kHeight), size.x, CPlayBar::kHeight);
    if (m_note.GetHandle()) {
        const wxSize note = m_note.GetSize();
        if (m_failed)
            m_note.Move((size.x - note.x) / 2, (size.y - barHeight - note.y) / 2);
        else
            m_note.Move(12, 12);
    }
}

void CWMPlayer::RefitPicture()
{
    // The X11 sinks draw at the size agreed when the stream started: a seek to
    // where the video is makes the stream agree on the new size, stretched again.
    if (!m_started || m_refitPending)
        return;
    m_refitPending = true;
    CallAfter([this] {
        m_refitPending = false;
        if (m_started && m_videoActive)
            m_videoPlayer.Seek(m_videoPlayer.Tell());
    });
}

void CWMPlayer::ShowBar(bool show)
{
    if (show) {
        m_idleHidden = false;
        m_lastMovement = m_clock();
        m_lastPointer = wxGetMousePosition();
        if (!m_barTimer.IsRunning())
            m_barTimer.Start(kBarTimerPeriod);
    } else {
        m_barTimer.Stop();
    }
    if (m_bar.IsShown() != show) {
        m_bar.Show(show);
        PlaceChildren();
    }
}

void CWMPlayer::ShowNote(const wxString &text, bool lasting)
{
    m_note.SetText(text);
    m_noteUntil = lasting ? 0 : m_clock() + kNoteTime;
    PlaceChildren();
    m_note.Show();
    m_note.Raise();
}

void CWMPlayer::Fail(const std::string &reason)
{
    m_loading = false;
    m_failed = true;
    const std::string missing = MissingDecoders(FsPath(m_videoPath));
    DebugLog("Play %s error[%s]", m_videoPath.c_str(), missing.empty() ? reason.c_str() : missing.c_str());
    wxString text = wxString::FromUTF8(kCannotPlay);
    if (!missing.empty())
        text += wxString::FromUTF8("\n缺少解码器：") + wxString::FromUTF8(missing);
    ShowBar(false);
    if (m_hasVideoPlayer)
        m_videoPlayer.Hide();
    ShowNote(text, true);
}

void CWMPlayer::RememberPosition()
{
    // A resume still to land leaves the place kept as it is.
    if (!m_videoActive || !m_started || m_finished || !m_hasVideoPlayer || m_resumeAt > 0)
        return;
    m_store.Positions().Left(m_fileId, m_videoPlayer.Tell(), m_videoPlayer.Length());
}

void CWMPlayer::ApplyVolume()
{
    if (m_hasVideoPlayer)
        m_videoPlayer.SetVolume(m_muted ? 0.0 : m_volume / 100.0);
}

void CWMPlayer::SaveVolume()
{
    if (!m_keys)
        return;
    CRegKey key;
    if (!key.Create(*m_keys, EHive::CurrentUser, kSettingsKey) || !key.SetValue("Volume", std::to_string(m_volume)) ||
        !key.SetValue("Mute", m_muted ? "1" : "0"))
        DebugLog("Save volume error[%d]", m_keys->LastError());
}

void CWMPlayer::TogglePlay()
{
    if (!m_videoActive || !m_hasVideoPlayer || m_failed)
        return;
    if (m_videoPlayer.GetState() == wxMEDIASTATE_PLAYING) {
        RememberPosition();
        m_videoPlayer.Pause();
        return;
    }
    if (m_finished) {
        m_finished = false;
        m_videoPlayer.Seek(0);
    }
    m_videoPlayer.Play();
}

void CWMPlayer::StopVideo()
{
    if (!m_videoActive || !m_hasVideoPlayer || m_failed)
        return;
    RememberPosition();
    m_videoPlayer.Stop();
}

void CWMPlayer::SeekTo(long long position)
{
    if (!m_videoActive || !m_hasVideoPlayer || !m_started)
        return;
    const long long length = m_videoPlayer.Length();
    if (length <= 0)
        return;
    position = std::clamp(position, 0LL, length);
    m_finished = false;
    m_resumeAt = 0; // the viewer's place wins over the one kept
    m_videoPlayer.Seek(position);
    m_bar.SetTimes(position, length);
    // Kept at once: the position read back lags until the seek lands.
    m_store.Positions().Left(m_fileId, position, length);
}

void CWMPlayer::SeekBy(long long delta)
{
    if (m_hasVideoPlayer)
        SeekTo(m_videoPlayer.Tell() + delta);
}

void CWMPlayer::SetVolume(int percent, bool keep)
{
    m_volume = std::clamp(percent, 0, 100);
    m_muted = false;
    m_bar.SetVolume(m_volume);
    m_bar.SetMuted(false);
    ApplyVolume();
    if (keep)
        SaveVolume();
}

void CWMPlayer::ToggleMute()
{
    m_muted = !m_muted;
    m_bar.SetMuted(m_muted);
    ApplyVolume();
    SaveVolume();
}

bool CWMPlayer::HandleKey(int keyCode)
{
    if (!IsVideoShown())
        return false;
    switch (keyCode) {
    case WXK_SPACE:
        TogglePlay();
        return true;
    case WXK_LEFT:
        SeekBy(-kSeekStep);
        return true;
    case WXK_RIGHT:
        SeekBy(kSeekStep);
        return true;
    case WXK_UP:
        SetVolume(m_volume + kVolumeStep);
        return true;
    case WXK_DOWN:
        SetVolume(m_volume - kVolumeStep);
        return true;
    case 'M':
    case 'm':
        ToggleMute();
        return true;
    case 'F':
    case 'f':
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        ToggleFullScreen();
        return true;
    case WXK_ESCAPE:
        LeaveFullScreen();
        return true;
    default:
        return false;
    }
}

void CWMPlayer::ToggleFullScreen()
{
    if (m_fullScreen)
        LeaveFullScreen();
    else if (IsVideoShown())
        EnterFullScreen();
}

void CWMPlayer::EnterFullScreen()
{
    auto *frame = wxDynamicCast(wxGetTopLevelParent(this), wxTopLevelWindow);
    if (!frame)
        return;
    m_saved = TSavedLayout();
    m_saved.maximized = frame->IsMaximized();
    m_saved.frame = FrameRect(*frame);
    // Only the video is left: every sibling on the way up to the frame hides.
    for (wxWindow *window = this; window && window != frame; window = window->GetParent()) {
        m_saved.chain.emplace_back(window, window->GetRect());
        for (wxWindow *sibling : window->GetParent()->GetChildren())
            if (sibling != window && sibling->IsShown() && !sibling->IsTopLevel()) {
                sibling->Hide();
                m_saved.hidden.emplace_back(sibling, sibling->GetRect());
            }
    }
    m_fullScreen = true;
    m_bar.SetFullScreen(true);
    // The bar stays for a while before it hides.
    m_lastMovement = m_clock();
    m_lastPointer = wxGetMousePosition();
    frame->Bind(wxEVT_SIZE, &CWMPlayer::OnTopLevelSize, this);
    frame->ShowFullScreen(true);
    FitFullScreen();
    SetFocus();
}

void CWMPlayer::FitFullScreen()
{
    if (!m_fullScreen) {
        if (HoldsLayout())
            RestoreLayout();
        return;
    }
    // From the frame down, each window of the chain fills its parent.
    for (auto it = m_saved.chain.rbegin(); it != m_saved.chain.rend(); ++it)
        it->first->SetSize(wxRect(it->first->GetParent()->GetClientSize()));
}

void CWMPlayer::OnTopLevelSize(wxSizeEvent &event)
{
    event.Skip();
    // After the frame's own layout has run.
    CallAfter([this] { FitFullScreen(); });
}

void CWMPlayer::LeaveFullScreen()
{
    if (!m_fullScreen)
        return;
    auto *frame = wxDynamicCast(wxGetTopLevelParent(this), wxTopLevelWindow);
    m_fullScreen = false;
    m_bar.SetFullScreen(false);
    ShowBar(m_videoActive);
    SetCursor(wxNullCursor);
    m_videoPlayer.SetCursor(wxNullCursor);
    if (!frame)
        return;
    frame->Unbind(wxEVT_SIZE, &CWMPlayer::OnTopLevelSize, this);
    frame->ShowFullScreen(false);
    if (m_saved.maximized)
        frame->Maximize(true);
    else
        frame->SetSize(m_saved.frame);
    for (const auto &[window, rect] : m_saved.hidden) {
        window->SetSize(rect);
        window->Show();
    }
    // The window manager may keep the screen size or move the frame: its own
    // rectangle and the panes' are put back until it has settled.
    m_restoreUntil = m_clock() + kRestoreWatch;
    m_restoreSettled = 0;
    m_restoreTimer.Start(kRestorePeriod);
    RestoreLayout();
}

bool CWMPlayer::RestoreLayout()
{
    auto *frame = wxDynamicCast(wxGetTopLevelParent(this), wxTopLevelWindow);
    if (!frame)
        return true;
    bool settled = true;
    if (m_saved.maximized) {
        if (!frame->IsMaximized()) {
            frame->Maximize(true);
            settled = false;
        }
    } else if (FrameRect(*frame) != m_saved.frame) {
        frame->SetSize(m_saved.frame);
        settled = false;
    }
    for (const auto &list : {m_saved.chain, m_saved.hidden})
        for (const auto &[window, rect] : list)
            if (window->GetRect() != rect) {
                window->SetSize(rect);
                settled = false;
            }
    return settled;
}

void CWMPlayer::OnRestoreTimer(wxTimerEvent &)
{
    if (m_fullScreen)
        return;
    m_restoreSettled = RestoreLayout() ? m_restoreSettled + kRestorePeriod : 0;
    if (m_restoreSettled >= kRestoreSettle || m_clock() >= m_restoreUntil)
        m_restoreTimer.Stop();
}

void CWMPlayer::UpdateBar()
{
    if (!m_hasVideoPlayer || !m_videoActive)
        return;
    if (m_loading && m_loadedAt && m_clock() - m_loadedAt >= kStartWait) {
        m_loadedAt = 0;
        DebugLog("Play %s not started after %lld ms", m_videoPath.c_str(), kStartWait);
    }
    long long position = m_videoPlayer.Tell();
    const long long length = m_started ? m_videoPlayer.Length() : 0;
    if (m_resumeAt > 0 && position >= kResumeAfter && m_videoPlayer.GetState() == wxMEDIASTATE_PLAYING) {
        const long long start = m_resumeAt;
        if ((length > 0 && start >= length) || position >= start) {
            m_resumeAt = 0;
        } else if (m_videoPlayer.Seek(start) != wxInvalidOffset) {
            m_resumeAt = 0;
            position = start;
            ShowNote(wxString::FromUTF8("从 " + PlayTimeText(start, length >= 3600 * 1000LL) + " 继续播放"), false);
        } else if (++m_resumeRefusals >= kResumeTries) {
            // A pipeline still busy with its start refuses the seek; the next ticks ask again.
            m_resumeAt = 0;
            DebugLog("Play %s resume at %lld error", m_videoPath.c_str(), start);
        }
    }
    if (!m_bar.SeekSlider().IsDragging())
        m_bar.SetTimes(m_finished ? length : position, length);
    // Until the resume lands the position read is the start's: recording it
    // would lose the place kept, should the program end before the seek.
    if (m_started && m_resumeAt == 0 && m_videoPlayer.GetState() == wxMEDIASTATE_PLAYING)
        m_store.Positions().Playing(m_fileId, position, length);

    const long long now = m_clock();
    if (m_noteUntil && now >= m_noteUntil && m_note.IsShown() && !m_failed)
        m_note.Hide();
    if (!m_fullScreen)
        return;
    const wxPoint pointer = wxGetMousePosition();
    if (pointer != m_lastPointer) {
        m_lastPointer = pointer;
        m_lastMovement = now;
        if (m_idleHidden) {
            m_idleHidden = false;
            m_bar.Show();
            PlaceChildren();
            SetCursor(wxNullCursor);
            m_videoPlayer.SetCursor(wxNullCursor);
        }
    } else if (!m_idleHidden && now - m_lastMovement >= kIdleHide && !m_bar.SeekSlider().IsDragging()) {
        m_idleHidden = true;
        m_bar.Hide();
        PlaceChildren();
        SetCursor(wxCursor(wxCURSOR_BLANK));
        m_videoPlayer.SetCursor(wxCursor(wxCURSOR_BLANK));
    }
}

void CWMPlayer::OnBarTimer(wxTimerEvent &) { UpdateBar(); }

void CWMPlayer::OnMediaLoaded(wxMediaEvent &event)
{
    event.Skip();
    m_loaded = m_loading;
}

void CWMPlayer::OnMediaPlay(wxMediaEvent &event)
{
    event.Skip();
    if (!m_videoActive)
        return;
    m_loading = false;
    m_bar.SetPlaying(true);
    if (m_started)
        return;
    m_started = true;
    ApplyVolume();
    // A seek made as the pipeline starts leaves it stalled: the bar's timer
    // makes it once the position has moved on a little.
    m_resumeAt = m_store.Positions().StartPosition(m_fileId);
    m_resumeRefusals = 0;
    UpdateBar();
}

void CWMPlayer::OnMediaPause(wxMediaEvent &event)
{
    // Not a place to keep: a seek pauses the pipeline for a moment too, while
    // its position still reads the old place. The viewer's pause keeps it.
    event.Skip();
    m_bar.SetPlaying(false);
}

void CWMPlayer::OnMediaStop(wxMediaEvent &event)
{
    event.Skip();
    m_bar.SetPlaying(false);
    // The control reports no error: a load that stops without ever playing failed.
    // A stop of the media played before arrives ahead of this one's loaded event.
    if (m_videoActive && m_loading && m_loaded && !m_started)
        Fail("not played");
}

void CWMPlayer::OnMediaFinished(wxMediaEvent &event)
{
    event.Skip();
    if (!m_videoActive || !m_started)
        return;
    m_finished = true;
    m_bar.SetPlaying(false);
    const long long length = m_videoPlayer.Length();
    m_store.Positions().Left(m_fileId, length, length);
    m_bar.SetTimes(length, length);
}

void CWMPlayer::OnBarButton(wxCommandEvent &event)
{
    switch (event.GetId()) {
    case CPlayBar::ID_PLAY:
        TogglePlay();
        break;
    case CPlayBar::ID_STOP:
        StopVideo();
        break;
    case CPlayBar::ID_MUTE:
        ToggleMute();
        break;
    case CPlayBar::ID_FULLSCREEN:
        ToggleFullScreen();
        break;
    }
}

void CWMPlayer::OnSeekTrack(wxScrollEvent &)
{
    const long long now = m_clock();
    if (now - m_lastDragSeek < kDragSeekPeriod)
        return;
    m_lastDragSeek = now;
    if (m_hasVideoPlayer && m_started)
        m_videoPlayer.Seek(m_bar.SeekSlider().GetValue());
}

void CWMPlayer::OnSeekChanged(wxScrollEvent &) { SeekTo(m_bar.SeekSlider().GetValue()); }

void CWMPlayer::OnVolumeSlider(wxScrollEvent &event)
{
    // Kept once, where the thumb comes to rest.
    SetVolume(int(m_bar.VolumeSlider().GetValue()), event.GetEventType() == wxEVT_SCROLL_CHANGED);
}

void CWMPlayer::OnPictureClick(wxMouseEvent &event)
{
    event.Skip();
    TogglePlay();
}

void CWMPlayer::OnPictureDoubleClick(wxMouseEvent &event)
{
    event.Skip();
    ToggleFullScreen();
}

void CWMPlayer::OnTimer(wxTimerEvent &)
{
    // A tick already on its way when the clip was stopped has nothing to end.
    if (!m_hasAdPlayer || !m_timer.IsRunning())
        return;
    // A clip whose length is not known yet reports no frames and has not ended.
    const int total = m_frames->TotalFrames();
    if (total > 0 && m_frames->CurrentFrame() + 1 >= total) {
        m_timer.Stop();
        Action("finish");
    }
}

void CWMPlayer::OnFlashCommand(wxCommandEvent &event) { Action(event.GetString().ToStdString()); }
