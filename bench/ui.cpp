// The main window's cost on the user-interface thread: one download-state
// refresh pass over 5,000 listed files with the engine answering (as a share
// of one core at the 3-second tick), and the thread's CPU while 10
// rate-limited downloads from the demo service run. Needs a display
// (scripts/with-display); run it from the build folder, where Skins/ is.
// BENCH_NO_WEB=1 leaves the advertisement pane blank; BENCH_IDLE=1 starts only
// the channel the service marks subscribed: both tell where the time goes.
#include "BenchSupport.h"
#include "WxBenchSupport.h"

#include "DemoService.h"
#include "EngineBinding.h"
#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/KeyStore.h"
#include "net/ServiceChannel.h"
#include "net/ServiceReports.h"
#include "net/SyncWorkers.h"
#include "skin/SkinBitmaps.h"
#include "store/CatalogueStore.h"
#include "ui/CMainDlg.h"
#include "ui/CWxMainWindowLink.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace {

constexpr int kFiles = 5000;
constexpr int kRuns = 5;
constexpr double kTickSeconds = 3.0;

// The process-wide objects the application hands the window.
struct TApplication {
    explicit TApplication(const std::string &folder)
        : keys(folder + "/keys"), workers(store, link, threads), channel(store, keys, link, workers),
          reports(channel, store, keys)
    {
    }
    CCatalogueStore store;
    CKeyStore keys;
    CWorkerThreads threads;
    CWxMainWindowLink link;
    TovixWndHandle engineHandle{};
    CSyncWorkers workers;
    CServiceChannel channel;
    CServiceReports reports;

    CMainDlg *OpenWindow()
    {
        auto *window = new CMainDlg(TMainContext{store, keys, threads, reports, link, engineHandle});
        window->Create();
        window->Show();
        return window;
    }
};

// An engine that knows every torrent and reports it half done and downloading.
int KnownTorrent(const char *path) { return *path ? 1 : -1; }
double HalfDone(int) { return 50.0; }
int Yes(int) { return 1; }

void RefreshPass(const std::string &skins)
{
    const std::string folder = EnterScratchFolder("tovix-bench-ui-refresh");
    CDebugLog::Instance().Reopen(folder + "/skininfo.txt");
    symlink(skins.c_str(), "Skins");
    TGeneratedCatalogue shape;
    shape.channels = 1;
    shape.filesPerChannel = kFiles;
    WriteCatalogue(shape);
    TEngineApi api = UnboundEngine();
    api.GetPosByTorrent = KnownTorrent;
    api.GetProgress = HalfDone;
    api.IsDownloading = Yes;
    BindEngine(api);

    TApplication app(folder);
    app.store.Load([](const std::string &) {});
    CMainDlg *window = app.OpenWindow();
    window->Timer(CMainDlg::TIMER_STATUS).Stop();
    SendWindowMessage(&window->ChannelInfo(), WM_SHOW_CHANNEL, 0, 1);
    const int listed = window->ChannelInfo().FileList().Tree().GetCount();

    // The first pass reads every file's paths from the catalogue and writes the
    // engine's progress back (one save); later passes find both on the entries.
    double start = ThreadCpuSeconds();
    window->RefreshDownloadStates();
    const double first = ThreadCpuSeconds() - start;
    std::vector<double> passes;
    for (int i = 0; i < kRuns; ++i) {
        start = ThreadCpuSeconds();
        window->RefreshDownloadStates();
        passes.push_back(ThreadCpuSeconds() - start);
    }
    std::sort(passes.begin(), passes.end());
    const double steady = passes[kRuns / 2];
    std::printf("refresh pass over %d listed files, engine answering (CPU time of the UI thread):\n", listed);
    std::printf("  first pass (paths from the catalogue, progress written, one save): %.1f ms = %.2f %% of a core at the %.0f s tick\n",
                first * 1000, first / kTickSeconds * 100, kTickSeconds);
    std::printf("  later passes, median of %d: %.2f ms = %.3f %% of a core at the %.0f s tick\n", kRuns,
                steady * 1000, steady / kTickSeconds * 100, kTickSeconds);
    window->Destroy();
    RunLoop(100);
    app.store.DisableExitSave();
    UnbindEngine();
}

void RateLimitedDownloads(const std::string &skins)
{
    const std::string folder = EnterScratchFolder("tovix-bench-ui-downloads");
    CDebugLog::Instance().Reopen(folder + "/skininfo.txt");
    CDemoService service;
    if (!service.Start() || !MakeClientFolder(folder, service.Ports(), skins)) {
        std::printf("downloads: the demo service did not start\n");
        return;
    }
    std::filesystem::create_directories("EngineState");
    FILE *settings = std::fopen("EngineState/settings.txt", "w");
    std::fputs("listen_interfaces = 127.0.0.1:0\n", settings);
    std::fclose(settings);

    TApplication app(folder);
    app.store.Load([](const std::string &) {});
    // Ten downloads at once, 60 KB/s for all of them: each clip takes many seconds.
    app.store.SetConfigValue("ThreadNum", "10");
    app.store.SetConfigValue("MaxDLSpeed", "60");
    if (std::getenv("BENCH_NO_WEB"))
        app.store.SetConfigValue("WebURL", "");
    BindTovixSock();
    Engine().InitDownloader();
    app.channel.Start();
    app.reports.SendLoginReport(nullptr);
    CMainDlg *window = app.OpenWindow();

    // Subscribe every channel once the catalogue is in, and start them all.
    for (int waited = 0; waited < 100 && !window->Tree().GetRootItem(); ++waited)
        RunLoop(100);
    {
        std::lock_guard<std::recursive_mutex> lock(app.store.ChannelLock());
        TiXmlElement *root = app.store.ChannelDoc().RootElement();
        for (TiXmlElement *category = root ? root->FirstChildElement("Channel1") : nullptr; category;
             category = category->NextSiblingElement("Channel1"))
            for (TiXmlElement *channel = category->FirstChildElement("Channel2"); channel;
                 channel = channel->NextSiblingElement("Channel2"))
                channel->SetAttribute("Subscribe", "1");
    }
    if (!std::getenv("BENCH_IDLE"))
        window->StartSubscribedDownloads();
    for (int waited = 0; waited < 300 && !std::getenv("BENCH_IDLE") && Engine().GetDownloadingNum() < 10; ++waited)
        RunLoop(100);

    const int measureMs = 20000;
    const int downloadingBefore = Engine().GetDownloadingNum();
    const double start = ThreadCpuSeconds();
    const auto wall = std::chrono::steady_clock::now();
    RunLoop(measureMs);
    const double cpu = ThreadCpuSeconds() - start;
    const double seconds = SecondsSince(wall);
    std::printf("UI thread while downloads run (%d downloading before, %d after, %d waiting, %d KB/s):\n",
                downloadingBefore, Engine().GetDownloadingNum(), Engine().GetPendingNum(),
                Engine().GetDLSpeed(-1) / 1024);
    std::printf("  %.3f s CPU in %.1f s = %.2f %% of a core (%d refreshes)\n", cpu, seconds, cpu / seconds * 100,
                window->RefreshCount());
    window->Destroy();
    RunLoop(100);
    app.channel.Stop();
    Engine().CleanUp();
    UnbindEngine();
    app.store.DisableExitSave();
}

} // namespace

int main(int argc, char **argv)
{
    const std::string skins = std::filesystem::current_path().string() + "/Skins";
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "bench_ui needs a display: run it under scripts/with-display\n");
        return 1;
    }
    LoadSkinBitmaps(); // also brings the image handlers
    RefreshPass(skins);
    RateLimitedDownloads(skins);
    wxEntryCleanup();
    return 0;
}
