// The owner-drawn list of files inside the file list pane: a flat column of
// 54-pixel rows (thumbnail, title, second line, progress bar, size, state icon),
// scrolled with the skinned bar and the wheel. It tells its parent about clicks
// and selection changes with CNotifyEvent (NM_CLICK, NM_DBLCLK, NM_RCLICK,
// TVN_SELCHANGED), the entry key as payload.
#pragma once

#include "skin/CCommonScrollBar.h"
#include "skin/SkinEvents.h"

#include <wx/bitmap.h>
#include <wx/window.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CSimpleTree : public wxWindow {
public:
    static constexpr int kRowHeight = 54;
    static constexpr int kScrollBarIdOffset = 100;
    // The text lines step by the height of "Test" in the list's font, at most
    // this much: the rows were laid out for it, and a fallback face's taller line
    // box would push the size text under the next row.
    static constexpr int kMaxLineHeight = 12;

    // One entry. Texts are GBK, as the catalogue holds them; they are converted
    // for the screen when drawn.
    class CItemInfo {
    public:
        std::string title;
        std::string secondLine = "\xCA\xD3\xC6\xB5"; // "视频" until the owner sets the date
        std::string sizeText;
        int progress = 0;
        int entryNumber = 0;      // the owner's number: file ID * 1000 + channel ID
        std::string torrentPath;  // kept for the download-state refresh
        std::string locationPath; // kept for the download-state refresh
        int progressMax = 100;    // full bar, and no bar any more
        bool selected = false;
        int state = 0;            // 0 none, 1 finished, 2 downloading, 3 waiting
        int key = 0;
        wxColour lineColour{102, 102, 102};

        // The thumbnail, read from its file the first time the entry is drawn:
        // a list of thousands of files decodes only the pictures it shows.
        void SetPicturePath(const std::string &path);
        const wxBitmap &Picture();

    private:
        std::string m_picturePath;
        bool m_pictureRead = true;
        wxBitmap m_picture;
    };

    CSimpleTree() = default;
    ~CSimpleTree() override;
    // The list, then its scroll bar: a hidden child along the right edge whose id
    // is the list's id + 100.
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size);

    // The bitmap holding the state icons and the cells of states 1, 2 and 3.
    void SetStateImages(const wxBitmap &image, const wxRect &finished, const wxRect &downloading,
                        const wxRect &waiting);

    // Appends an entry; returns its key (1, 2, 3, ... never reused while the list exists).
    int InsertItem(const std::string &title);
    // Unknown keys are ignored by these four.
    void SetItemInfo(int key, const std::string &picturePath, const std::string &secondLine,
                     const std::string &sizeText, int state, int progress);
    void SetItemPaths(int key, const std::string &torrentPath, const std::string &locationPath);
    // Below -1 becomes -1; above the maximum becomes the maximum.
    void SetItemProgress(int key, int value);
    void SetItemState(int key, int state);
    // Replaces the thumbnail with the picture at path (GBK).
    void SetItemPicture(int key, const std::string &picturePath);

    // Selects the entry and sends TVN_SELCHANGED; the selected key again does nothing.
    void SelectItem(int key);
    // Scrolls as little as needed for the entry's whole row to show.
    void EnsureVisible(int key);
    // Removes the entry and selects the one after it; 1 when the key was known.
    int DeleteItem(int key);
    void DeleteAllItems();
    CItemInfo *LookUp(int key) const;
    // The key of the entry under a client point; -1 for none. A point on the
    // line between two rows belongs to the upper row.
    int HitTest(const wxPoint &point) const;

    // The left button going down at a client point, as the user's click does
    // it: selects the entry there and sends NM_CLICK. Returns the entry's key or -1.
    int LeftButtonDown(const wxPoint &point);

    int GetSelectedKey() const { return m_selectedKey; }
    int GetCount() const { return int(m_items.size()); }
    int GetFirstVisibleRow() const { return m_firstRow; }
    // The entries in display order.
    const std::vector<std::unique_ptr<CItemInfo>> &Items() const { return m_items; }
    const CCommonScrollBar &ScrollBar() const { return m_scrollBar; }

    // Paints the whole list (not the scroll bar) into dc.
    void Render(wxDC &dc);

private:
    void OnPaint(wxPaintEvent &event);
    void OnLeftDown(wxMouseEvent &event);
    void OnLeftDoubleClick(wxMouseEvent &event);
    void OnRightDown(wxMouseEvent &event);
    void OnVScroll(CScrollBarEvent &event);
    void OnSize(wxSizeEvent &event);
    void OnMouseWheel(wxMouseEvent &event);

    void UpdateScrollBar();
    bool ScrollBarCreated() const { return m_scrollBar.GetParent() != nullptr; }
    void DrawItem(wxDC &dc, CItemInfo &item, const wxRect &row, int textHeight);
    void DrawProgress(wxDC &dc, const CItemInfo &item, int left, int top);

    CCommonScrollBar m_scrollBar;
    wxFont m_font;
    std::vector<std::unique_ptr<CItemInfo>> m_items;
    wxBitmap m_stateImage;
    wxColour m_background{255, 255, 255};
    int m_firstRow = 0;
    int m_lastKey = 0;
    int m_selectedKey = -1;
    std::unordered_map<int, CItemInfo *> m_keys;
    wxRect m_stateCells[3];

    wxDECLARE_EVENT_TABLE();
};
