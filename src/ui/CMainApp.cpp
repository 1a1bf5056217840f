#include "ui/CMainApp.h"

#include "EngineBinding.h"
#include "app/UpdateHandoff.h"
#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/GbkText.h"
#include "skin/Resource.h"
#include "skin/SkinBitmaps.h"
#include "ui/CMainDlg.h"
#include "ui/DisplaySession.h"
#include "ui/MainContext.h"
#include "ui/MessageBox.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <wx/image.h>

CMainApp::CMainApp() = default;

CMainApp::~CMainApp() = default;

void CMainApp::ShowLoadReport(const std::string &message)
{
    ShowMessageBox(nullptr, wxString::FromUTF8(GbkToUtf8(message)));
}

namespace {

// The signal handler only writes a byte here (all it may safely do); a watcher
// thread turns the byte into the exit command on the user-interface thread.
int g_stopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    const char byte = 1;
    ssize_t written = ::write(g_stopPipe[1], &byte, 1);
    (void)written;
}

} // namespace

void CMainApp::WatchStopSignals()
{
    if (::pipe2(g_stopPipe, O_CLOEXEC) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::thread([this] {
        char byte;
        while (::read(g_stopPipe[0], &byte, 1) < 0 && errno == EINTR) {
        }
        CallAfter([this] {
            if (m_mainDlg) {
                wxCommandEvent exit(wxEVT_MENU, ID_MENU_EXIT);
                m_mainDlg->GetEventHandler()->ProcessEvent(exit);
            } else {
                ExitMainLoop();
            }
        });
    }).detach();
}

bool CMainApp::OnInit()
{
    // A second start asks the running instance to come forward and leaves: no
    // update hand-off, no reports, and no catalogue of its own written at exit.
    if (!m_instance.Acquire()) {
        m_instance.AskToRestore();
        m_secondInstance = true;
        return true;
    }
    WatchStopSignals();

    SetAppName("Tovix");
    SetVendorName("Tovix");
    wxInitAllImageHandlers();
    SetUpDisplaySession();

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
    m_reports->RetryLoginUntilReplied();
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
    // Fetchers and torrent workers use the catalogue store, so it goes only after
    // they end. One held up by a server that never answers keeps it: the exit save
    // is made and the store is left to the end of the process.
    if (m_threads.WaitAll(std::chrono::seconds(10))) {
        m_store.reset(); // the exit save: FileInfo.xml, ChannelInfo.xml, Configure.xml
    } else {
        DebugLog("Exit with workers still running");
        m_store->ExitSave();
        m_store->DisableExitSave();
        static_cast<void>(m_store.release()); // left to the end of the process
    }
    return wxApp::OnExit();
}
