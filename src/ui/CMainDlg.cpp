#include "ui/CMainDlg.h"

#include "ui/CSettingDlg.h"

#include "base/EngineApi.h"
#include "net/DownloadRefresh.h"
#include "net/DownloadStart.h"
#include "net/ServiceReports.h"
#include "net/SyncWorkers.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinPaint.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"
#include "ui/CWxMainWindowLink.h"
#include "ui/MessageBox.h"
#include "views/ViewPaint.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <vector>

const char *const CMainDlg::kAdPagePath = "/webclient/adleft/index.html";

namespace {

const wxColour kStatusGrey(226, 226, 226);
const wxColour kTreeBoxBorder(62, 62, 62);
const wxColour kTreeBoxFill(208, 231, 247);
constexpr int kMinReportSeconds = 300;
constexpr int kDefaultMaxDownload = 10;
constexpr int kLeftColumn = 164; // the grey strip under the tree box ends here

const wxRect kTreeRect(5, 98, 159, 264);
const wxPoint kAllProgramsAt(165, 8);
const wxPoint kMyProgramsAt(236, 8);
const wxPoint kSubscribeAt(8, 372);
const wxRect kAdPaneRect(wxPoint(2, 426), wxPoint(158, 559));
const wxPoint kChannelPageAt(165, 93);
constexpr int kStatusFromRight = 268;
constexpr int kStatusFromBottom = 20;
const wxSize kStatusSize(314, 15);

// Layout on resize, from the client area's bottom edge.
constexpr int kTreeBottomGap = 328;
constexpr int kAdPaneFromBottom = 166;
constexpr int kSubscribeFromBottom = 220;

// "*其他下载内容*": downloaded files of channels that are not subscribed.
const char *const kOtherContentName = "*\xC6\xE4\xCB\xFB\xCF\xC2\xD4\xD8\xC4\xDA\xC8\xDD*";

struct TProgramItem {
    int id;
    std::string name;
};

void CreateButton(CBmpButton &button, wxWindow *parent, int id, const wxPoint &at, const SkinStrip &strip)
{
    button.Create(parent, id, at, wxSize(strip.cellWidth, strip.cellHeight));
    button.SetSkin(g_hMainSkin, strip.cellWidth, strip.cellHeight, strip.x, strip.y);
}

} // namespace

wxBEGIN_EVENT_TABLE(CMainDlg, CToVixCommonDlg)
    EVT_SIZE(CMainDlg::OnSize)
    EVT_TIMER(wxID_ANY, CMainDlg::OnTimer)
    EVT_WINDOW_MESSAGE(WM_SHOW_CHANNEL, CMainDlg::OnShowChannel)
    EVT_WINDOW_MESSAGE(WM_DOWNLOAD_CHANGED, CMainDlg::OnDownloadChanged)
    EVT_WINDOW_MESSAGE(WM_DOWNLOADS_FINISHED, CMainDlg::OnDownloadsFinished)
    EVT_BUTTON(CMainDlg::IDC_ALL_PROGRAMS, CMainDlg::OnAllPrograms)
    EVT_BUTTON(CMainDlg::IDC_MY_PROGRAMS, CMainDlg::OnMyPrograms)
    EVT_BUTTON(CMainDlg::IDC_SUBSCRIBE, CMainDlg::OnSubscribe)
    EVT_CHAR_HOOK(CMainDlg::OnCharHook)
wxEND_EVENT_TABLE()

CMainDlg::CMainDlg(const TMainContext &context)
    : m_context(context), m_channelInfo(context.store, context.threads, *this),
      m_statusTimer(this, TIMER_STATUS), m_throttleTimer(this, TIMER_THROTTLE), m_reportTimer(this, TIMER_REPORT),
      m_throttle(nullptr), m_finishWatch(context.store, context.keys, context.link),
      m_finishNotice(this, [this](int entry) { ShowFinishedFile(entry); })
{
    SetSkin(g_hMainSkin);
    SetWebAddresses(ScreenText(context.store.GetConfigValue(CFG_WEBURL)),
                    ScreenText(context.store.GetConfigValue(CFG_FORUMURL)));
}

CMainDlg::~CMainDlg()
{
    m_context.link.Detach();
}

bool CMainDlg::Create()
{
    return CToVixCommonDlg::Create(nullptr);
}

bool CMainDlg::Destroy()
{
    // Workers must stop reaching the window before it goes.
    m_context.link.Detach();
    m_statusTimer.Stop();
    m_throttleTimer.Stop();
    m_reportTimer.Stop();
    // Where the video was left is kept for the next run.
    m_channelInfo.Player().Stop();
    return CToVixCommonDlg::Destroy();
}

void CMainDlg::Restore()
{
    Show();
    Iconize(false);
    Raise();
}

CBmpButton &CMainDlg::Button(int id)
{
    switch (id) {
    case IDC_ALL_PROGRAMS:
        return m_allPrograms;
    case IDC_MY_PROGRAMS:
        return m_myPrograms;
    default:
        return m_subscribe;
    }
}

wxTimer &CMainDlg::Timer(int id)
{
    switch (id) {
    case TIMER_STATUS:
        return m_statusTimer;
    case TIMER_THROTTLE:
        return m_throttleTimer;
    default:
        return m_reportTimer;
    }
}

bool CMainDlg::OnInitDialog()
{
    CToVixCommonDlg::OnInitDialog();
    m_context.link.BindEngineHandle(m_context.engineHandle);
    Engine().SetWndHandle(&m_context.engineHandle);
    m_statusTimer.Start(kStatusPeriod);
    ApplyStartLimits();
    SetSize(kDefaultWidth, kDefaultHeight);
    CentreOnScreen();
    PlaceControls();
    m_allPrograms.Disable();
    m_context.link.SetDisabledTab(IDC_ALL_PROGRAMS);
    // The first look, before the window can start downloads: what the engine
    // restored finished is not news, every other file's finish will be.
    m_finishWatch.Poll();
    m_context.link.Attach(this, &m_channelInfo);
    FillTreeAllPrograms(0);
    StartBackgroundWork();
    return true;
}

int CMainDlg::ReportPeriod(int intervel)
{
    // The timer counts milliseconds in an int: a longer period is the longest it can hold.
    constexpr int kMaxReportSeconds = std::numeric_limits<int>::max() / 1000;
    return std::min(std::max(intervel, kMinReportSeconds), kMaxReportSeconds) * 1000;
}

void CMainDlg::ApplyStartLimits()
{
    CCatalogueStore &store = m_context.store;
    const int intervel = store.GetConfigInt(CFG_INTERVEL);
    const int threads = store.GetConfigInt(CFG_THREADNUM);
    const int download = store.GetConfigInt(CFG_MAXDLSPEED);
    const int upload = store.GetConfigInt(CFG_MAXULSPEED);
    m_reportTimer.Start(ReportPeriod(intervel));
    Engine().SetMaxDownload(threads >= 1 ? threads : kDefaultMaxDownload);
    Engine().SetMaxDLSpeed(download >= 1 ? download : 0);
    Engine().SetMaxULSpeed(upload >= 1 ? upload : 0);
}

void CMainDlg::PlaceControls()
{
    wxWindow *client = GetClientArea();
    const wxSize size = client->GetClientSize();
    CreateButton(m_allPrograms, client, IDC_ALL_PROGRAMS, kAllProgramsAt, MainSkin::kAllPrograms);
    CreateButton(m_myPrograms, client, IDC_MY_PROGRAMS, kMyProgramsAt, MainSkin::kMyPrograms);
    CreateButton(m_subscribe, client, IDC_SUBSCRIBE, kSubscribeAt, MainSkin::kSubscribe);

    m_tree.Create(client, IDC_CHANNEL_TREE, kTreeRect.GetPosition(), kTreeRect.GetSize(), TVS_SHOWSELALWAYS);
    m_tree.SetBackgroundColour(*wxWHITE);

    m_adPane.Create(client, 0, kAdPaneRect);
    const std::string web = m_context.store.GetConfigValue(CFG_WEBURL);
    if (!web.empty())
        m_adPane.Navigate(ScreenText(web + kAdPagePath));

    m_status.Create(client, IDC_STATUS, "Hello, Tovix!!",
                    wxPoint(size.x - kStatusFromRight, size.y - kStatusFromBottom), kStatusSize,
                    wxST_NO_AUTORESIZE);
    m_status.SetBackgroundColour(kStatusGrey);

    m_channelInfo.Create(client, IDC_CHANNEL_PAGE,
                         wxRect(kChannelPageAt, wxPoint(size.x - 2 - 1, size.y - 32 - 1)));
    CServiceReports &reports = m_context.reports;
    m_channelInfo.Player().SetPlayReport([&reports](int file, int percent) { reports.SendPlayReport(file, percent); });
    m_channelInfo.Player().SetKeyStore(&m_context.keys);
    client->Bind(wxEVT_WINDOW_MESSAGE, &CMainDlg::OnShowChannel, this, WM_SHOW_CHANNEL);
    m_channelInfo.Bind(wxEVT_WINDOW_MESSAGE, &CMainDlg::OnChannelShown, this, WM_SHOW_CHANNEL);
    client->Refresh(false);
}

void CMainDlg::StartBackgroundWork()
{
    if (m_backgroundStarted)
        return;
    m_backgroundStarted = true;
    CSyncWorkers(m_context.store, m_context.link, m_context.threads).StartPictureFetcher();
    StartSubscribedDownloads();
}

int CMainDlg::StartSubscribedDownloads()
{
    return CDownloadStart(m_context.store, m_context.threads).StartSubscribed();
}

void CMainDlg::DrawBackground(wxDC &dc, int left, int top, int right, int bottom)
{
    CToVixCommonDlg::DrawBackground(dc, left, top, right, bottom);
    if (m_tree.GetParent())
        DrawTreeBox(dc, right, bottom);
}

void CMainDlg::DrawTreeBox(wxDC &dc, int right, int bottom) const
{
    wxRect box = m_tree.GetRect();
    box.x -= 3;
    box.y -= 5;
    box.width += 6;
    box.height += 8;
    FrameSolid(dc, box, kTreeBoxBorder);
    FillSolid(dc, box.Deflate(1), kTreeBoxFill);
    const int greyTop = box.GetBottom() + 1 + 1 + 2;
    FillSolid(dc, wxRect(wxPoint(0, greyTop), wxPoint(kLeftColumn - 1, bottom - 1)), kStatusGrey);
    FillSolid(dc, wxRect(wxPoint(kLeftColumn, greyTop), wxPoint(right - 1, bottom - 1)), kStatusGrey);
}

void CMainDlg::OnSize(wxSizeEvent &event)
{
    CToVixCommonDlg::OnSize(event);
    if (!m_adPane.GetParent())
        return;
    const wxSize size = GetClientArea()->GetClientSize();
    m_tree.SetSize(kTreeRect.x, kTreeRect.y, kTreeRect.width, size.y - kTreeBottomGap);
    m_adPane.SetSize(kAdPaneRect.x, size.y - kAdPaneFromBottom, kAdPaneRect.width, kAdPaneRect.height);
    m_subscribe.SetSize(kSubscribeAt.x, size.y - kSubscribeFromBottom, MainSkin::kSubscribe.cellWidth,
                        MainSkin::kSubscribe.cellHeight);
    m_subscribe.Refresh();
    m_status.SetSize(size.x - kStatusFromRight, size.y - kStatusFromBottom, kStatusSize.x, kStatusSize.y);
    if (m_channelInfo.GetParent())
        SendWindowMessage(&m_channelInfo, WM_FIT_TO_PARENT);
    GetClientArea()->Refresh(false);
}

void CMainDlg::FillTreeAllPrograms(int showFlags)
{
    m_tree.DeleteAllItems();
    SendWindowMessage(&m_channelInfo, WM_SHOW_CHANNEL, 0, CFileList::kClear);
    CCatalogueStore &store = m_context.store;
    std::lock_guard<std::recursive_mutex> lock(store.ChannelLock());
    const TiXmlElement *root = store.ChannelDoc().RootElement();
    if (!root)
        return;
    bool first = true;
    for (const TiXmlElement *category = root->FirstChildElement("Channel1"); category;
         category = category->NextSiblingElement("Channel1")) {
        const std::string name = TextAttribute(category, "Name");
        const int id = IdOf(category);
        if (name.empty() || id == 0)
            continue;
        HTREEITEM item = m_tree.InsertItem(ScreenText(name));
        m_tree.SetItemData(item, id);
        if (first) {
            PostWindowMessage(&m_channelInfo, WM_SHOW_CHANNEL, showFlags, id);
            m_tree.SelectItem(item);
            first = false;
        }
        for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
             channel = channel->NextSiblingElement("Channel2")) {
            const std::string channelName = TextAttribute(channel, "Name");
            const int channelId = IdOf(channel);
            if (!channelName.empty() && channelId != 0)
                m_tree.SetItemData(m_tree.InsertItem(ScreenText(channelName), item), channelId);
        }
    }
}

void CMainDlg::FillTreeMyPrograms(int showFlags)
{
    m_tree.DeleteAllItems();
    SendWindowMessage(&m_channelInfo, WM_SHOW_CHANNEL, 0, CFileList::kClear);
    CCatalogueStore &store = m_context.store;
    bool inserted = false;
    {
        std::lock_guard<std::recursive_mutex> lock(store.ChannelLock());
        const TiXmlElement *root = store.ChannelDoc().RootElement();
        for (const TiXmlElement *category = root ? root->FirstChildElement("Channel1") : nullptr; category;
             category = category->NextSiblingElement("Channel1")) {
            std::vector<TProgramItem> programs;
            bool anySubscribed = false;
            for (const TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
                 channel = channel->NextSiblingElement("Channel2")) {
                if (TextAttribute(channel, "Subscribe") != "1")
                    continue;
                anySubscribed = true;
                const std::string channelName = TextAttribute(channel, "Name");
                if (!channelName.empty() && IdOf(channel) != 0)
                    programs.push_back({IdOf(channel), channelName});
            }
            const std::string name = TextAttribute(category, "Name");
            const int id = IdOf(category);
            if (!anySubscribed || name.empty() || id == 0)
                continue;
            HTREEITEM item = m_tree.InsertItem(ScreenText(name));
            m_tree.SetItemData(item, -id);
            for (const TProgramItem &program : programs)
                m_tree.SetItemData(m_tree.InsertItem(ScreenText(program.name), item), program.id);
            if (!inserted) {
                PostWindowMessage(&m_channelInfo, WM_SHOW_CHANNEL, showFlags, -id);
                m_tree.SelectItem(item);
                inserted = true;
            }
        }
    }
    HTREEITEM other = m_tree.InsertItem(ScreenText(kOtherContentName));
    m_tree.SetItemData(other, kOtherContent);
    if (!inserted) {
        PostWindowMessage(&m_channelInfo, WM_SHOW_CHANNEL, showFlags, kOtherContent);
        m_tree.SelectItem(other);
    }
}

wxString CMainDlg::StatusText(int downloadRate, int uploadRate, int downloading, int pending)
{
    // The line ends where the text does: a trailing line break would push it out of its one-line box.
    return wxString::Format(wxString::FromUTF8("下载:%3dK/s 上传:%3dK/s (%d个下载/%d个等待)"), downloadRate / 1024,
                            uploadRate / 1024, downloading, pending);
}

void CMainDlg::ShowStatus()
{
    const int pending = Engine().GetPendingNum();
    const int downloading = Engine().GetDownloadingNum();
    const int upload = Engine().GetULSpeed(-1);
    const int download = Engine().GetDLSpeed(-1);
    m_status.SetLabel(StatusText(download, upload, downloading, pending));
}

void CMainDlg::RefreshDownloadStates()
{
    ++m_refreshes;
    CSimpleTree &list = m_channelInfo.FileList().Tree();
    const int selected = list.GetSelectedKey();
    CDownloadRefresh refresh(m_context.store);
    for (const auto &entry : list.Items()) {
        const int key = entry->key;
        if (key <= 0)
            break;
        const int channel = entry->entryNumber % 1000;
        const int file = entry->entryNumber / 1000;
        int stored = entry->progress;
        std::string torrent = entry->torrentPath;
        if (torrent.empty()) {
            TListedFile listed;
            if (refresh.Find(channel, file, &listed)) {
                torrent = listed.torrentPath;
                stored = listed.storedProgress;
                list.SetItemPaths(key, listed.torrentPath, listed.locationPath);
                list.SetItemProgress(key, stored);
                m_storedProgress[entry->entryNumber] = stored;
            }
        }
        const int pos = Engine().GetPosByTorrent(torrent.c_str());
        if (pos < 0) {
            list.SetItemProgress(key, stored);
            list.SetItemState(key, stored < 100 ? 0 : 1);
            continue;
        }
        const int progress = int(Engine().GetProgress(pos));
        if (progress > stored)
            list.SetItemProgress(key, progress);
        const auto known = m_storedProgress.find(entry->entryNumber);
        if (known == m_storedProgress.end() || CDownloadRefresh::ProgressToWrite(progress, known->second) >= 0)
            refresh.Record(channel, file, progress, &m_storedProgress[entry->entryNumber]);
        if (Engine().IsDownloading(pos)) {
            list.SetItemState(key, 2);
        } else if (Engine().IsPending(pos)) {
            list.SetItemState(key, 3);
        } else if (Engine().IsFinished(pos)) {
            list.SetItemState(key, 1);
            if (key == selected)
                m_channelInfo.FileInfo().ShowFinished();
        }
    }
    refresh.Finish();
}

void CMainDlg::OnTimer(wxTimerEvent &event)
{
    switch (event.GetId()) {
    case TIMER_STATUS:
        ShowStatus();
        m_finishWatch.Poll();
        RefreshDownloadStates();
        break;
    case TIMER_THROTTLE:
        m_throttleTimer.Stop();
        m_throttle.OnTimer();
        m_finishWatch.Poll();
        RefreshDownloadStates();
        break;
    case TIMER_REPORT:
        if (m_context.link.MainWindowExists())
            m_context.reports.SendCatalogueReport();
        break;
    }
}

void CMainDlg::OnDownloadChanged(CMessageEvent &)
{
    if (!m_throttle.OnNotification()) {
        m_throttleTimer.Start(kThrottlePeriod);
        return;
    }
    m_finishWatch.Poll();
    RefreshDownloadStates();
}

void CMainDlg::OnDownloadsFinished(CMessageEvent &event)
{
    if (IsShown() && IsActive() && !IsIconized())
        return;
    const int entry = int(event.LParam());
    TFileFields fields;
    {
        std::lock_guard<std::recursive_mutex> lock(m_context.store.FileLock());
        CFileCatalogue(m_context.store).GetFileFields(entry / 1000, entry % 1000, &fields);
    }
    m_finishNotice.Notify(int(event.WParam()), entry, ScreenText(fields.title));
}

void CMainDlg::ShowFinishedFile(int entryNumber)
{
    Restore();
    wxCommandEvent myPrograms(wxEVT_BUTTON, IDC_MY_PROGRAMS);
    OnMyPrograms(myPrograms);
    // The fill posted the first category to the channel page: let it arrive
    // before the file's own channel is shown over it.
    m_channelInfo.GetEventHandler()->ProcessPendingEvents();
    const int channel = entryNumber % 1000;
    HTREEITEM shown = nullptr;
    for (HTREEITEM category = m_tree.GetRootItem(); category && !shown;
         category = m_tree.GetNextSiblingItem(category)) {
        if (m_tree.GetItemData(category) == kOtherContent)
            shown = category; // unsubscribed since: its file is among the other content
        for (HTREEITEM item = m_tree.GetChildItem(category); item && !shown; item = m_tree.GetNextSiblingItem(item))
            if (m_tree.GetItemData(item) == channel)
                shown = item;
    }
    if (!shown)
        return;
    if (HTREEITEM category = m_tree.GetParentItem(shown))
        m_tree.Expand(category, TVE_EXPAND);
    m_tree.SelectItem(shown);
    SendWindowMessage(&m_channelInfo, WM_SHOW_CHANNEL, 0, int(m_tree.GetItemData(shown)));
    CSimpleTree &list = m_channelInfo.FileList().Tree();
    for (const auto &item : list.Items())
        if (item->entryNumber == entryNumber) {
            list.SelectItem(item->key);
            list.EnsureVisible(item->key);
            m_channelInfo.ShowFileDetails(item->key);
            return;
        }
}

void CMainDlg::OnShowChannel(CMessageEvent &event)
{
    SendWindowMessage(&m_channelInfo, WM_SHOW_CHANNEL, event.WParam(), event.LParam());
}

void CMainDlg::OnChannelShown(CMessageEvent &event)
{
    // A freshly filled list shows the engine's states at once, not at the next status
    // tick: until then every finished file the catalogue does not know as finished
    // would read as never downloaded (the first three seconds after a start).
    event.Skip();
    CallAfter([this] { RefreshDownloadStates(); });
}

void CMainDlg::OnAllPrograms(wxCommandEvent &event)
{
    m_allPrograms.Disable();
    m_myPrograms.Enable();
    m_context.link.SetDisabledTab(IDC_ALL_PROGRAMS);
    FillTreeAllPrograms(event.GetInt());
}

void CMainDlg::OnMyPrograms(wxCommandEvent &event)
{
    m_allPrograms.Enable();
    m_myPrograms.Disable();
    m_context.link.SetDisabledTab(IDC_MY_PROGRAMS);
    FillTreeMyPrograms(event.GetInt());
}

void CMainDlg::OnSubscribe(wxCommandEvent &)
{
    OnMenuSet();
}

void CMainDlg::OnCharHook(wxKeyEvent &event)
{
    // Swallowed: no key reaches the panes, and Enter or Escape never closes the
    // window. Only the video player's own keys reach it while it shows.
    m_channelInfo.Player().HandleKey(event.GetKeyCode());
}

void CMainDlg::OnBtnClose()
{
    HideToTray();
    m_channelInfo.Player().Stop();
}

void CMainDlg::OnMenuAbout()
{
    ShowMessageBox(this, wxString::FromUTF8("Tovix 1.2 Beta版本，谢谢支持"));
}

int CMainDlg::SelectedChannelKey()
{
    HTREEITEM item = m_tree.GetSelectedItem();
    return item ? int(m_tree.GetItemData(item)) : 0;
}

void CMainDlg::OnMenuSet()
{
    CSettingDlg::Open(this, g_hSubSkin, m_context.store, m_context.keys, m_context.reports, m_context.threads,
                      *this);
}

void CMainDlg::PostCommand(int commandId)
{
    m_context.link.PostCommand(commandId);
}

void CMainDlg::RepaintSelectedTab()
{
    if (!m_allPrograms.IsEnabled())
        m_allPrograms.Refresh(false);
    else if (!m_myPrograms.IsEnabled())
        m_myPrograms.Refresh(false);
}
