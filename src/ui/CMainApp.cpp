#include "ui/CMainApp.h"

#include "EngineBinding.h"
#include "app/UpdateHandoff.h"
#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/GbkText.h"
#include "skin/Resource.h"
#include "skin/SkinBitmaps.h"
#include "ui/CMainDlg.h"
#include "ui/MainContext.h"
#include "ui/MessageBox.h"

#include <csignal>
#include <pthread.h>
#include <wx/image.h>

CMainApp::CMainApp() = default;

CMainApp::~CMainApp()
{
    if (m_signalThread.joinable())
        m_signalThread.detach(); // blocked in sigwait; it ends with the process
}

void CMainApp::ShowLoadReport(const std::string &message)
{
    ShowMessageBox(nullptr, wxString::FromUTF8(GbkToUtf8(message)));
}

void CMainApp::WatchSignals()
{
    m_signalThread = std::thread([this] {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        int signal = 0;
        if (sigwait(&signals, &signal) != 0)
            return;
        CallAfter([this] {
            if (m_mainDlg) {
                wxCommandEvent exit(wxEVT_MENU, ID_MENU_EXIT);
                m_mainDlg->GetEventHandler()->ProcessEvent(exit);
            } else {
                ExitMainLoop();
            }
        });
    });
}

bool CMainApp::OnInit()
{
    // Every thread started from here on leaves SIGINT and SIGTERM to the watcher.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    // A second start asks the running instance to come forward and leaves: no
    // update hand-off, no reports, and no catalogue of its own written at exit.
    if (!m_instance.Acquire()) {
        m_instance.AskToRestore();
        m_secondInstance = true;
        return true;
    }
    WatchSignals();

    SetAppName("Tovix");
    SetVendorName("Tovix");
    wxInitAllImageHandlers();

    m_store = std::make_unique<CCatalogueStore>();
    m_store->Load([this](const std::string &message) { ShowLoadReport(message); });

    FinishPendingUpdate();

    const TPluginFolders plugins = TPluginFolders::Default();
    UseRealCodecFolder(plugins);
    m_keys = std::make_unique<CKeyStore>(CKeyStore::DefaultFolder());
    m_installer = std::make_unique<CPluginInstaller>(*m_keys, plugins);

    BindTovixSock();
    Engine().InitDownloader();

    m_workers = std::make_unique<CSyncWorkers>(*m_store, m_link, m_threads);
    m_channel = std::make_unique<CServiceChannel>(*m_store, *m_keys, m_link, *m_workers);
    m_channel->Start();
    m_reports = std::make_unique<CServiceReports>(*m_channel, *m_store, *m_keys);
    m_reports->SendLoginReport(m_installer.get());
    m_reports->SendVersionReport();

    LoadSkinBitmaps();
    m_link.BindEngineHandle(m_engineHandle);
    const TMainContext context{*m_store, *m_keys, m_threads, *m_reports, m_link, m_engineHandle};
    m_mainDlg = new CMainDlg(context);
    if (!m_mainDlg->Create()) {
        DebugLog("Create main window error");
        return false;
    }
    SetTopWindow(m_mainDlg);
    m_mainDlg->Show();
    m_instance.Listen([this] {
        CallAfter([this] {
            if (m_mainDlg)
                m_mainDlg->Restore();
        });
    });
    m_mainDlg->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent &event) {
        if (event.GetEventObject() == m_mainDlg)
            m_mainDlg = nullptr;
        event.Skip();
    });
    return true;
}

int CMainApp::OnRun()
{
    if (m_secondInstance)
        return 0;
    // The loop ends when the main window is destroyed (the tray menu's exit).
    const int code = wxApp::OnRun();
    Engine().CleanUp();
    m_instance.Release();
    return code;
}

int CMainApp::OnExit()
{
    // No merge may run while the exit save writes the catalogue.
    if (m_channel)
        m_channel->Stop();
    // The exit save: FileInfo.xml, ChannelInfo.xml, Configure.xml.
    m_store.reset();
    return wxApp::OnExit();
}
