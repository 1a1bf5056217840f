// What the core may ask of the main window. The windows implement it with wx
// events; tests implement it with a recorder. Every call is safe from any thread.
#pragma once

#include <string>

// What keeps the client from the service until its first login reply.
enum class EServiceProblem {
    None,          // reached (or not yet known to be unreachable)
    NotConfigured, // Connection is empty
    BadAddress,    // Connection is not an IPv4 address and port
    Unreachable,   // no connection, or no answer on it
};

class CMainWindowLink {
public:
    virtual ~CMainWindowLink();

    // The main window has been created and not yet destroyed.
    virtual bool MainWindowExists() = 0;
    // Posts WM_SHOW_CHANNEL (lParam channelKey) to the channel page, marked as a
    // refill the viewer did not ask for (wParam 1).
    virtual void PostShowChannel(int channelKey) = 0;
    // Posts WM_COMMAND with a command id (1000 all channels, 1002 subscribed channels),
    // marked the same way.
    virtual void PostCommand(int commandId) = 0;
    // Whether the tab button of that command id is disabled (marking the active view).
    virtual bool IsButtonDisabled(int commandId) = 0;
    // Sends WM_PICTURE_READY (picture path, entry number) and returns once the
    // window has handled it, or at once when the window is gone.
    virtual void SendPictureReady(const std::string &picturePath, int entry) = 0;
    // Tells the file list what keeps the client from the service; None takes
    // the notice away. Also before the window exists: it is shown once it does.
    virtual void PostServiceProblem(EServiceProblem) {}
    // Files of subscribed channels finished downloading: how many, and the entry
    // number (file ID * 1000 + channel ID) of the first of them.
    virtual void PostDownloadsFinished(int /*count*/, int /*firstEntry*/) {}
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
