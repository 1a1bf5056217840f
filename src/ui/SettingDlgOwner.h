// What the settings dialog needs from the main window that opens it.
#pragma once

class ISettingDlgOwner {
public:
    virtual ~ISettingDlgOwner() = default;

    // Posts a command to the main window (1002: show the subscribed channels).
    virtual void PostCommand(int commandId) = 0;
};
