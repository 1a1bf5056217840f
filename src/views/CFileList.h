// The left pane of the channel page: a gradient header with the delete and
// download buttons over the content tree, which lists the files of a channel
// key (WM_SHOW_CHANNEL) from the two catalogues and the download engine.
// NM_CLICK and NM_DBLCLK of the tree go on to the parent as this pane's own
// notifications.
//
// Messages: WM_SHOW_CHANNEL (lParam: the channel key; wParam: 0 or kRefresh, which
// the owner reads); WM_PICTURE_READY
// (wParam: a const std::string * holding the picture's GBK path, valid while
// the message is handled; lParam: the entry number); WM_SERVICE_PROBLEM
// (wParam: an EServiceProblem).
#pragma once

#include "net/MainWindowLink.h"
#include "skin/CBmpButton.h"
#include "skin/SkinEvents.h"
#include "store/CatalogueStore.h"
#include "views/CSimpleTree.h"
#include "views/FileListOwner.h"

#include <string>
#include <vector>

class CFileList : public wxWindow {
public:
    enum { ID_DELETE = 5101, ID_DOWNLOAD = 5102, ID_TREE = 5103 };

    // Channel keys besides categories and channels.
    static constexpr int kOtherContent = -2; // started files of channels not subscribed
    static constexpr int kClear = -1;
    static constexpr int kTreeSelection = 0; // whatever the main window's channel tree has selected
    // wParam of WM_SHOW_CHANNEL for a refill the viewer did not ask for (a catalogue
    // update): it leaves a video that is playing alone.
    static constexpr int kRefresh = 1;

    // Both outlive the pane.
    CFileList(CCatalogueStore &store, IFileListOwner &owner) : m_store(store), m_owner(owner) {}
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size);

    // Shows the files of a channel key, newest first, and clicks the first row.
    void ShowChannel(int channelKey);
    // Loads the picture at a GBK path into the first entry with that entry number.
    void ReplacePicture(const std::string &picturePath, int entryNumber);
    // Stops the detail pane's download, removes the selected entry and deletes
    // its file with everything belonging to it. Nothing is asked.
    void DeleteSelected();

    // A notice above the list: what keeps the client from the service, where the
    // address is set and that Tovix keeps trying. None takes it away.
    void SetServiceProblem(EServiceProblem problem);
    const wxString &ServiceNotice() const { return m_notice; }
    // The notice's text; connection is the Connection item as shown on screen.
    static wxString ServiceNoticeText(EServiceProblem problem, const wxString &connection,
                                      const wxString &configurationFile);

    CSimpleTree &Tree() { return m_tree; }
    // Paints the pane's background and header (not its children) into dc.
    void Render(wxDC &dc) const;

    // "%6.2fK", "%6.2fM" or "%6.2fG" of a size in kilobytes.
    static std::string SizeText(int kilobytes);

private:
    void OnPaint(wxPaintEvent &event);
    void OnSize(wxSizeEvent &event);
    void OnDelete(wxCommandEvent &event);
    void OnDownload(wxCommandEvent &event);
    void OnTreeNotify(CNotifyEvent &event);
    void OnShowChannel(CMessageEvent &event);
    void OnPictureReady(CMessageEvent &event);
    void OnServiceProblem(CMessageEvent &event);
    // The tree under the header and the notice, with the empty band below it.
    void PlaceTree();

    CCatalogueStore &m_store;
    IFileListOwner &m_owner;
    CBmpButton m_delete;
    CBmpButton m_download;
    CSimpleTree m_tree;
    wxString m_notice;
    std::vector<wxString> m_noticeLines; // wrapped to the pane's width
    int m_noticeHeight = 0;

    wxDECLARE_EVENT_TABLE();
};
