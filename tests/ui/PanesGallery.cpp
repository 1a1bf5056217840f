// tovix-panes-gallery: the file list pane and the file detail pane filled from
// a sample catalogue with Chinese titles, inside the stand-in channel page.
// Run it from the build folder (where Skins/ is). With "--shots DIR" it saves
// screenshots (ImageMagick's import) of the list, the detail pane, both, and
// the list scrolled, then quits; otherwise it stays until closed.
#include "base/EngineApi.h"
#include "base/GbkText.h"
#include "net/WorkerThreads.h"
#include "skin/SkinBitmaps.h"
#include "store/CatalogueStore.h"
#include "ui/MessageBox.h"
#include "ui/TestChannelPage.h"
#include "support/WindowShots.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TSample {
    int id;
    const char *title;
    const char *date;
    int progress;
    int kilobytes;
    int engineState; // -1 unknown to the engine, else 0..3
    bool picture;
};

const TSample kSamples[] = {
    {108, "长城的故事 第一集：烽火台", "2026-12-08", -1, 356000, -1, true},
    {107, "舌尖上的家乡菜（特别版）", "2026-12-07", 65, 1536, 2, true},
    {106, "黄山云海延时摄影", "2026-12-06", 0, 999, 3, false},
    {105, "科学探索：海洋深处的秘密", "2026-12-05", 100, 1200000, 1, true},
    {104, "城市夜景 4K 航拍", "2026-12-04", 30, 87000, 2, true},
    {103, "新年音乐会精选", "2026-12-03", 100, 512000, -1, false},
    {102, "乡村纪事 第三集", "2026-12-02", -1, 45210, -1, true},
};

const char *kDescription =
    "本片讲述了长城沿线的烽火台如何在千百年间传递消息。摄制组走访了河北、山西、陕西三省的二十多处遗址，"
    "用航拍与延时摄影记录下四季变化中的古老城墙。片中还采访了当地的守护者与历史学者，讲述那些不为人知的故事。";

// The engine as the sample shows it: each sample's torrent in the state it names.
int g_states[200];

int GetPos(const char *torrent)
{
    int id = 0;
    if (std::sscanf(torrent, "torrents/t%d.torrent", &id) == 1 && id >= 0 && id < 200 && g_states[id] >= 0)
        return id;
    return -1;
}
int IsFinished(int pos) { return g_states[pos] == 1; }
int IsDownloading(int pos) { return g_states[pos] == 2; }
int IsPending(int pos) { return g_states[pos] == 3; }
int Record(const char *, const char *) { return 1; }

void WritePicture(int id)
{
    // A sky-to-field picture with a sun, its colours turned per file.
    wxImage image(320, 240);
    const int hue = id * 47 % 360;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const bool sky = y < 150 - (x * (id % 3)) / 12;
            wxImage::HSVValue hsv(sky ? hue / 360.0 : ((hue + 120) % 360) / 360.0, sky ? 0.45 : 0.6,
                                  sky ? 0.95 - y / 600.0 : 0.55 + (y - 150) / 500.0);
            const wxImage::RGBValue rgb = wxImage::HSVtoRGB(hsv);
            image.SetRGB(x, y, rgb.red, rgb.green, rgb.blue);
        }
    for (int y = 20; y < 80; ++y)
        for (int x = 220; x < 280; ++x)
            if ((x - 250) * (x - 250) + (y - 50) * (y - 50) < 600)
                image.SetRGB(x, y, 255, 230, 120);
    image.SaveFile(wxString::Format("pics/p%d.jpg", id), wxBITMAP_TYPE_JPEG);
}

void WriteSampleCatalogue()
{
    const char *decl = "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n";
    std::string files = std::string(decl) + "<TovixFile>\n<Channel ID=\"1\">\n";
    for (const TSample &s : kSamples) {
        const std::string n = std::to_string(s.id);
        files += "<File ID=\"" + n + "\" Title=\"" + Utf8ToGbk(s.title) + "\" Date=\"" + s.date + "\" Pic=\"p" + n +
                 ".jpg\" Torrent=\"t" + n + ".torrent\" Location=\"v" + n + ".avi\" Desc=\"" +
                 Utf8ToGbk(kDescription) + "\" KBytes=\"" + std::to_string(s.kilobytes) + "\" Progress=\"" +
                 std::to_string(s.progress) + "\" />\n";
        g_states[s.id] = s.engineState;
        if (s.picture)
            WritePicture(s.id);
    }
    files += "</Channel>\n</TovixFile>\n";
    const std::string channels = std::string(decl) + "<TovixChannel>\n<Channel1 ID=\"10001\" Name=\"" +
                                 Utf8ToGbk("纪录片") + "\">\n<Channel2 ID=\"1\" Name=\"" + Utf8ToGbk("人文地理") +
                                 "\" Subscribe=\"0\" PreserveNum=\"20\" />\n</Channel1>\n</TovixChannel>\n";
    const std::string config = std::string(decl) +
                               "<TovixConfig>\n<FileRoot value=\"videos/\" />\n<TorrentRoot value=\"torrents/\" />\n"
                               "<PicRoot value=\"pics/\" />\n</TovixConfig>\n";
    for (const auto &[name, text] : {std::pair<const char *, const std::string &>{"FileInfo.xml", files},
                                     {"ChannelInfo.xml", channels},
                                     {"Configure.xml", config}}) {
        FILE *out = std::fopen(name, "wb");
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
    }
}

// The gallery's process-wide objects, as the program has them.
CCatalogueStore g_store;
CWorkerThreads g_threads;

class CGalleryApp : public wxApp {
public:
    bool OnInit() override;

private:
    void SaveShots();

    wxString m_shots;
    wxFrame *m_frame = nullptr;
    CTestChannelPage *m_page = nullptr;
};

bool CGalleryApp::OnInit()
{
    if (argc == 3 && argv[1] == "--shots")
        m_shots = wxFileName::DirName(argv[2]).GetFullPath();
    if (EnterGalleryFolder("tovix-panes-gallery").empty())
        return false;
    for (const char *sub : {"videos", "torrents", "pics"})
        wxMkdir(sub);
    wxInitAllImageHandlers();
    std::fill(std::begin(g_states), std::end(g_states), -1);
    WriteSampleCatalogue();
    g_store.Load(nullptr);
    LoadSkinBitmaps();
    TEngineApi api = UnboundEngine();
    api.GetPosByTorrent = GetPos;
    api.IsFinished = IsFinished;
    api.IsDownloading = IsDownloading;
    api.IsPending = IsPending;
    api.AddDownload = Record;
    api.DelDownload = Record;
    BindEngine(api);
    SetMessageBoxHandler([](wxWindow *, const wxString &text) { std::printf("%s\n", text.utf8_str().data()); });

    m_frame = new wxFrame(nullptr, wxID_ANY, "Tovix panes", wxPoint(20, 20));
    m_frame->SetClientSize(780, 520);
    m_page = new CTestChannelPage(m_frame, m_frame->GetClientSize(), g_store, g_threads);
    m_page->SetBackgroundColour(wxColour(196, 222, 237));
    m_frame->Show();
    SendWindowMessage(&m_page->FileList(), WM_SHOW_CHANNEL, 0, 1);
    // Show the second file, which is downloading, with the first one's row still in view.
    m_page->FileList().Tree().LeftButtonDown(wxPoint(10, 60));
    if (!m_shots.empty())
        CallAfter([this] { SaveShots(); });
    return true;
}

void CGalleryApp::SaveShots()
{
    SettleWindows(30); // the window manager places and paints the frame
    const auto shoot = [this](wxWindow *window, const char *name) { SaveWindowShot(window, m_shots, name); };
    shoot(&m_page->FileList(), "file-list");
    shoot(&m_page->FileInfo(), "file-detail");
    shoot(m_page, "channel-page");

    // A shorter list scrolled down one row, its scroll bar showing.
    m_page->FileList().SetSize(227, 380);
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelRotation = -120;
    m_page->FileList().Tree().ProcessWindowEvent(wheel);
    SettleWindows(10);
    shoot(&m_page->FileList(), "file-list-scrolled");
    m_frame->Destroy();
}

} // namespace

wxIMPLEMENT_APP(CGalleryApp);
