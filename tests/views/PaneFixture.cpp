#include "views/PaneFixture.h"

#include "base/EngineApi.h"
#include "base/GbkText.h"
#include "skin/SkinBitmaps.h"

#include <wx/image.h>

#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex g_mutex; // the detail pane's torrent worker calls the engine from its thread
std::vector<std::pair<std::string, int>> g_known;
std::vector<std::string> g_calls;

int GetPos(const char *torrent)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    for (size_t i = 0; i < g_known.size(); ++i)
        if (g_known[i].first == torrent)
            return int(i);
    return -1;
}

template <int State> int HasState(int position)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return position >= 0 && size_t(position) < g_known.size() && g_known[size_t(position)].second == State;
}

template <const char *Name> int Record(const char *torrent, const char *video)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_calls.push_back(std::string(Name) + " " + torrent + " " + video);
    return 1;
}

constexpr char kAdd[] = "AddDownload";
constexpr char kDel[] = "DelDownload";

} // namespace

void EngineKnows(const std::string &torrentPath, int state)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_known.emplace_back(torrentPath, state);
}

std::vector<std::string> EngineCalls()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_calls;
}

std::string FileXml(int id, const std::string &titleUtf8, int progress, int kilobytes)
{
    const std::string n = std::to_string(id);
    return "<File ID=\"" + n + "\" Title=\"" + Utf8ToGbk(titleUtf8) + "\" Date=\"2026-12-" + n + "\" Pic=\"p" + n +
           ".png\" Torrent=\"t" + n + ".torrent\" Location=\"v" + n + ".avi\" Desc=\"" +
           Utf8ToGbk("说明 " + titleUtf8) + "\" KBytes=\"" + std::to_string(kilobytes) + "\" Progress=\"" +
           std::to_string(progress) + "\" />\n";
}

void WritePicture(const std::string &path, const wxColour &colour, const wxSize &size)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxInitAllImageHandlers();
    wxImage image(size);
    image.SetRGB(wxRect(size), colour.Red(), colour.Green(), colour.Blue());
    image.SaveFile(path);
}

void PaneTest::SetUp()
{
    // The skin images the build drew, each its own link so a test may take one away.
    const char *build = std::getenv("TOVIX_BINARY_DIR");
    ASSERT_NE(nullptr, build);
    MakeFolder(folder / "Skins");
    for (const char *name : {"Main.bmp", "ItemStatus.bmp", "Sub.bmp", "ItemDefault.jpg"})
        ASSERT_EQ(0, symlink((std::string(build) + "/Skins/" + name).c_str(), (folder / "Skins/" + name).c_str()));
    if (!g_hMainSkin.IsOk())
        LoadSkinBitmaps();
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_known.clear();
        g_calls.clear();
    }
    TEngineApi api = UnboundEngine();
    api.GetPosByTorrent = GetPos;
    api.IsFinished = HasState<1>;
    api.IsDownloading = HasState<2>;
    api.IsPending = HasState<3>;
    api.AddDownload = Record<kAdd>;
    api.DelDownload = Record<kDel>;
    BindEngine(api);
}

void PaneTest::TearDown()
{
    UnbindEngine();
    store.DisableExitSave();
}

void PaneTest::Prepare(const std::string &files, const std::string &channels)
{
    WriteConfigure("<TorrentURL value=\"http://127.0.0.1:1/t/\" />\n");
    WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n" + files + "</TovixFile>\n");
    WriteFile(folder / "ChannelInfo.xml", kDecl + "<TovixChannel>\n" + channels + "</TovixChannel>\n");
    Load();
    ASSERT_TRUE(reports.empty());
}
