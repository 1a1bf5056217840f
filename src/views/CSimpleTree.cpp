#include "views/CSimpleTree.h"

#include "skin/SkinEvents.h"
#include "skin/SkinPaint.h"
#include "views/PictureFile.h"
#include "views/ViewPaint.h"

#include <wx/dcbuffer.h>

#include <algorithm>

namespace {

const wxColour kSelection(227, 243, 251);
const wxColour kFrame(104, 104, 104); // thumbnail frame and the list's bottom line
const wxColour kText(102, 102, 102);
const wxColour kBarTopLeft(179, 179, 179);
const wxColour kBarBottomRight(230, 230, 230);
const wxColour kBarFill(102, 135, 207);
const wxColour kBarLight(173, 210, 237);
const wxColour kBarMiddle(129, 179, 223);
const wxSize kThumbnailSize(50, 38);

} // namespace

void CSimpleTree::CItemInfo::SetPicturePath(const std::string &path)
{
    m_picturePath = path;
    m_picture = wxBitmap();
    m_pictureRead = false;
}

const wxBitmap &CSimpleTree::CItemInfo::Picture()
{
    if (!m_pictureRead) {
        m_pictureRead = true;
        LoadPictureFile(m_picturePath, kThumbnailSize, &m_picture);
    }
    return m_picture;
}

wxBEGIN_EVENT_TABLE(CSimpleTree, wxWindow)
    EVT_PAINT(CSimpleTree::OnPaint)
    EVT_LEFT_DOWN(CSimpleTree::OnLeftDown)
    EVT_LEFT_DCLICK(CSimpleTree::OnLeftDoubleClick)
    EVT_RIGHT_DOWN(CSimpleTree::OnRightDown)
    EVT_SKIN_VSCROLL(CSimpleTree::OnVScroll)
    EVT_SIZE(CSimpleTree::OnSize)
    EVT_MOUSEWHEEL(CSimpleTree::OnMouseWheel)
wxEND_EVENT_TABLE()

CSimpleTree::~CSimpleTree() = default;

bool CSimpleTree::Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT); // the paint covers everything: nothing is erased
    if (!wxWindow::Create(parent, id, pos, size, wxBORDER_NONE))
        return false;
    m_font = ViewFont();
    const wxSize client = GetClientSize();
    const bool created = m_scrollBar.Create(this, id + kScrollBarIdOffset,
                                            wxPoint(client.x - CCommonScrollBar::kBarWidth, 0),
                                            wxSize(CCommonScrollBar::kBarWidth, client.y));
    m_scrollBar.Hide();
    return created;
}

void CSimpleTree::SetStateImages(const wxBitmap &image, const wxRect &finished, const wxRect &downloading,
                                 const wxRect &waiting)
{
    m_stateImage = image;
    m_stateCells[0] = finished;
    m_stateCells[1] = downloading;
    m_stateCells[2] = waiting;
}

int CSimpleTree::InsertItem(const std::string &title)
{
    auto item = std::make_unique<CItemInfo>();
    item->title = title;
    item->key = ++m_lastKey;
    m_keys[item->key] = item.get();
    m_items.push_back(std::move(item));
    UpdateScrollBar();
    Refresh(false);
    return m_lastKey;
}

void CSimpleTree::SetItemInfo(int key, const std::string &picturePath, const std::string &secondLine,
                              const std::string &sizeText, int state, int progress)
{
    CItemInfo *item = LookUp(key);
    if (!item)
        return;
    item->SetPicturePath(picturePath);
    item->secondLine = secondLine;
    item->sizeText = sizeText;
    item->state = state;
    item->progress = progress;
    Refresh(false);
}

void CSimpleTree::SetItemPaths(int key, const std::string &torrentPath, const std::string &locationPath)
{
    if (CItemInfo *item = LookUp(key)) {
        item->torrentPath = torrentPath;
        item->locationPath = locationPath;
    }
}

void CSimpleTree::SetItemProgress(int key, int value)
{
    CItemInfo *item = LookUp(key);
    if (!item)
        return;
    item->progress = value < -1 ? -1 : std::min(value, item->progressMax);
    Refresh(false);
}

void CSimpleTree::SetItemState(int key, int state)
{
    CItemInfo *item = LookUp(key);
    if (!item || item->state == state)
        return;
    item->state = state;
    Refresh(false);
}

void CSimpleTree::SetItemPicture(int key, const std::string &picturePath)
{
    if (CItemInfo *item = LookUp(key)) {
        item->SetPicturePath(picturePath);
        Refresh(false);
    }
}

void CSimpleTree::SelectItem(int key)
{
    if (key == m_selectedKey)
        return;
    CItemInfo *item = LookUp(key);
    if (!item) {
        Refresh(false);
        return;
    }
    if (CItemInfo *previous = LookUp(m_selectedKey))
        previous->selected = false;
    item->selected = true;
    m_selectedKey = key;
    SendNotify(this, TVN_SELCHANGED, key);
    Refresh(false);
}

void CSimpleTree::EnsureVisible(int key)
{
    const auto found =
        std::find_if(m_items.begin(), m_items.end(), [key](const auto &item) { return item->key == key; });
    if (found == m_items.end())
        return;
    const int row = int(found - m_items.begin());
    const int whole = std::max(1, GetClientSize().y / kRowHeight);
    if (row < m_firstRow)
        m_firstRow = row;
    else if (row >= m_firstRow + whole)
        m_firstRow = row - whole + 1;
    else
        return;
    UpdateScrollBar();
    Refresh(false);
}

int CSimpleTree::DeleteItem(int key)
{
    if (m_keys.erase(key) == 0)
        return 0;
    const auto found =
        std::find_if(m_items.begin(), m_items.end(), [key](const auto &item) { return item->key == key; });
    if (key == m_selectedKey)
        m_selectedKey = -1;
    const auto next = m_items.erase(found);
    // The entry after the removed one is selected, whether or not the removed one was.
    if (next != m_items.end())
        SelectItem((*next)->key);
    UpdateScrollBar();
    Refresh(false);
    return 1;
}

void CSimpleTree::DeleteAllItems()
{
    m_items.clear();
    m_keys.clear();
    m_selectedKey = -1;
    m_firstRow = 0;
    UpdateScrollBar();
    Refresh(false);
}

CSimpleTree::CItemInfo *CSimpleTree::LookUp(int key) const
{
    const auto found = m_keys.find(key);
    return found == m_keys.end() ? nullptr : found->second;
}

int CSimpleTree::HitTest(const wxPoint &point) const
{
    if (!wxRect(GetClientSize()).Contains(point))
        return -1;
    const int index = point.y / kRowHeight + (point.y % kRowHeight ? 1 : 0) + m_firstRow - 1;
    if (index < 0 || index >= GetCount())
        return -1;
    return m_items[size_t(index)]->key;
}

int CSimpleTree::LeftButtonDown(const wxPoint &point)
{
    const int key = HitTest(point);
    if (key != -1) {
        SelectItem(key);
        SetFocus();
    }
    SendNotify(this, NM_CLICK, key);
    return key;
}

void CSimpleTree::OnLeftDown(wxMouseEvent &event)
{
    if (LeftButtonDown(event.GetPosition()) != -1)
        event.Skip();
}

void CSimpleTree::OnLeftDoubleClick(wxMouseEvent &event)
{
    const int key = HitTest(event.GetPosition());
    if (key == -1)
        return;
    SendNotify(this, NM_DBLCLK, key);
    event.Skip();
}

void CSimpleTree::OnRightDown(wxMouseEvent &event)
{
    const int key = HitTest(event.GetPosition());
    if (key == -1)
        return;
    SelectItem(key);
    SendNotify(this, NM_RCLICK, key);
    event.Skip();
}

void CSimpleTree::OnVScroll(CScrollBarEvent &)
{
    m_firstRow = m_scrollBar.GetPos();
    Refresh(false);
}

void CSimpleTree::OnMouseWheel(wxMouseEvent &event)
{
    if (!ScrollBarCreated() || !m_scrollBar.IsShown())
        return;
    // One row per wheel message, however far the wheel turned.
    m_scrollBar.ScrollBy(event.GetWheelRotation() < 0 ? 1 : -1);
    m_scrollBar.Refresh(false);
    CScrollBarEvent scrolled(m_scrollBar.GetId());
    scrolled.SetEventObject(this);
    ProcessWindowEvent(scrolled);
    event.Skip();
}

void CSimpleTree::OnSize(wxSizeEvent &event)
{
    event.Skip();
    if (!ScrollBarCreated())
        return;
    const wxSize client = GetClientSize();
    m_scrollBar.SetSize(client.x - CCommonScrollBar::kBarWidth, 0, CCommonScrollBar::kBarWidth, client.y);
    UpdateScrollBar();
}

void CSimpleTree::UpdateScrollBar()
{
    if (!ScrollBarCreated())
        return;
    const int visible = (GetClientSize().y + kRowHeight - 1) / kRowHeight;
    const int count = GetCount();
    if (count < visible) {
        m_firstRow = 0;
        m_scrollBar.Hide();
        return;
    }
    // Two rows more than the entries: the list scrolls until two empty rows show below the last.
    if (m_firstRow + visible > count + 2)
        m_firstRow = count - visible + 2;
    m_scrollBar.SetBarInfo(visible, m_firstRow, count + 2);
    m_scrollBar.Show();
    m_scrollBar.Refresh(false);
}

void CSimpleTree::OnPaint(wxPaintEvent &)
{
    wxBufferedPaintDC dc(this);
    Render(dc);
}

void CSimpleTree::Render(wxDC &dc)
{
    wxRect area(GetClientSize());
    if (ScrollBarCreated() && m_scrollBar.IsShown())
        area.width -= CCommonScrollBar::kBarWidth;
    dc.SetBackgroundMode(wxTRANSPARENT);
    FillSolid(dc, area, m_background);

    dc.SetFont(m_font);
    const int textHeight = std::min(dc.GetTextExtent("Test").y, kMaxLineHeight);
    const int rows = (area.height + kRowHeight - 1) / kRowHeight;
    const int end = std::min(GetCount(), m_firstRow + rows);
    for (int i = m_firstRow; i < end; ++i)
        DrawItem(dc, *m_items[size_t(i)], wxRect(0, kRowHeight * (i - m_firstRow), area.width, kRowHeight),
                 textHeight);
    // The bottom line starts one pixel left of the area, so its last column stays clear.
    FillSolid(dc, wxRect(0, area.height - 1, area.width - 1, 1), kFrame);
}

void CSimpleTree::DrawItem(wxDC &dc, CItemInfo &item, const wxRect &row, int textHeight)
{
    const int left = row.x;
    const int top = row.y;
    const int right = row.x + row.width;
    const int bottom = row.y + row.height;
    if (item.selected)
        FillSolid(dc, wxRect(left, top + 1, row.width, row.height - 1), kSelection);
    FillSolid(dc, wxRect(left, top, row.width, 1), item.lineColour);
    FillSolid(dc, wxRect(left, bottom, row.width, 1), item.lineColour);
    FrameSolid(dc, wxRect(left + 6, top + 6, 54, 42), kFrame);
    const wxBitmap &picture = item.Picture();
    if (picture.IsOk())
        dc.DrawBitmap(picture, left + 8, top + 8);
    if (m_stateImage.IsOk() && item.state >= 1 && item.state <= 3) {
        const wxRect &cell = m_stateCells[item.state - 1];
        DrawSkinPiece(dc, wxRect(left + 4, top + 50 - cell.height, cell.width, cell.height), m_stateImage, cell);
    }

    dc.SetTextForeground(kText);
    if (!item.title.empty())
        dc.DrawText(ScreenText(item.title), left + 62, top + 7);
    if (!item.secondLine.empty())
        dc.DrawText(ScreenText(item.secondLine), left + 62, top + textHeight + 10);
    const int progressTop = top + 2 * textHeight + 13;
    if (item.progress >= 0 && item.progress < item.progressMax)
        DrawProgress(dc, item, left + 62, progressTop);
    if (!item.sizeText.empty()) {
        const wxString size = ScreenText(item.sizeText);
        const wxRect box(left + 62, progressTop, right - 3 - (left + 62), bottom + 2 - progressTop);
        wxDCClipper clip(dc, box);
        dc.DrawText(size, box.GetRight() + 1 - dc.GetTextExtent(size).x, box.y);
    }
}

void CSimpleTree::DrawProgress(wxDC &dc, const CItemInfo &item, int left, int top)
{
    Draw3dRect(dc, left, top, 74, 7, kBarTopLeft, kBarBottomRight);
    if (item.progress <= 1)
        return;
    const int width = item.progress * 72 / item.progressMax;
    FillSolid(dc, wxRect(left + 1, top + 1, width, 5), kBarFill);
    FillSolid(dc, wxRect(left + 2, top + 2, width - 2, 1), kBarLight);
    FillSolid(dc, wxRect(left + 2, top + 3, width - 2, 1), kBarMiddle);
}
