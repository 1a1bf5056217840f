#include "ui/CMainApp.h"

#include "EngineBinding.h"
#include "app/UpdateHandoff.h"
#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/FileSystem.h"
#include "base/GbkText.h"
#include "skin/Resource.h"
#include "skin/SkinBitmaps.h"
#include "ui/CMainDlg.h"
#include "ui/DisplaySession.h"
#include "ui/MainContext.h"
#include "ui/MessageBox.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <glib.h>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <wx/dialog.h>
#include <wx/image.h>

namespace {

using namespace std::chrono_literals;

// How long the exit gives the workers once their transfers are told to end.
constexpr auto kWorkerBudget = 5s;
// How long a second start waits for an instance that no longer answers to go.
constexpr auto kLockWait = 15s;

// The signal handler only writes a byte here (all it may safely do); a watcher
// thread turns each byte into the exit command on the user-interface thread.
int g_stopPipe[2] = {-1, -1};

// The application object the watcher reaches; gone with the object.
std::mutex g_appMutex;
CMainApp *g_app = nullptr;

extern "C" void OnStopSignalByte(int)
{
    const int saved = errno;
    const char byte = 1;
    ssize_t written = ::write(g_stopPipe[1], &byte, 1);
    (void)written;
    errno = saved;
}

// Runs the application's OnStopSignal on the user-interface thread, from any
// thread. A GLib idle source, not CallAfter: wx hands queued calls out only once
// its main loop runs, and a signal may come while a message box of the start-up
// runs its own loop.
void QueueStopSignal()
{
    g_idle_add(
        [](gpointer) -> gboolean {
            if (g_app) {
                g_app->OnStopSignal();
                // What it did (a window destroyed) completes in wx's idle time.
                wxWakeUpIdle();
            }
            return G_SOURCE_REMOVE;
        },
        nullptr);
}

// Ends the modal dialogs of the program (the settings dialog, its folder picker);
// true when one was open.
bool EndModalDialogs()
{
    bool ended = false;
    for (wxWindow *window : wxTopLevelWindows) {
        auto *dialog = dynamic_cast<wxDialog *>(window);
        if (dialog && dialog->IsModal()) {
            dialog->EndModal(wxID_CANCEL);
            ended = true;
        }
    }
    return ended;
}

} // namespace

CMainApp::CMainApp() = default;

CMainApp::~CMainApp()
{
    std::lock_guard<std::mutex> lock(g_appMutex);
    g_app = nullptr;
}

void CMainApp::ShowLoadReport(const std::string &message)
{
    ShowMessageBox(nullptr, wxString::FromUTF8(GbkToUtf8(message)));
}

void CMainApp::WatchStopSignals()
{
    if (::pipe2(g_stopPipe, O_CLOEXEC) != 0) {
        DebugLog("Stop signal pipe error[%d]", errno);
        return;
    }
    // A full pipe already holds a stop: the handler must never block on it.
    ::fcntl(g_stopPipe[1], F_SETFL, O_NONBLOCK);
    {
        std::lock_guard<std::mutex> lock(g_appMutex);
        g_app = this;
    }
    try {
        std::thread([] {
            for (;;) {
                char byte;
                const ssize_t got = ::read(g_stopPipe[0], &byte, 1);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    return;
                std::lock_guard<std::mutex> lock(g_appMutex);
                if (g_app) {
                    g_app->m_stopRequested = true;
                    QueueStopSignal();
                }
            }
        }).detach();
    } catch (const std::system_error &error) {
        // The signals keep their default action: they still end the program.
        DebugLog("Stop signal watcher error[%d]", error.code().value());
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void CMainApp::OnStopSignal()
{
    // A modal run (a message box, the settings dialog) must unwind before the
    // window under it goes: close it and come back once it has returned.
    const bool boxOpen = EndMessageBoxes();
    if (EndModalDialogs() || boxOpen) {
        QueueStopSignal();
        return;
    }
    if (m_mainDlg && !m_mainDlg->IsBeingDeleted()) {
        wxCommandEvent exit(wxEVT_MENU, ID_MENU_EXIT);
        m_mainDlg->GetEventHandler()->ProcessEvent(exit);
    }
}

void CMainApp::RefuseStart(const std::string &logLine, const wxString &text)
{
    DebugLog("%s", logLine.c_str());
    ShowMessageBox(nullptr, text);
    m_exitCode = 1;
}

bool CMainApp::KeepSingle()
{
    switch (m_instance.Acquire()) {
    case CSingleInstance::TAcquire::Acquired:
        return true;
    case CSingleInstance::TAcquire::Running:
        // A second start asks the running instance to come forward and leaves: no
        // update hand-off, no reports, and no catalogue of its own written at exit.
        if (m_instance.AskToRestore())
            return false;
        // No answer: the running one is on its way out, and its lock goes after its
        // exit save. Starting before that would have its saves overwritten.
        if (m_instance.WaitForLock(kLockWait, [this] { return m_stopRequested.load(); }))
            return true;
        if (!m_stopRequested)
            RefuseStart("Instance lock in " + m_instance.Folder() + " held by a program that does not answer",
                        wxString::FromUTF8("Tovix 已在运行，但没有响应。"));
        return false;
    case CSingleInstance::TAcquire::Failed:
        break;
    }
    RefuseStart("Instance lock error: " + m_instance.Problem(),
                wxString::FromUTF8("Tovix 无法启动：没有可以存放实例锁的文件夹。\n") +
                    wxString::FromUTF8(m_instance.Problem()));
    return false;
}

bool CMainApp::OnInit()
{
    WatchStopSignals();
    SetAppName("Tovix");
    SetVendorName("Tovix");
    if (!KeepSingle())
        return true;
    m_holdsLock = true;
    // Saves a kill cut short leave their temporary files beside the catalogue.
    RemoveAtomicLeftovers(".", {CCatalogueStore::kConfigure, CCatalogueStore::kFileInfo,
                                CCatalogueStore::kChannelInfo});
    wxInitAllImageHandlers();
    SetUpDisplaySession();

    m_store = std::make_unique<CCatalogueStore>();
    m_store->Load([this](const std::string &message) { ShowLoadReport(message); });
    if (m_stopRequested)
        return true; // a signal closed a load report: straight to the exit save

    FinishPendingUpdate();

    const TPluginFolders plugins = TPluginFolders::Default();
    UseRealCodecFolder(plugins);
    m_keys = std::make_unique<CKeyStore>(CKeyStore::DefaultFolder());
    m_installer = std::make_unique<CPluginInstaller>(*m_keys, plugins);

    BindTovixSock();
    Engine().InitDownloader();
    m_engineStarted = true;

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
    auto *mainDlg = new CMainDlg(context);
    if (!mainDlg->Create()) {
        DebugLog("Create main window error");
        mainDlg->Destroy();
        m_exitCode = 1;
        return true;
    }
    m_mainDlg = mainDlg;
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
    // A signal may have come before the main loop that will carry it out.
    if (m_stopRequested)
        QueueStopSignal();
    return true;
}

int CMainApp::OnRun()
{
    if (!m_holdsLock)
        return m_exitCode;
    // The loop ends when the main window is destroyed (the tray menu's exit).
    if (m_mainDlg)
        wxApp::OnRun();
    ShutDown();
    return m_exitCode;
}

void CMainApp::ShutDown()
{
    // A start from now on finds no answer and waits for the lock.
    m_instance.StopListening();
    // No merge may run while the exit save writes the catalogue, nor prune files
    // once the engine is gone.
    if (m_channel)
        m_channel->Stop();
    m_threads.Stop();
    const bool workersEnded = m_threads.WaitAll(kWorkerBudget);
    if (m_engineStarted)
        Engine().CleanUp();
    if (m_store) {
        m_store->ExitSave(); // FileInfo.xml, ChannelInfo.xml, Configure.xml
        m_store->DisableExitSave();
    }
    m_instance.Release();
    if (!workersEnded) {
        // They may still use the store, the window link and the log: none of them
        // may be destroyed, so the process ends here.
        DebugLog("Exit with workers still running");
        std::fflush(nullptr);
        ::_exit(m_exitCode);
    }
}
