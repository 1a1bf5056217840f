// The core's view of the main window, on wx events. Worker threads and the
// download engine reach the window only through this object, which lives as
// long as the process: once the window has detached itself every call is
// harmless (nothing is posted, a send returns at once).
#pragma once

#include "net/MainWindowLink.h"

#include <tovixsock.h>

#include <atomic>
#include <mutex>
#include <string>

class wxWindow;

class CWxMainWindowLink : public CMainWindowLink {
public:
    // User-interface thread. The main window gets commands and engine
    // notifications; the channel page gets channel keys and pictures.
    void Attach(wxWindow *mainWindow, wxWindow *channelPage);
    void Detach();
    // The tab button now disabled (1000 or 1002), i.e. the active view.
    void SetDisabledTab(int commandId) { m_disabledTab = commandId; }

    // Makes the engine's record post WM_DOWNLOAD_CHANGED to whichever main
    // window is attached when the engine posts.
    void BindEngineHandle(TovixWndHandle &handle);

    bool MainWindowExists() override;
    void PostShowChannel(int channelKey) override;
    void PostCommand(int commandId) override;
    bool IsButtonDisabled(int commandId) override;
    // From a worker: the channel page handles the message on the user-interface
    // thread while the worker waits. The only owner of the promise is the queued
    // call, so a window destroyed first breaks the promise and ends the wait.
    void SendPictureReady(const std::string &picturePath, int entry) override;
    // Kept, and posted to the channel page again when a window attaches.
    void PostServiceProblem(EServiceProblem problem) override;
    void PostDownloadsFinished(int count, int firstEntry) override;

private:
    static void PostFromEngine(void *context, unsigned message);

    std::mutex m_mutex; // guards both pointers against a window being detached
    wxWindow *m_mainWindow = nullptr;
    wxWindow *m_channelPage = nullptr;
    std::atomic<int> m_disabledTab{0};
    EServiceProblem m_problem = EServiceProblem::None; // guarded by m_mutex
};
