// The video player's cost on the user-interface thread: the thread's CPU while
// a video plays with its control bar shown (the bar's 4 Hz timer running) and
// with the bar hidden, and the bar's own work per tick as a share of one core.
// Needs a display (scripts/with-display) and ffmpeg; run it from the build
// folder, where Skins/ is.
#include "BenchSupport.h"
#include "WxBenchSupport.h"

#include "base/DebugLog.h"
#include "skin/SkinBitmaps.h"
#include "store/CatalogueStore.h"
#include "ui/CWMPlayer.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kMeasureMs = 10000;
constexpr int kBarTicks = 2000;

// The share of one core the thread used while the loop ran.
double LoopShare(int milliseconds)
{
    const double cpu = ThreadCpuSeconds();
    RunLoop(milliseconds);
    return (ThreadCpuSeconds() - cpu) / (milliseconds / 1000.0) * 100;
}

bool WriteClientFolder()
{
    std::ofstream("Configure.xml") << "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n<TovixConfig>\n"
                                      "<FileRoot value=\"videos/\" />\n</TovixConfig>\n";
    std::ofstream("ChannelInfo.xml") << "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n<TovixChannel>\n</TovixChannel>\n";
    std::ofstream("FileInfo.xml") << "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n<TovixFile>\n<Channel ID=\"5\">\n"
                                     "<File ID=\"15\" Title=\"T\" Progress=\"100\" Location=\"long.mp4\" />\n"
                                     "</Channel>\n</TovixFile>\n";
    std::filesystem::create_directory("videos");
    return std::system("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi "
                       "-i testsrc=size=640x360:rate=25:duration=60 -c:v libx264 -preset ultrafast "
                       "-pix_fmt yuv420p videos/long.mp4") == 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string skins = std::filesystem::current_path().string() + "/Skins";
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "bench_player needs a display: run it under scripts/with-display\n");
        return 1;
    }
    EnterScratchFolder("bench-player");
    std::filesystem::create_directory_symlink(skins, "Skins");
    LoadSkinBitmaps();
    if (!WriteClientFolder()) {
        std::fprintf(stderr, "cannot make the clip with ffmpeg\n");
        return 1;
    }
    CCatalogueStore store;
    store.Load(nullptr);
    store.DisableExitSave();
    auto *frame = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(640, 480));
    frame->Show();
    auto *host = new CWMPlayer(store);
    host->Create(frame, 5506, wxRect(0, 0, 640, 480));
    host->PlayFile(5, 15);
    RunLoop(3000); // the first start takes a moment
    if (host->VideoPlayer().GetState() != wxMEDIASTATE_PLAYING) {
        std::fprintf(stderr, "the video does not play\n");
        return 1;
    }

    const double withBar = LoopShare(kMeasureMs);
    host->BarTimer().Stop();
    host->Bar().Hide();
    const double withoutBar = LoopShare(kMeasureMs);

    // The bar's own work: one tick reads the position, updates the times and
    // the record; at four ticks a second.
    const double cpu = ThreadCpuSeconds();
    for (int i = 0; i < kBarTicks; ++i)
        host->UpdateBar();
    const double perTick = (ThreadCpuSeconds() - cpu) / kBarTicks;
    const double barShare = perTick * (1000.0 / CWMPlayer::kBarTimerPeriod) * 100;

    std::printf("UI thread while a 640x360 25 fps video plays, %d s each:\n", kMeasureMs / 1000);
    std::printf("  with the bar shown:   %.2f %% of a core\n", withBar);
    std::printf("  with the bar hidden:  %.2f %% of a core\n", withoutBar);
    std::printf("  the bar's tick:       %.1f us, %.3f %% of a core at %d Hz\n", perTick * 1e6, barShare,
                1000 / CWMPlayer::kBarTimerPeriod);
    frame->Destroy();
    wxEntryCleanup();
    return 0;
}
