#include "ui/CWMPlayer.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "base/GbkText.h"
#include "base/SafeName.h"
#include "net/AdFetcher.h"
#include "store/CatalogueStore.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"
#include "ui/MessageBox.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace {

const char *const kNotDownloaded = "此文件还没有完成下载！";
const char *const kNoSuchFile = "文件不存在";

} // namespace

wxBEGIN_EVENT_TABLE(CWMPlayer, wxWindow)
    EVT_SIZE(CWMPlayer::OnSize)
    EVT_TIMER(CWMPlayer::ID_AD_TIMER, CWMPlayer::OnTimer)
    EVT_COMMAND(CWMPlayer::ID_AD_PLAYER, wxEVT_FLASH_COMMAND, CWMPlayer::OnFlashCommand)
wxEND_EVENT_TABLE()

CWMPlayer::CWMPlayer(CCatalogueStore &store) : m_store(store), m_frames(&m_adPlayer), m_timer(this, ID_AD_TIMER) {}

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
    return true;
}

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
    if (m_hasVideoPlayer)
        m_videoPlayer.Show();
    ShowDetailPane(false);
    Show();
    if (m_hasVideoPlayer)
        m_videoPlayer.SetUrl(m_videoPath);
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
    const wxSize size = GetClientSize();
    if (m_hasVideoPlayer)
        m_videoPlayer.SetSize(0, 0, size.x, size.y);
    if (m_hasAdPlayer)
        m_adPlayer.SetSize(0, 0, size.x, size.y);
    event.Skip();
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
