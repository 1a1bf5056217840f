// The right-hand pane of the channel page while no video plays: one catalogue
// file's picture in a frame, its description, and the buttons to download or
// stop it, play it and subscribe to its channel. Download, stop and play share
// one place; at most one of them shows.
#pragma once

#include "net/WorkerThreads.h"
#include "skin/CBmpButton.h"
#include "store/CatalogueStore.h"
#include "ui/FileInfoOwner.h"

#include <wx/bitmap.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include <string>

class CFileInfo : public wxWindow {
public:
    enum { ID_DESCRIPTION = 2001, ID_DOWNLOAD = 2004, ID_STOP = 2005, ID_PLAY = 2006, ID_SUBSCRIBE = 2007 };
    // The main window's command that shows the subscribed channels.
    static constexpr int kCommandMyPrograms = 1002;

    // All three outlive the pane. The default picture is loaded here.
    CFileInfo(CCatalogueStore &store, CWorkerThreads &threads, IFileInfoOwner &owner);
    bool Create(wxWindow *parent, wxWindowID id, const wxPoint &pos, const wxSize &size);

    // Shows one file. Names and the description are the catalogue's (GBK); the
    // picture is PicRoot + picture, or the default picture itself when picture
    // names it. engineKnows: the engine has the file's torrent.
    void ShowFile(const std::string &torrent, const std::string &description, int key, const std::string &picture,
                  const std::string &location, int progress, bool engineKnows);
    // Shows the catalogue file of an entry number, asking the engine whether it
    // has the file; a negative key shows nothing but the default picture.
    void ShowEntry(int key, int entry);

    // The four buttons' operations; the file list pane calls the first two too.
    void Download();
    void Stop();
    void Play();
    void Subscribe();
    // The shown file has finished downloading: only the play button remains.
    void ShowFinished();
    // The shown file's picture has arrived at path (GBK): it replaces the one
    // shown unless the file cannot be opened; nothing else changes.
    void ShowPicture(const std::string &path);

    int GetShownKey() const { return m_shownKey; }
    const wxBitmap &Picture() const { return m_picture; }
    // Paints the pane (not its children) into dc.
    void Render(wxDC &dc) const;

private:
    void OnPaint(wxPaintEvent &event);
    void OnSize(wxSizeEvent &event);
    void OnDownload(wxCommandEvent &event);
    void OnStop(wxCommandEvent &event);
    void OnPlay(wxCommandEvent &event);
    void OnSubscribe(wxCommandEvent &event);

    // The picture of a catalogue name, or the default; false when neither opens.
    bool LoadShownPicture(const std::string &name);

    CCatalogueStore &m_store;
    CWorkerThreads &m_threads;
    IFileInfoOwner &m_owner;
    wxTextCtrl m_description;
    std::string m_location;
    std::string m_torrent;
    CBmpButton m_download;
    CBmpButton m_stop;
    CBmpButton m_play;
    CBmpButton m_subscribe;
    wxBitmap m_picture; // stretched to its box; null while there is none
    int m_shownKey = -1;

    wxDECLARE_EVENT_TABLE();
};
