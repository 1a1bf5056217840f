#include "views/CFileList.h"

#include "base/EngineApi.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinPaint.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"
#include "views/PictureFile.h"
#include "views/ViewPaint.h"

#include <wx/arrstr.h>
#include <wx/dcbuffer.h>
#include <wx/filefn.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

const wxColour kBorder(116, 127, 133);
const wxColour kHeaderOneTop(231, 243, 255);
const wxColour kHeaderOneEnd(239, 247, 255);
const wxColour kHeaderTwoTop(198, 227, 247);
const wxColour kHeaderTwoEnd(222, 239, 249);
constexpr int kGradientBands = 64;
const wxColour kNoticeFill(255, 246, 214);
const wxColour kNoticeFirstLine(176, 32, 32);
const wxColour kNoticeText(64, 64, 64);
constexpr int kNoticePad = 6;
constexpr int kHeaderBottom = 40;
constexpr int kBandBelowTree = 80;

// Breaks each line of text where it would pass width pixels (Chinese has no spaces to break at).
std::vector<wxString> WrapLines(const wxWindow &window, const wxString &text, int width)
{
    std::vector<wxString> lines;
    for (const wxString &paragraph : wxSplit(text, '\n', '\0')) {
        wxString line;
        for (const wxUniChar ch : paragraph) {
            if (!line.empty() && window.GetTextExtent(line + ch).x > width) {
                // Latin words and addresses break at their last space, Chinese anywhere.
                const size_t space = line.find_last_of(' ');
                if (space != wxString::npos && space > 0 && ch != ' ') {
                    lines.push_back(line.substr(0, space));
                    line = line.substr(space + 1);
                } else {
                    lines.push_back(line);
                    line.clear();
                }
            }
            line += ch;
        }
        lines.push_back(line);
    }
    return lines;
}

// One file while a list is built.
struct ITEMINFO {
    int channel;
    int file;
    std::string torrentPath;
    std::string title;
    std::string picture;
    std::string date;
    int progress;
    int kilobytes;
};

void SetStrip(CBmpButton &button, const SkinStrip &strip)
{
    button.SetSkin(g_hMainSkin, strip.cellWidth, strip.cellHeight, strip.x, strip.y);
}

bool ReadsChannelCatalogue(int channelKey)
{
    return channelKey == CFileList::kOtherContent || channelKey >= 10001 || channelKey <= -10000;
}

// The channels a key lists (for kOtherContent: the subscribed ones, which it leaves out).
// False when the key needs the channel catalogue and it has no root element.
bool ChannelsOfKey(CCatalogueStore &store, int channelKey, std::vector<int> *channels)
{
    if (!ReadsChannelCatalogue(channelKey)) {
        channels->assign(1, channelKey);
        return true;
    }
    std::lock_guard<std::recursive_mutex> lock(store.ChannelLock());
    const TiXmlElement *root = store.ChannelDoc().RootElement();
    if (!root)
        return false;
    if (channelKey == CFileList::kOtherContent) {
        *channels = CChannelCatalogue(store).GetSubscribedChannels();
        return true;
    }
    const bool subscribedOnly = channelKey < 0;
    const TiXmlElement *category = FindChildById(root, "Channel1", subscribedOnly ? -channelKey : channelKey);
    for (const TiXmlElement *channel = category ? category->FirstChildElement("Channel2") : nullptr; channel;
         channel = channel->NextSiblingElement("Channel2"))
        if (!subscribedOnly || TextAttribute(channel, "Subscribe") == "1")
            channels->push_back(IdOf(channel));
    return true;
}

// The files of the listed channels in document order; false without a file catalogue root.
bool ReadRecords(CCatalogueStore &store, int channelKey, const std::vector<int> &channels,
                 std::vector<ITEMINFO> *records)
{
    const bool otherContent = channelKey == CFileList::kOtherContent;
    std::lock_guard<std::recursive_mutex> lock(store.FileLock());
    const TiXmlElement *root = store.FileDoc().RootElement();
    if (!root)
        return false;
    const std::string torrentRoot = store.GetConfigValue(CFG_TORRENTROOT);
    for (const TiXmlElement *channel = root->FirstChildElement("Channel"); channel;
         channel = channel->NextSiblingElement("Channel")) {
        const int channelId = IdOf(channel);
        const bool listed = std::find(channels.begin(), channels.end(), channelId) != channels.end();
        if (listed == otherContent)
            continue;
        for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
             file = file->NextSiblingElement("File")) {
            const int progress = IntAttribute(file, "Progress");
            if (otherContent && progress < 0)
                continue; // never started
            records->push_back({channelId, IdOf(file), torrentRoot + TextAttribute(file, "Torrent"),
                                TextAttribute(file, "Title"), TextAttribute(file, "Pic"),
                                TextAttribute(file, "Date"), progress, IntAttribute(file, "KBytes")});
        }
    }
    return true;
}

// 1 finished, 2 downloading, 3 waiting, 0 none; a finished catalogue entry needs no engine.
int DownloadState(const ITEMINFO &record)
{
    if (record.progress >= 100)
        return 1;
    const int position = Engine().GetPosByTorrent(record.torrentPath.c_str());
    if (position < 0)
        return 0;
    if (Engine().IsFinished(position))
        return 1;
    if (Engine().IsDownloading(position))
        return 2;
    if (Engine().IsPending(position))
        return 3;
    return 0;
}

std::string ThumbnailPath(const std::string &picRoot, const std::string &name)
{
    const std::string path = LocalPicturePath(picRoot, name);
    return !path.empty() && PictureFileExists(path) ? path : std::string(kDefaultPictureFile);
}

} // namespace

wxBEGIN_EVENT_TABLE(CFileList, wxWindow)
    EVT_PAINT(CFileList::OnPaint)
    EVT_SIZE(CFileList::OnSize)
    EVT_BUTTON(CFileList::ID_DELETE, CFileList::OnDelete)
    EVT_BUTTON(CFileList::ID_DOWNLOAD, CFileList::OnDownload)
    EVT_CONTROL_NOTIFY(CFileList::ID_TREE, CFileList::OnTreeNotify)
    EVT_WINDOW_MESSAGE(WM_SHOW_CHANNEL, CFileList::OnShowChannel)
    EVT_WINDOW_MESSAGE(WM_PICTURE_READY, CFileList::OnPictureReady)
    EVT_WINDOW_MESSAGE(WM_SERVICE_PROBLEM, CFileList::OnServiceProblem)
wxEND_EVENT_TABLE()

bool CFileList::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT); // the paint covers everything: nothing is erased
    if (!wxWindow::Create(parent, id, pos, size, wxBORDER_NONE))
        return false;
    m_delete.Create(this, ID_DELETE, wxPoint(5, 5), wxSize(60, 31));
    m_download.Create(this, ID_DOWNLOAD, wxPoint(65, 5), wxSize(60, 31));
    SetStrip(m_delete, MainSkin::kListDelete);
    SetStrip(m_download, MainSkin::kListDownload);
    const bool created = m_tree.Create(this, ID_TREE, wxPoint(2, 40), wxSize(223, 334));
    m_tree.SetStateImages(g_hItemStatusSkin, ToRect(ItemStatusSkin::kFinished), ToRect(ItemStatusSkin::kDownloading),
                          ToRect(ItemStatusSkin::kWaiting));
    return created;
}

std::string CFileList::SizeText(int kilobytes)
{
    char text[64];
    if (kilobytes < 1000)
        std::snprintf(text, sizeof text, "%6.2fK", double(kilobytes));
    else if (kilobytes < 1000000)
        std::snprintf(text, sizeof text, "%6.2fM", kilobytes / 1000.0);
    else
        std::snprintf(text, sizeof text, "%6.2fG", kilobytes / 1000000.0);
    return text;
}

void CFileList::ShowChannel(int channelKey)
{
    if (channelKey == kClear) {
        m_tree.DeleteAllItems();
        return;
    }
    if (channelKey == kTreeSelection) {
        if (const int selected = m_owner.SelectedChannelKey())
            SendWindowMessage(this, WM_SHOW_CHANNEL, 0, selected);
        return;
    }
    m_tree.DeleteAllItems();
    // The two catalogue locks are taken one after the other, never nested.
    std::vector<int> channels;
    std::vector<ITEMINFO> records;
    if (!ChannelsOfKey(m_store, channelKey, &channels) || !ReadRecords(m_store, channelKey, channels, &records))
        return;
    std::stable_sort(records.begin(), records.end(),
                     [](const ITEMINFO &a, const ITEMINFO &b) { return a.file > b.file; });

    // The engine is asked only after both locks are left.
    const std::string picRoot = m_store.GetConfigValue(CFG_PICROOT);
    for (const ITEMINFO &record : records) {
        const int key = m_tree.InsertItem(record.title);
        m_tree.LookUp(key)->entryNumber = record.file * 1000 + record.channel;
        m_tree.SetItemInfo(key, ThumbnailPath(picRoot, record.picture), record.date, SizeText(record.kilobytes),
                           DownloadState(record), record.progress);
    }
    // As if the user clicked the top row: the newest file is selected and its
    // NM_CLICK (-1 for an empty list) lets the owner show it.
    if (m_tree.GetHandle())
        m_tree.LeftButtonDown(wxPoint(1, 1));
}

void CFileList::ReplacePicture(const std::string &picturePath, int entryNumber)
{
    for (const auto &item : m_tree.Items())
        if (item->entryNumber == entryNumber) {
            m_tree.SetItemPicture(item->key, picturePath);
            return;
        }
}

void CFileList::DeleteSelected()
{
    m_owner.StopShownFile();
    const int key = m_tree.GetSelectedKey();
    const CSimpleTree::CItemInfo *item = m_tree.LookUp(key);
    if (!item)
        return;
    const int entry = item->entryNumber;
    m_tree.DeleteItem(key);
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    CFileCatalogue(m_store).DelFileInfo(entry % 1000, entry / 1000);
}

void CFileList::Render(wxDC &dc) const
{
    const wxRect client(GetClientSize());
    FillSolid(dc, client, kBorder);
    FillSolid(dc, wxRect(client).Deflate(1), *wxWHITE);
    // The second gradient ends four rows above the first, whose last colours show below it.
    FillVerticalGradient(dc, wxRect(2, 2, client.width - 4, 38), kHeaderOneTop, kHeaderOneEnd, kGradientBands);
    FillVerticalGradient(dc, wxRect(2, 2, client.width - 4, 34), kHeaderTwoTop, kHeaderTwoEnd, kGradientBands);
    if (m_noticeHeight == 0)
        return;
    FillSolid(dc, wxRect(2, kHeaderBottom, client.width - 4, m_noticeHeight), kNoticeFill);
    dc.SetFont(GetFont());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const int lineHeight = GetCharHeight();
    int y = kHeaderBottom + kNoticePad;
    for (size_t i = 0; i < m_noticeLines.size(); ++i, y += lineHeight) {
        dc.SetTextForeground(i == 0 ? kNoticeFirstLine : kNoticeText);
        dc.DrawText(m_noticeLines[i], 2 + kNoticePad, y);
    }
}

wxString CFileList::ServiceNoticeText(EServiceProblem problem, const wxString &connection,
                                      const wxString &configurationFile)
{
    const wxString retry = wxString::FromUTF8("Tovix 会每 30 秒重试连接。");
    switch (problem) {
    case EServiceProblem::None:
        return wxString();
    case EServiceProblem::NotConfigured:
        // The file is written back at exit, so it is edited while Tovix is not running.
        return wxString::FromUTF8("未配置服务地址\n请退出 Tovix，在 ") + configurationFile +
               wxString::FromUTF8(" 的 Connection 项中填写服务地址（如 192.168.1.10:7000）。\n") + retry;
    case EServiceProblem::BadAddress:
        return wxString::FromUTF8("无法连接服务 ") + connection + "\n" + configurationFile +
               wxString::FromUTF8(" 的 Connection 项须写成 IPv4 地址:端口。\n") + retry;
    case EServiceProblem::Unreachable:
        break;
    }
    return wxString::FromUTF8("无法连接服务 ") + connection + wxString::FromUTF8("\n地址设置在 ") +
           configurationFile + wxString::FromUTF8(" 的 Connection 项。\n") + retry;
}

void CFileList::SetServiceProblem(EServiceProblem problem)
{
    const wxString file = wxGetCwd() + "/" + CCatalogueStore::kConfigure;
    m_notice = ServiceNoticeText(problem, ScreenText(m_store.GetConfigValue(CFG_CONNECTION)), file);
    PlaceTree();
    Refresh(false);
}

void CFileList::PlaceTree()
{
    if (!m_tree.GetHandle())
        return;
    const wxSize client = GetClientSize();
    m_noticeLines.clear();
    m_noticeHeight = 0;
    if (!m_notice.empty()) {
        m_noticeLines = WrapLines(*this, m_notice, client.x - 4 - 2 * kNoticePad);
        m_noticeHeight = int(m_noticeLines.size()) * GetCharHeight() + 2 * kNoticePad;
    }
    // An 80-pixel band below the tree stays empty.
    const int top = kHeaderBottom + m_noticeHeight;
    m_tree.SetSize(2, top, client.x - 4, std::max(0, client.y - top - kBandBelowTree));
}

void CFileList::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CFileList::OnSize(wxSizeEvent &event)
{
    event.Skip();
    PlaceTree();
}

void CFileList::OnDelete(wxCommandEvent &)
{
    DeleteSelected();
}

void CFileList::OnDownload(wxCommandEvent &)
{
    m_owner.DownloadShownFile();
}

void CFileList::OnTreeNotify(CNotifyEvent &event)
{
    if (event.Code() == NM_CLICK || event.Code() == NM_DBLCLK)
        SendNotify(this, event.Code(), event.Payload());
}

void CFileList::OnShowChannel(CMessageEvent &event)
{
    ShowChannel(int(event.LParam()));
    event.SetResult(0);
}

void CFileList::OnPictureReady(CMessageEvent &event)
{
    if (const auto *path = reinterpret_cast<const std::string *>(event.WParam()))
        ReplacePicture(*path, int(event.LParam()));
    event.SetResult(0);
}

void CFileList::OnServiceProblem(CMessageEvent &event)
{
    SetServiceProblem(EServiceProblem(event.WParam()));
    event.SetResult(0);
}
