// What the core may ask of the main window. The windows implement it with wx
// events; tests implement it with a recorder. Every call is safe from any thread.
#pragma once

#include <string>

class CMainWindowLink {
public:
    virtual ~CMainWindowLink();

    // The main window has been created and not yet destroyed.
    virtual bool MainWindowExists() = 0;
    // Posts WM_SHOW_CHANNEL (wParam 0, lParam channelKey) to the channel page.
    virtual void PostShowChannel(int channelKey) = 0;
    // Posts WM_COMMAND with a command id (1000 all channels, 1002 subscribed channels).
    virtual void PostCommand(int commandId) = 0;
    // Whether the tab button of that command id is disabled (marking the active view).
    virtual bool IsButtonDisabled(int commandId) = 0;
    // Sends WM_PICTURE_READY (picture path, entry number) and returns once the
    // window has handled it, or at once when the window is gone.
    virtual void SendPictureReady(const std::string &picturePath, int entry) = 0;
};

// The work a catalogue reply starts besides the merges themselves.
class ISyncWorkers {
public:
    virtual ~ISyncWorkers();

    // Starts a picture fetcher thread (one pass over the file catalogue).
    virtual void StartPictureFetcher() = 0;
    // Starts the advertisement fetcher thread.
    virtual void StartAdFetcher() = 0;
    // Starts the update fetcher thread, which owns its copy of the address.
    virtual void StartUpdateFetcher(const std::string &address) = 0;
    // Runs the subscribed-download start on the calling thread.
    virtual void RunSubscribedDownloadStart() = 0;
};
