// tovix-settings-gallery: the settings dialog over a sample channel catalogue
// with Chinese names. Run it from the build folder (where Skins/ is). With
// "--shots DIR" it saves screenshots (ImageMagick's import) of both pages and
// quits; otherwise it stays until closed.
#include "base/GbkText.h"
#include "base/KeyStore.h"
#include "net/SyncRecorder.h"
#include "net/ServiceChannel.h"
#include "net/ServiceReports.h"
#include "net/WorkerThreads.h"
#include "skin/SkinBitmaps.h"
#include "store/CatalogueStore.h"
#include "ui/CSettingDlg.h"
#include "support/WindowShots.h"
#include "ui/MessageBox.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const char kChannels[] = "<Channel1 ID=\"1\" Name=\"电影\">\n"
                         "<Channel2 ID=\"11\" Name=\"动作片\" Subscribe=\"1\" />\n"
                         "<Channel2 ID=\"12\" Name=\"喜剧片\" Subscribe=\"0\" />\n"
                         "<Channel2 ID=\"13\" Name=\"纪录片\" Subscribe=\"0\" />\n"
                         "</Channel1>\n"
                         "<Channel1 ID=\"2\" Name=\"音乐\">\n"
                         "<Channel2 ID=\"21\" Name=\"流行音乐\" Subscribe=\"0\" />\n"
                         "<Channel2 ID=\"22\" Name=\"古典音乐\" Subscribe=\"0\" />\n"
                         "</Channel1>\n"
                         "<Channel1 ID=\"3\" Name=\"体育\">\n"
                         "<Channel2 ID=\"31\" Name=\"足球\" Subscribe=\"1\" />\n"
                         "<Channel2 ID=\"32\" Name=\"篮球\" Subscribe=\"1\" />\n"
                         "</Channel1>\n";

void WriteText(const char *path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

void WriteSampleCatalogue(const std::string &folder)
{
    const std::string decl = "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n";
    WriteText("ChannelInfo.xml", decl + "<TovixChannel>\n" + Utf8ToGbk(kChannels) + "</TovixChannel>\n");
    WriteText("FileInfo.xml", decl + "<TovixFile>\n</TovixFile>\n");
    WriteText("Configure.xml", decl + "<TovixConfig>\n<ThreadNum value=\"5\" />\n<MaxDLSpeed value=\"0\" />\n"
                                      "<MaxULSpeed value=\"200\" />\n<FileRoot value=\"" +
                                   folder + "/videos/\" />\n</TovixConfig>\n");
}

class CPrintingOwner : public ISettingDlgOwner {
public:
    void PostCommand(int commandId) override { std::printf("command %d\n", commandId); }
};

CCatalogueStore g_store;
CWorkerThreads g_threads;
CSyncRecorder g_window;
CPrintingOwner g_owner;

class CGalleryApp : public wxApp {
public:
    bool OnInit() override;

private:
    void SaveShots();

    wxString m_shots;
    wxFrame *m_frame = nullptr;
    CSettingDlg *m_dialog = nullptr;
    std::unique_ptr<CKeyStore> m_keys;
    std::unique_ptr<CServiceChannel> m_channel; // never started: reports stay queued
    std::unique_ptr<CServiceReports> m_reports;
};

bool CGalleryApp::OnInit()
{
    if (argc == 3 && argv[1] == "--shots")
        m_shots = wxFileName::DirName(argv[2]).GetFullPath();
    const std::string folder = EnterGalleryFolder("tovix-settings-gallery");
    if (folder.empty())
        return false;
    wxMkdir("videos");
    wxInitAllImageHandlers();
    WriteSampleCatalogue(folder);
    g_store.Load(nullptr);
    LoadSkinBitmaps();
    SetMessageBoxHandler([](wxWindow *, const wxString &text) { std::printf("%s\n", text.utf8_str().data()); });
    m_keys = std::make_unique<CKeyStore>(folder + "/keys");
    m_channel = std::make_unique<CServiceChannel>(g_store, *m_keys, g_window, g_window);
    m_reports = std::make_unique<CServiceReports>(*m_channel, g_store, *m_keys);

    m_frame = new wxFrame(nullptr, wxID_ANY, "Tovix", wxPoint(20, 20));
    m_frame->SetClientSize(700, 560);
    m_frame->Show();
    m_dialog = CSettingDlg::Open(m_frame, g_hSubSkin, g_store, *m_keys, *m_reports, g_threads, g_owner);
    if (!m_shots.empty())
        CallAfter([this] { SaveShots(); });
    return true;
}

void CGalleryApp::SaveShots()
{
    SettleWindows(30);
    SaveWindowShot(m_dialog, m_shots, "settings-subscriptions");
    wxCommandEvent tab(wxEVT_BUTTON, IDC_BTN_TAB2);
    m_dialog->ProcessWindowEvent(tab);
    SettleWindows(15);
    SaveWindowShot(m_dialog, m_shots, "settings-general");
    m_frame->Destroy();
}

} // namespace

wxIMPLEMENT_APP(CGalleryApp);
