// The application object: the start-up sequence, the main loop until the main
// window is gone, then the engine's clean-up and the exit save.
#pragma once

#include "app/PluginInstaller.h"
#include "app/SingleInstance.h"
#include "base/KeyStore.h"
#include "net/ServiceChannel.h"
#include "net/ServiceReports.h"
#include "net/SyncWorkers.h"
#include "net/WorkerThreads.h"
#include "store/CatalogueStore.h"
#include "ui/CWxMainWindowLink.h"

#include <memory>
#include <wx/app.h>

class CMainDlg;

class CMainApp : public wxApp {
public:
    CMainApp();
    ~CMainApp() override;

    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;

private:
    // SIGINT and SIGTERM end the program as the tray menu's exit command does.
    void WatchStopSignals();
    void ShowLoadReport(const std::string &message);

    bool m_secondInstance = false;
    CSingleInstance m_instance;
    std::unique_ptr<CCatalogueStore> m_store;
    std::unique_ptr<CKeyStore> m_keys;
    std::unique_ptr<CPluginInstaller> m_installer;
    CWorkerThreads m_threads;
    CWxMainWindowLink m_link;
    TovixWndHandle m_engineHandle{}; // outlives the window and the engine's CleanUp
    std::unique_ptr<CSyncWorkers> m_workers;
    std::unique_ptr<CServiceChannel> m_channel;
    std::unique_ptr<CServiceReports> m_reports;
    CMainDlg *m_mainDlg = nullptr;
};

wxDECLARE_APP(CMainApp);
