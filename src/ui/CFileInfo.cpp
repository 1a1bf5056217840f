#include "ui/CFileInfo.h"

#include "base/EngineApi.h"
#include "base/SafeName.h"
#include "net/DownloadStart.h"
#include "net/TorrentWorker.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"
#include "ui/MessageBox.h"
#include "views/PictureFile.h"
#include "views/ViewPaint.h"

#include <wx/dcbuffer.h>

#include <mutex>

namespace {

const wxColour kBorder(116, 127, 133);
const wxColour kDescriptionText(102, 102, 102);
const wxSize kPictureSize(194, 144);
const wxPoint kPictureAt(15, 60);
const wxPoint kFrameAt(13, 58);
constexpr int kBandHeight = 53;
const wxPoint kDescriptionAt(215, 60);
constexpr int kDescriptionHeight = 132;
constexpr int kDescriptionMargin = 229; // the box ends 14 pixels before the right edge
const wxPoint kButtonAt(11, 226);
const wxPoint kSubscribeAt(122, 226);

void CreateButton(CBmpButton &button, wxWindow *parent, int id, const wxPoint &at, const SkinStrip &strip)
{
    button.Create(parent, id, at, wxSize(strip.cellWidth, strip.cellHeight));
    button.SetSkin(g_hMainSkin, strip.cellWidth, strip.cellHeight, strip.x, strip.y);
}

} // namespace

wxBEGIN_EVENT_TABLE(CFileInfo, wxWindow)
    EVT_PAINT(CFileInfo::OnPaint)
    EVT_SIZE(CFileInfo::OnSize)
    EVT_BUTTON(CFileInfo::ID_DOWNLOAD, CFileInfo::OnDownload)
    EVT_BUTTON(CFileInfo::ID_STOP, CFileInfo::OnStop)
    EVT_BUTTON(CFileInfo::ID_PLAY, CFileInfo::OnPlay)
    EVT_BUTTON(CFileInfo::ID_SUBSCRIBE, CFileInfo::OnSubscribe)
wxEND_EVENT_TABLE()

CFileInfo::CFileInfo(CCatalogueStore &store, CWorkerThreads &threads, IFileInfoOwner &owner)
    : m_store(store), m_threads(threads), m_owner(owner)
{
    LoadPictureFile(kDefaultPictureFile, kPictureSize, &m_picture);
}

bool CFileInfo::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT); // the paint covers everything: nothing is erased
    if (!wxWindow::Create(parent, id, pos, size, wxBORDER_NONE))
        return false;
    const int width = GetClientSize().x;
    m_description.Create(this, ID_DESCRIPTION, wxEmptyString, kDescriptionAt,
                         wxSize(width - kDescriptionMargin, kDescriptionHeight),
                         wxTE_MULTILINE | wxTE_RICH2 | wxTE_WORDWRAP | wxBORDER_NONE);
    m_description.SetFont(ViewFont());
    m_description.SetForegroundColour(kDescriptionText);
    m_description.SetBackgroundColour(*wxWHITE);
    m_description.SetDefaultStyle(wxTextAttr(kDescriptionText, wxNullColour, ViewFont()));
    CreateButton(m_download, this, ID_DOWNLOAD, kButtonAt, MainSkin::kDownload);
    CreateButton(m_stop, this, ID_STOP, kButtonAt, MainSkin::kStop);
    CreateButton(m_play, this, ID_PLAY, kButtonAt, MainSkin::kPlay);
    CreateButton(m_subscribe, this, ID_SUBSCRIBE, kSubscribeAt, MainSkin::kDetailSubscribe);
    return true;
}

bool CFileInfo::LoadShownPicture(const std::string &name)
{
    if (name != kDefaultPictureFile) {
        const std::string path = LocalPicturePath(m_store.GetConfigValue(CFG_PICROOT), name);
        // A file that opens counts as loaded even when it does not decode: the frame stays empty.
        if (!path.empty() && LoadPictureFile(path, kPictureSize, &m_picture))
            return true;
    }
    return LoadPictureFile(kDefaultPictureFile, kPictureSize, &m_picture);
}

void CFileInfo::ShowEntry(int key, int entry)
{
    if (key < 0) {
        ShowFile("", "", key, kDefaultPictureFile, "", -1, false);
        return;
    }
    TFileFields fields;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        CFileCatalogue(m_store).GetFileFields(entry / 1000, entry % 1000, &fields);
    }
    const std::string torrent = m_store.GetConfigValue(CFG_TORRENTROOT) + fields.torrent;
    const bool known = Engine().GetPosByTorrent(torrent.c_str()) >= 0;
    ShowFile(fields.torrent, fields.desc, key, fields.pic, fields.location, AtoI(fields.progress), known);
}

void CFileInfo::ShowFile(const std::string &torrent, const std::string &description, int key,
                         const std::string &picture, const std::string &location, int progress, bool engineKnows)
{
    m_shownKey = key;
    if (!LoadShownPicture(picture))
        return;
    m_location = location;
    m_torrent = torrent;
    m_description.ChangeValue(ScreenText(description));
    m_download.Show(!engineKnows);
    m_stop.Show(engineKnows);
    m_play.Hide();
    if (progress >= 100)
        ShowFinished();
    Refresh(false);
}

void CFileInfo::ShowPicture(const std::string &path)
{
    wxBitmap picture;
    if (!LoadPictureFile(path, kPictureSize, &picture))
        return;
    m_picture = picture;
    Refresh(false);
}

void CFileInfo::ShowFinished()
{
    m_download.Hide();
    m_stop.Hide();
    m_play.Show();
}

void CFileInfo::Download()
{
    m_play.Hide();
    m_download.Hide();
    m_stop.Show();
    // The worker gets copies of the names: the next click replaces them here.
    CDownloadStart(m_store, m_threads).Start(m_torrent, m_location, kButtonFetchFailure);
}

void CFileInfo::Stop()
{
    m_download.Show();
    m_stop.Hide();
    m_play.Hide();
    if (m_torrent.empty() && m_location.empty())
        return; // no file shown: nothing to stop
    std::string torrent;
    std::string video;
    if (MakeLocalPath("DelDownload", m_store.GetConfigValue(CFG_TORRENTROOT), m_torrent, CFileCatalogue::kMaxPath,
                      torrent) &&
        MakeLocalPath("DelDownload", m_store.GetConfigValue(CFG_FILEROOT), m_location, CFileCatalogue::kMaxPath,
                      video))
        Engine().DelDownload(torrent.c_str(), video.c_str());
}

void CFileInfo::Play()
{
    SendNotify(this, NM_DBLCLK, m_shownKey);
}

void CFileInfo::Subscribe()
{
    const int channel = m_owner.EntryNumberOfKey(m_shownKey) % 1000;
    std::string categoryName;
    std::string channelName;
    int changed;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.ChannelLock());
        CChannelCatalogue catalogue(m_store);
        const int category = catalogue.GetCategoryOfChannel(channel);
        categoryName = catalogue.GetCategoryName(category);
        channelName = catalogue.GetChannelName(channel);
        changed = catalogue.SetSubscribe(channel, category, 1);
    }
    const wxString names = ScreenText(categoryName + "/" + channelName);
    if (!changed) {
        ShowMessageBox(this, names + wxString::FromUTF8(": 您早已订制过此栏目!"));
        return;
    }
    ShowMessageBox(this, names + wxString::FromUTF8(": 订制成功(此后此栏目的所有内容将自动下载)!"));
    m_owner.PostCommand(kCommandMyPrograms);
    m_owner.RunSubscribedDownloadStart();
}

void CFileInfo::Render(wxDC &dc) const
{
    wxRect area(GetClientSize());
    FillSolid(dc, area, kBorder);
    area.Deflate(1);
    FillSolid(dc, area, *wxWHITE);
    area.Deflate(1);
    DrawSkinPiece(dc, wxRect(area.x, area.y, area.width, kBandHeight), g_hMainSkin, ToRect(MainSkin::kDetailBand));
    DrawSkinPiece(dc, wxRect(area.x, area.y + 2, area.width, 1), g_hMainSkin, ToRect(MainSkin::kDetailLine));
    DrawSkinPiece(dc, wxRect(kFrameAt, wxSize(MainSkin::kPictureFrame.width, MainSkin::kPictureFrame.height)),
                  g_hMainSkin, ToRect(MainSkin::kPictureFrame));
    if (m_picture.IsOk())
        dc.DrawBitmap(m_picture, kPictureAt);
}

void CFileInfo::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    dc.SetBackgroundMode(wxTRANSPARENT);
    Render(dc);
}

void CFileInfo::OnSize(wxSizeEvent &event)
{
    event.Skip();
    if (m_description.GetHandle())
        m_description.SetSize(kDescriptionAt.x, kDescriptionAt.y, GetClientSize().x - kDescriptionMargin,
                              kDescriptionHeight);
}

void CFileInfo::OnDownload(wxCommandEvent &)
{
    Download();
}

void CFileInfo::OnStop(wxCommandEvent &)
{
    Stop();
}

void CFileInfo::OnPlay(wxCommandEvent &)
{
    Play();
}

void CFileInfo::OnSubscribe(wxCommandEvent &)
{
    Subscribe();
}
