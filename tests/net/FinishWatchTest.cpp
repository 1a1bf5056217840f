#include "net/FinishWatch.h"

#include "SyncFixture.h"
#include "base/EngineApi.h"

#include <map>

namespace {

// The engine as the watch sees it: torrent path -> finished or not; unknown otherwise.
std::map<std::string, bool> g_engine;

int PosOf(const char *torrent)
{
    int position = 0;
    for (const auto &known : g_engine) {
        if (known.first == torrent)
            return position;
        ++position;
    }
    return -1;
}

int FinishedAt(int position)
{
    auto it = g_engine.begin();
    std::advance(it, position);
    return it->second ? 1 : 0;
}

class FinishWatchTest : public SyncTest {
protected:
    void SetUp() override
    {
        // Channel 1 (subscribed): files 10 and 11; channel 2 (not subscribed): file 20.
        WriteCatalogue();
        g_engine.clear();
        TEngineApi api = UnboundEngine();
        api.GetPosByTorrent = PosOf;
        api.IsFinished = FinishedAt;
        BindEngine(api);
    }
    void TearDown() override
    {
        UnbindEngine();
        store.DisableExitSave();
    }

    int64_t now = 1000;
    CFinishWatch watch{store, keys, recorder, [this] { return now; }};
};

} // namespace

TEST_F(FinishWatchTest, FinishesDuringTheRunAreReportedInFiveSecondGroups)
{
    g_engine = {{"torrents/t10.torrent", false}, {"torrents/t11.torrent", false}, {"torrents/t20.torrent", false}};
    watch.Poll();

    // 11 finishes, and a second later 10, whose Progress the list refresh has
    // already written as 100; the unsubscribed channel's file is no concern.
    g_engine["torrents/t11.torrent"] = true;
    g_engine["torrents/t20.torrent"] = true;
    watch.Poll();
    now += 1;
    g_engine["torrents/t10.torrent"] = true;
    {
        std::lock_guard<std::recursive_mutex> lock(store.FileLock());
        store.FileDoc().RootElement()->FirstChildElement("Channel")->FirstChildElement("File")->SetAttribute(
            "Progress", 100);
    }
    watch.Poll();
    now += CFinishWatch::kGroupSeconds - 2;
    watch.Poll();
    EXPECT_TRUE(recorder.Calls().empty()) << "reported before the group closed";
    now += 1;
    watch.Poll();
    EXPECT_EQ(std::vector<std::string>{"Finished 2 11001"}, recorder.Calls());

    // Each finish is reported once.
    now += 60;
    watch.Poll();
    watch.Poll();
    EXPECT_EQ(1u, recorder.Calls().size());

    // A channel subscribed after the first look (the login reply may bring the
    // subscriptions late): its file finished during the run, so it is news.
    {
        std::lock_guard<std::recursive_mutex> lock(store.ChannelLock());
        ASSERT_TRUE(CChannelCatalogue(store).SetSubscribe(2, 10001, 1));
    }
    watch.Poll();
    now += CFinishWatch::kGroupSeconds;
    watch.Poll();
    EXPECT_EQ((std::vector<std::string>{"Finished 2 11001", "Finished 1 20002"}), recorder.Calls());
}

TEST_F(FinishWatchTest, AFileFinishedWhenFirstSeenOrWithTheSwitchOffIsNotReported)
{
    // The engine restored 10 finished before its Progress reached the catalogue;
    // 11 is not known to the engine yet, which counts as unfinished.
    g_engine = {{"torrents/t10.torrent", true}};
    watch.Poll();
    now += 60;
    watch.Poll();
    EXPECT_TRUE(recorder.Calls().empty());

    EXPECT_TRUE(CFinishWatch::NotificationsOn(keys));
    ASSERT_TRUE(CFinishWatch::SetNotificationsOn(keys, false));
    std::string stored;
    ASSERT_TRUE(keys.ReadValue(EHive::CurrentUser, "Software\\Tovix", "Notify", stored));
    EXPECT_EQ("0", stored);
    EXPECT_FALSE(CFinishWatch::NotificationsOn(keys));

    g_engine["torrents/t11.torrent"] = true;
    watch.Poll();
    now += CFinishWatch::kGroupSeconds;
    watch.Poll();
    EXPECT_TRUE(recorder.Calls().empty());
    ASSERT_TRUE(CFinishWatch::SetNotificationsOn(keys, true));
    EXPECT_TRUE(CFinishWatch::NotificationsOn(keys));
}
