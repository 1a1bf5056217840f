// Building the file list of one channel of 5,000 files and painting its first
// screen, against the time TinyXML takes to parse the same catalogue. Needs a
// display (scripts/with-display); run it from the build folder, where Skins/ is.
#include "BenchSupport.h"

#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "store/CatalogueStore.h"
#include "views/CFileList.h"
#include "views/PictureFile.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <tinyxml.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 5000;
constexpr int kRuns = 5;

class CBenchOwner : public IFileListOwner {
public:
    int SelectedChannelKey() override { return 0; }
    void DownloadShownFile() override {}
    void StopShownFile() override {}
};

// The engine knows none of the torrents: every file is asked about.
int UnknownTorrent(const char *) { return -1; }

// The median of kRuns timings of body, in milliseconds; before runs untimed ahead of each.
double MedianMs(const std::function<void()> &body, const std::function<void()> &before = nullptr)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        if (before)
            before();
        const auto start = std::chrono::steady_clock::now();
        body();
        times.push_back(SecondsSince(start) * 1000);
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

void PaintFirstScreen(CSimpleTree &tree)
{
    wxBitmap bitmap(tree.GetClientSize(), 24);
    wxMemoryDC dc(bitmap);
    tree.Render(dc);
}

void Measure(CCatalogueStore &store, const char *pictures)
{
    CBenchOwner owner;
    wxFrame *frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0), wxSize(400, 700));
    CFileList *list = new CFileList(store, owner);
    list->Create(frame, 5503, wxPoint(0, 0), wxSize(227, 600));
    CSimpleTree &tree = list->Tree();
    tree.SetSize(223, 480); // nine rows

    const auto show = [&] { list->ShowChannel(1); };
    const auto paint = [&] { PaintFirstScreen(tree); };
    const double build = MedianMs(show);
    const double firstPaint = MedianMs(paint, show);
    const double repaint = MedianMs(paint);
    std::printf("  thumbnails %s: build %.1f ms (%d entries), first screen painted %.2f ms, again %.2f ms\n",
                pictures, build, tree.GetCount(), firstPaint, repaint);
    frame->Destroy();
    wxTheApp->ProcessIdle();
}

} // namespace

int main(int argc, char **argv)
{
    const std::string skins = std::filesystem::current_path().string() + "/Skins";
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "bench_views needs a display: run it under scripts/with-display\n");
        return 1;
    }
    const std::string folder = EnterScratchFolder("tovix-bench-views");
    CDebugLog::Instance().Reopen(folder + "/skininfo.txt");
    if (symlink(skins.c_str(), "Skins") != 0)
        return 1;
    LoadSkinBitmaps(); // also brings the image handlers
    TEngineApi api = UnboundEngine();
    api.GetPosByTorrent = UnknownTorrent;
    BindEngine(api);

    TGeneratedCatalogue shape;
    shape.channels = 1;
    shape.filesPerChannel = kFiles;
    WriteCatalogue(shape);
    std::printf("one channel of %d files (FileInfo.xml %.2f MB), median of %d runs\n", kFiles,
                std::filesystem::file_size("FileInfo.xml") / 1e6, kRuns);

    const double parse = MedianMs([] {
        TiXmlDocument document;
        document.LoadFile("FileInfo.xml", TIXML_DEFAULT_ENCODING);
    });
    std::printf("  TinyXML parse of FileInfo.xml: %.1f ms\n", parse);

    CCatalogueStore store;
    store.Load(nullptr);
    Measure(store, "missing (the default for all)");

    // Every file's thumbnail on disk (links to one JPEG, as the picture fetcher would leave them).
    if (!wxImage(194, 144).SaveFile("pics/p1.jpg", wxBITMAP_TYPE_JPEG))
        return 1;
    for (int id = 2; id <= kFiles; ++id)
        if (link("pics/p1.jpg", ("pics/p" + std::to_string(id) + ".jpg").c_str()) != 0)
            return 1;
    Measure(store, "on disk");

    // What decoding every thumbnail while building would cost instead of the shown rows only.
    wxBitmap picture;
    const auto start = std::chrono::steady_clock::now();
    for (int id = 1; id <= kFiles; ++id)
        LoadPictureFile("pics/p" + std::to_string(id) + ".jpg", wxSize(50, 38), &picture);
    std::printf("  decoding all %d thumbnails (not done: only shown rows are decoded): %.0f ms\n", kFiles,
                SecondsSince(start) * 1000);

    store.DisableExitSave();
    UnbindEngine();
    std::filesystem::remove_all(folder);
    wxEntryCleanup();
    return 0;
}
