// The demo service driven by the client's own core: message channel, reply
// handling, fetchers, subscribed-download start and the real engine.
#include "DemoService.h"
#include "EngineBinding.h"
#include "base/EngineApi.h"
#include "base/GbkText.h"
#include "base/KeyStore.h"
#include "net/MainWindowLink.h"
#include "net/ServiceChannel.h"
#include "net/ServiceReports.h"
#include "net/SyncWorkers.h"
#include "store/CatalogueStore.h"
#include "store/ChannelCatalogue.h"
#include "store/XmlNumber.h"
#include "support/TestFolder.h"
#include "support/WaitableWorkers.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The main window as the core sees it: present, and counting what it is told.
class CCountingLink : public CMainWindowLink {
public:
    bool MainWindowExists() override { return true; }
    void PostShowChannel(int) override { ++shows; }
    void PostCommand(int) override {}
    bool IsButtonDisabled(int commandId) override { return commandId == 1000; }
    void SendPictureReady(const std::string &, int) override { ++pictures; }
    std::atomic<int> shows{0};
    std::atomic<int> pictures{0};
};

template <typename Condition> bool WaitFor(Condition condition, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

struct TSubscribedFile {
    std::string torrent;
    std::string video;
    std::string location;
};

} // namespace

TEST(ServiceWithClient, AFreshClientLogsInFetchesAndDownloadsItsSubscribedChannel)
{
    const std::string data = DemoData();
    ASSERT_FALSE(data.empty());
    CDemoService service;
    ASSERT_TRUE(service.Start());
    CTestFolder folder;
    const char *build = std::getenv("TOVIX_BINARY_DIR");
    ASSERT_NE(nullptr, build);
    ASSERT_TRUE(MakeClientFolder(folder.Path(), service.Ports(), std::string(build) + "/Skins"));
    MakeFolder(folder / "EngineState");
    WriteFile(folder / "EngineState/settings.txt", "listen_interfaces = 127.0.0.1:0\n");

    CCatalogueStore store;
    store.Load(nullptr);
    store.DisableExitSave();
    CKeyStore keys(folder / "keys");
    BindTovixSock();
    Engine().InitDownloader();
    CCountingLink link;
    CWaitableWorkers threads;
    CSyncWorkers workers(store, link, threads);
    CServiceChannel channel(store, keys, link, workers);
    channel.Start();
    CServiceReports reports(channel, store, keys);
    reports.SendLoginReport(nullptr);
    reports.SendVersionReport();

    // The login reply brings the channels and the files; the subscribed channel
    // is the service's own mark, so its downloads start with no click.
    ASSERT_TRUE(WaitFor([&] { return store.GetConfigInt(CFG_MAXID) > 0; }, 30s));
    std::vector<TSubscribedFile> subscribed;
    {
        std::lock_guard<std::recursive_mutex> files(store.FileLock());
        std::lock_guard<std::recursive_mutex> channels(store.ChannelLock());
        const std::vector<int> ids = CChannelCatalogue(store).GetSubscribedChannels();
        ASSERT_EQ(std::vector<int>{1}, ids);
        const TiXmlElement *root = store.FileDoc().RootElement();
        const TiXmlElement *files1 = FindChildById(root, "Channel", 1);
        ASSERT_NE(nullptr, files1);
        for (const TiXmlElement *file = files1->FirstChildElement("File"); file; file = file->NextSiblingElement("File"))
            subscribed.push_back({store.GetConfigValue(CFG_TORRENTROOT) + TextAttribute(file, "Torrent"),
                                  store.GetConfigValue(CFG_FILEROOT) + TextAttribute(file, "Location"),
                                  TextAttribute(file, "Location")});
    }
    ASSERT_EQ(5u, subscribed.size());
    const bool finished = WaitFor(
        [&] {
            for (const TSubscribedFile &file : subscribed) {
                const int pos = Engine().GetPosByTorrent(file.torrent.c_str());
                if (pos < 0 || !Engine().IsFinished(pos))
                    return false;
            }
            return true;
        },
        120s);
    EXPECT_TRUE(finished);
    for (const TSubscribedFile &file : subscribed)
        EXPECT_EQ(ReadFile(data + "/videos/" + GbkToUtf8(file.location)), ReadFile(GbkToUtf8(file.video)))
            << file.location;

    // Pictures for every file, and the current advertisement clip but not the expired one.
    EXPECT_TRUE(WaitFor([&] { return link.pictures.load() >= 40; }, 60s));
    EXPECT_TRUE(WaitFor([&] { return Exists(folder / "videos/ADs/ad-news.mp4"); }, 30s));
    EXPECT_FALSE(Exists(folder / "videos/ADs/ad-sport.mp4"));
    EXPECT_GT(link.shows.load(), 0);

    // A catalogue report now finds nothing new; the service saw all three reports.
    reports.SendCatalogueReport();
    const std::string maxId = std::to_string(store.GetConfigInt(CFG_MAXID));
    EXPECT_TRUE(WaitFor([&] { return service.Requests().find("i1ei" + maxId + "e") != std::string::npos; }, 30s));
    const std::string record = service.Requests();
    EXPECT_NE(std::string::npos, record.find("i2ei1e"));
    EXPECT_NE(std::string::npos, record.find("i1ei1ei0ei0e")); // login: Version 1, new installation, MaxID 0, ChannelDate 0

    EXPECT_TRUE(threads.WaitAll(60s));
    channel.Stop();
    Engine().CleanUp();
    UnbindEngine();
}
