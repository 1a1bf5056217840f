// The application object: the start-up sequence, the main loop until the main
// window is gone, then the exit in an order that loses nothing: the listener, the
// network thread, the workers, the engine, the exit save and last the lock.
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

#include <atomic>
#include <memory>
#include <wx/app.h>

class CMainDlg;

class CMainApp : public wxApp {
public:
    CMainApp();
    ~CMainApp() override;

    bool OnInit() override;
    int OnRun() override;

    // On the user-interface thread, once per SIGINT or SIGTERM.
    void OnStopSignal();

private:
    // SIGINT and SIGTERM, from the start to the end of the process, end the
    // program as the tray menu's exit command does.
    void WatchStopSignals();
    // True when this process is the one instance and goes on starting; otherwise
    // m_exitCode says how it leaves.
    bool KeepSingle();
    // Tells the user why the program does not start, and leaves with code 1.
    void RefuseStart(const std::string &logLine, const wxString &text);
    void ShowLoadReport(const std::string &message);
    // The exit: ends everything that could still change the catalogue or reach
    // the window link, then saves and drops the lock.
    void ShutDown();

    int m_exitCode = 0;
    bool m_holdsLock = false;
    bool m_engineStarted = false;
    std::atomic<bool> m_stopRequested{false};
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
