// What the file list pane needs from the window that holds it (the channel page).
#pragma once

class IFileListOwner {
public:
    virtual ~IFileListOwner() = default;

    // The data value of the main window's channel tree's selected item; 0 for none.
    virtual int SelectedChannelKey() = 0;
    // The detail pane's download and stop operations, for the file it shows.
    virtual void DownloadShownFile() = 0;
    virtual void StopShownFile() = 0;
};
