// The channel page: the right-hand part of the main window. The file list
// pane, a vertical splitter, and in one shared place either the file detail
// pane or the player host. It keeps the panes fitted to the main window,
// passes channel keys and pictures on to the file list, and turns a click on
// a listed file into its details and a double-click into playing it.
//
// Messages: WM_FIT_TO_PARENT, WM_SHOW_CHANNEL, WM_PICTURE_READY.
#pragma once

#include "net/WorkerThreads.h"
#include "skin/CCommonSplitter.h"
#include "store/CatalogueStore.h"
#include "ui/CFileInfo.h"
#include "ui/CWMPlayer.h"
#include "views/CFileList.h"

#include <wx/window.h>

// What the channel page asks of the main window.
class IChannelPageOwner {
public:
    virtual ~IChannelPageOwner() = default;
    // The data of the channel tree's selected item; 0 for none.
    virtual int SelectedChannelKey() = 0;
    // Posts a command to the main window (1002: show the subscribed channels).
    virtual void PostCommand(int commandId) = 0;
    virtual void RunSubscribedDownloadStart() = 0;
    // The tab buttons overlap the page's top edge: the selected one is drawn again
    // after the page changes its layout (not from the page's paint, which would
    // make the two repaint each other for ever).
    virtual void RepaintSelectedTab() = 0;
};

class CChannelInfo : public wxWindow, private IFileListOwner, private IFileInfoOwner, private IPlayerHostOwner {
public:
    enum { ID_FILE_LIST = 5503, ID_SPLITTER = 5504, ID_FILE_INFO = 5505, ID_PLAYER = 5506 };
    static constexpr int kGradientRows = 77;
    static constexpr int kMinSplitter = 195;
    static constexpr int kRightPaneMin = 224; // the right pane is kept at least about this wide

    // All three outlive the page.
    CChannelInfo(CCatalogueStore &store, CWorkerThreads &threads, IChannelPageOwner &owner);
    bool Create(wxWindow *parent, wxWindowID id, const wxRect &rect);

    CFileList &FileList() { return m_fileList; }
    CFileInfo &FileInfo() { return m_fileInfo; }
    CWMPlayer &Player() { return m_player; }
    CCommonSplitter &Splitter() { return m_splitter; }

    // The entry number (file ID * 1000 + channel ID) of a list key; 0 when unknown.
    int EntryNumberOfKey(int key) override;
    // Shows the details of the file with that list key; a negative key shows the default picture.
    void ShowFileDetails(int key);
    // Plays the file with that list key; nothing for a negative key.
    void PlayFile(int key);
    // Moves the boundary between the list and the right pane by delta pixels.
    void MovePanes(int delta);
    // Fits the page and its panes to the main window's client area.
    void FitToParent();

    // Paints the page's background into dc (client size).
    void Render(wxDC &dc) const;

private:
    int SelectedChannelKey() override { return m_owner.SelectedChannelKey(); }
    void DownloadShownFile() override { m_fileInfo.Download(); }
    void StopShownFile() override { m_fileInfo.Stop(); }
    void PostCommand(int commandId) override { m_owner.PostCommand(commandId); }
    void RunSubscribedDownloadStart() override { m_owner.RunSubscribedDownloadStart(); }
    void ShowDetailPane(bool show) override { m_fileInfo.Show(show); }

    void OnPaint(wxPaintEvent &event);
    void OnListNotify(CNotifyEvent &event);
    void OnDetailNotify(CNotifyEvent &event);
    void OnSplitterNotify(CNotifyEvent &event);
    void OnFitToParent(CMessageEvent &event);
    void FillDetails(int key);
    void OnShowChannel(CMessageEvent &event);
    void OnForward(CMessageEvent &event);
    void OnPictureReady(CMessageEvent &event);

    CCatalogueStore &m_store;
    IChannelPageOwner &m_owner;
    CCommonSplitter m_splitter;
    CFileInfo m_fileInfo;
    CFileList m_fileList;
    CWMPlayer m_player;
    bool m_refreshing = false; // a refill the viewer did not ask for is being shown

    wxDECLARE_EVENT_TABLE();
};
