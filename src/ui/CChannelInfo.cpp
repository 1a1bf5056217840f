#include "ui/CChannelInfo.h"

#include "base/EngineApi.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinPaint.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"

#include <wx/dcbuffer.h>
#include <wx/toplevel.h>

#include <mutex>

namespace {

const wxColour kOuterBorder(62, 62, 62);
const wxColour kInnerBorder(157, 175, 187);
const wxColour kGradientTop(196, 222, 237);
constexpr int kGradientColours = 64;
constexpr int kMargin = 6;       // between the page's edge and the panes, left and right
constexpr int kTopMargin = 5;
constexpr int kBottomMargin = 8;
constexpr int kListRight = 233; // the splitter's first column
constexpr int kSplitterWidth = 7;
constexpr int kParentInset = 4;  // the main window's edge band
constexpr int kFitRight = 2;     // the page's right edge from the main window's client edge
constexpr int kFitBottom = 32;   // ... and its bottom edge, above the status line
constexpr int kPaneRight = 8;    // the right pane's right edge from the main window's inner edge
constexpr int kPaneBottom = 40;
constexpr int kSplitterPush = 222;
constexpr int kRangeEnd = 226;

} // namespace

wxBEGIN_EVENT_TABLE(CChannelInfo, wxWindow)
    EVT_PAINT(CChannelInfo::OnPaint)
    EVT_CONTROL_NOTIFY(CChannelInfo::ID_FILE_LIST, CChannelInfo::OnListNotify)
    EVT_CONTROL_NOTIFY(CChannelInfo::ID_FILE_INFO, CChannelInfo::OnDetailNotify)
    EVT_CONTROL_NOTIFY(CChannelInfo::ID_SPLITTER, CChannelInfo::OnSplitterNotify)
    EVT_WINDOW_MESSAGE(WM_FIT_TO_PARENT, CChannelInfo::OnFitToParent)
    EVT_WINDOW_MESSAGE(WM_SHOW_CHANNEL, CChannelInfo::OnShowChannel)
    EVT_WINDOW_MESSAGE(WM_PICTURE_READY, CChannelInfo::OnPictureReady)
    EVT_WINDOW_MESSAGE(WM_SERVICE_PROBLEM, CChannelInfo::OnForward)
wxEND_EVENT_TABLE()

CChannelInfo::CChannelInfo(CCatalogueStore &store, CWorkerThreads &threads, IChannelPageOwner &owner)
    : m_store(store), m_owner(owner), m_fileInfo(store, threads, *this), m_fileList(store, *this), m_player(store)
{
}

bool CChannelInfo::Create(wxWindow *parent, wxWindowID id, const wxRect &rect)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT); // the paint covers everything: nothing is erased
    if (!wxWindow::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE | wxCLIP_CHILDREN))
        return false;
    const wxSize client = GetClientSize();
    const int top = kTopMargin;
    const int bottom = client.y - kBottomMargin;
    m_fileList.Create(this, ID_FILE_LIST, wxPoint(kMargin, top), wxSize(kListRight - kMargin, bottom - top));
    m_splitter.Create(this, ID_SPLITTER, wxPoint(kListRight, top), wxSize(kSplitterWidth, bottom - top));
    m_splitter.SetOrientation(CCommonSplitter::kVertical);
    m_splitter.SetRange(kMinSplitter, client.x - kRightPaneMin);
    const wxRect pane(wxPoint(kListRight + kSplitterWidth, top), wxPoint(client.x - kMargin - 1, bottom - 1));
    m_fileInfo.Create(this, ID_FILE_INFO, pane.GetPosition(), pane.GetSize());
    m_player.SetOwner(this);
    m_player.Create(this, ID_PLAYER, pane);
    return true;
}

int CChannelInfo::EntryNumberOfKey(int key)
{
    const CSimpleTree::CItemInfo *item = m_fileList.Tree().LookUp(key);
    return item ? item->entryNumber : 0;
}

void CChannelInfo::FillDetails(int key) { m_fileInfo.ShowEntry(key, key < 0 ? 0 : EntryNumberOfKey(key)); }

void CChannelInfo::ShowFileDetails(int key)
{
    FillDetails(key);
    m_fileInfo.Show();
    if (key >= 0)
        m_player.Stop();
    m_player.Hide();
}

void CChannelInfo::PlayFile(int key)
{
    if (key < 0)
        return;
    const int entry = EntryNumberOfKey(key);
    m_player.PlayFile(entry % 1000, entry / 1000);
}

void CChannelInfo::MovePanes(int delta)
{
    wxRect list = m_fileList.GetRect();
    wxRect splitter = m_splitter.GetRect();
    wxRect pane = m_fileInfo.GetRect();
    list.width += delta;
    splitter.x += delta;
    pane.x += delta;
    pane.width -= delta;
    m_fileList.SetSize(list);
    m_splitter.SetSize(splitter);
    m_fileInfo.SetSize(pane);
    m_player.SetSize(pane);
    Refresh(false);
    m_owner.RepaintSelectedTab();
}

void CChannelInfo::FitToParent()
{
    // The fullscreen picture has a layout of its own, undone when it ends.
    if (m_player.HoldsLayout()) {
        m_player.FitFullScreen();
        return;
    }
    wxWindow *parent = GetParent();
    if (!parent)
        return;
    const wxSize parentClient = parent->GetClientSize();
    const wxPoint at = GetPosition();
    SetSize(wxRect(at, wxPoint(parentClient.x - kFitRight - 1, parentClient.y - kFitBottom - 1)));

    // The main window's rectangle inside its edge band, in the page's
    // coordinates. Summed from the windows' own positions: where a top-level
    // window is on the screen, a compositor (Wayland, XWayland) may not say.
    wxPoint offset;
    for (wxWindow *window = this; window && !window->IsTopLevel(); window = window->GetParent())
        offset += window->GetPosition();
    wxRect inner = wxRect(wxGetTopLevelParent(this)->GetSize()).Deflate(kParentInset);
    inner.Offset(-offset);
    const int right = inner.GetRight() + 1;
    const int bottom = inner.GetBottom() + 1;

    wxRect pane = m_fileInfo.GetRect();
    pane.SetRight(right - kPaneRight - 1);
    pane.SetBottom(bottom - kPaneBottom - 1);
    m_fileInfo.SetSize(pane);
    m_player.SetSize(pane);
    for (wxWindow *column : {static_cast<wxWindow *>(&m_fileList), static_cast<wxWindow *>(&m_splitter)}) {
        wxRect rect = column->GetRect();
        rect.SetBottom(bottom - kPaneBottom - 1);
        column->SetSize(rect);
    }
    const int splitterRight = m_splitter.GetRect().GetRight() + 1;
    if (right > 0 && right < splitterRight + kRightPaneMin)
        m_splitter.NotifyMoved(-(splitterRight + kSplitterPush - right));
    m_splitter.SetRange(kMinSplitter, right - kRangeEnd);
    Refresh(false);
    m_owner.RepaintSelectedTab();
}

void CChannelInfo::Render(wxDC &dc) const
{
    wxRect rect(GetClientSize());
    FrameSolid(dc, rect, kOuterBorder);
    rect.Deflate(1);
    FrameSolid(dc, rect, kInnerBorder);
    rect.Deflate(1);
    FillSolid(dc, rect, *wxWHITE);
    FillVerticalGradient(dc, wxRect(rect.x, rect.y, rect.width, kGradientRows), kGradientTop, *wxWHITE,
                         kGradientColours);
}

void CChannelInfo::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    Render(dc);
}

void CChannelInfo::OnListNotify(CNotifyEvent &event)
{
    const int key = event.Payload();
    if (event.Code() == NM_CLICK && m_refreshing && m_player.IsShown())
        FillDetails(key); // behind the player, for when it stops
    else if (event.Code() == NM_CLICK)
        ShowFileDetails(key);
    else if (event.Code() == NM_DBLCLK)
        PlayFile(key);
}

void CChannelInfo::OnDetailNotify(CNotifyEvent &event)
{
    if (event.Code() == NM_DBLCLK)
        PlayFile(event.Payload());
}

void CChannelInfo::OnSplitterNotify(CNotifyEvent &event)
{
    if (event.Code() == SPN_MOVED)
        MovePanes(event.Payload());
}

void CChannelInfo::OnFitToParent(CMessageEvent &)
{
    FitToParent();
}

void CChannelInfo::OnForward(CMessageEvent &event)
{
    SendWindowMessage(&m_fileList, event.Message(), event.WParam(), event.LParam());
}

void CChannelInfo::OnShowChannel(CMessageEvent &event)
{
    // The list clicks its top row itself as it fills. A catalogue update that refills
    // it must not pass that off as the viewer's click, which stops the video playing.
    m_refreshing = event.WParam() == CFileList::kRefresh;
    OnForward(event);
    m_refreshing = false;
}

// The detail pane was filled before the picture arrived: it takes the picture too.
void CChannelInfo::OnPictureReady(CMessageEvent &event)
{
    OnForward(event);
    const auto *path = reinterpret_cast<const std::string *>(event.WParam());
    const int shownKey = m_fileInfo.GetShownKey();
    if (path && shownKey > 0 && EntryNumberOfKey(shownKey) == int(event.LParam()))
        m_fileInfo.ShowPicture(*path);
}
