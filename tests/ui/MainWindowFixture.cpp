#include "MainWindowFixture.h"

#include "EngineBinding.h"
#include "base/EngineApi.h"
#include "skin/SkinBitmaps.h"
#include "store/XmlNumber.h"
#include "support/WxTestSupport.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>

#include <cstdlib>
#include <thread>

bool PumpFor(const std::function<bool()> &condition, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        PumpEvents();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::vector<int> ProgressOnDisk(int channel)
{
    std::vector<int> progress;
    TiXmlDocument document;
    if (!document.LoadFile(CCatalogueStore::kFileInfo))
        return progress;
    const TiXmlElement *found = FindChildById(document.RootElement(), "Channel", channel);
    for (const TiXmlElement *file = found ? found->FirstChildElement("File") : nullptr; file;
         file = file->NextSiblingElement("File"))
        progress.push_back(IntAttribute(file, "Progress"));
    return progress;
}

void MainWindowTest::SetUp()
{
    ASSERT_TRUE(m_service.Start()) << "the demo service did not start";
    ASSERT_TRUE(MakeClientFolder(m_folder.Path(), m_service.Ports(), BinaryDir() + "/Skins"));
    EditConfiguration();
    // The engine listens on loopback only, on any free port.
    MakeFolder(m_folder / "EngineState");
    WriteFile(m_folder / "EngineState/settings.txt", "listen_interfaces = 127.0.0.1:0\n");
    m_keys = std::make_unique<CKeyStore>(m_folder / "keys");
    m_store.Load([](const std::string &) {});
    LoadSkinBitmaps();
    BindTovixSock();
    ASSERT_EQ(1, Engine().InitDownloader());
    m_engineStarted = true;

    m_workers = std::make_unique<CSyncWorkers>(m_store, m_link, m_threads);
    m_channel = std::make_unique<CServiceChannel>(m_store, *m_keys, m_link, *m_workers);
    m_reports = std::make_unique<CServiceReports>(*m_channel, m_store, *m_keys);
    m_channel->Start();
    m_reports->SendLoginReport(nullptr);

    m_window = new CMainDlg(TMainContext{m_store, *m_keys, m_threads, *m_reports, m_link, m_engineHandle});
    ASSERT_TRUE(m_window->Create());
    m_window->Show();
    WaitUntilPlaced(m_window);
}

// With TOVIX_SHOT_DIR set, each test leaves a picture of the window as it ended.
void SaveScreenshot(wxWindow *window)
{
    const char *folder = std::getenv("TOVIX_SHOT_DIR");
    if (!folder || !window->IsShown())
        return;
    window->Raise();
    PumpFor([] { return false; }, std::chrono::milliseconds(700));
    const wxRect rect = window->GetScreenRect();
    wxBitmap shot(rect.GetSize(), 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    shot.SaveFile(wxString(folder) + "/" + name + ".png", wxBITMAP_TYPE_PNG);
}

void MainWindowTest::TearDown()
{
    if (m_window)
        SaveScreenshot(m_window);
    if (m_window) {
        m_window->Destroy();
        PumpEvents();
    }
    if (m_channel)
        m_channel->Stop();
    EXPECT_TRUE(m_threads.WaitAll(std::chrono::seconds(20)));
    if (m_engineStarted)
        Engine().CleanUp();
    UnbindEngine();
    m_store.DisableExitSave();
    m_service.Stop();
}

bool MainWindowTest::WaitForCatalogue()
{
    return PumpFor(
        [this] {
            HTREEITEM root = m_window->Tree().GetRootItem();
            return root && m_window->Tree().ItemHasChildren(root) &&
                   m_window->ChannelInfo().FileList().Tree().GetCount() > 0;
        },
        std::chrono::seconds(20));
}
