// What the file detail pane needs from the window that holds it (the channel page).
#pragma once

class IFileInfoOwner {
public:
    virtual ~IFileInfoOwner() = default;

    // The entry number (file ID * 1000 + channel ID) the file list gives a key; 0 when it does not know the key.
    virtual int EntryNumberOfKey(int key) = 0;
    // Posts a command to the main window (1002: show the subscribed channels).
    virtual void PostCommand(int commandId) = 0;
    // Hands every unfinished file of the subscribed channels to the engine.
    virtual void RunSubscribedDownloadStart() = 0;
};
