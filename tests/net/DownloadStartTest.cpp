#include "net/DownloadStart.h"
#include "net/NetFixture.h"
#include "net/TorrentWorker.h"

#include <algorithm>

namespace {

std::string File(int id, const std::string &torrent, const std::string &location, const std::string &progress)
{
    return "<File ID=\"" + std::to_string(id) + "\" Pic=\"\" Torrent=\"" + torrent + "\" Location=\"" + location +
           "\"" + (progress.empty() ? "" : " Progress=\"" + progress + "\"") + " />\n";
}

const std::string kChannels = "<Channel1 ID=\"10001\" Name=\"n\">\n"
                              "<Channel2 ID=\"1\" Name=\"a\" Subscribe=\"1\" />\n"
                              "<Channel2 ID=\"2\" Name=\"b\" Subscribe=\"0\" />\n"
                              "<Channel2 ID=\"3\" Name=\"c\" Subscribe=\"1\" />\n"
                              "</Channel1>\n";

const std::string kFiles = "<Channel ID=\"1\">\n" + File(1, "have.torrent", "have.avi", "50") +
                           File(2, "fetch.torrent", "fetch.avi", "") + File(3, "done.torrent", "done.avi", "100") +
                           File(4, "over.torrent", "over.avi", "150") + File(5, "gone.torrent", "gone.avi", "0") +
                           File(6, "../../evil.torrent", "evil.avi", "0") + File(7, "abs.torrent", "/abs.avi", "0") +
                           "</Channel>\n<Channel ID=\"2\">\n" + File(8, "other.torrent", "other.avi", "0") +
                           "</Channel>\n<Channel ID=\"3\">\n" + File(9, "last.torrent", "last.avi", "99") +
                           "</Channel>\n";

using Downloads = std::vector<std::pair<std::string, std::string>>;

bool Contains(const std::vector<std::string> &lines, const std::string &line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class DownloadStartTest : public NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        Prepare(kFiles, kChannels);
        for (const char *name : {"have", "done", "over", "other", "last", "abs"})
            WriteFile(folder / ("torrents/" + std::string(name) + ".torrent"), "local");
        server.Serve("t/fetch.torrent", "fetched torrent");
    }
};

} // namespace

TEST_F(DownloadStartTest, StartsUnfinishedFilesOfSubscribedChannelsOnly)
{
    EXPECT_EQ(1, CDownloadStart(store, workers).StartSubscribed());
    // Torrents on disk are added at once, before any worker is waited for.
    const Downloads atOnce = RecordedDownloads();
    ASSERT_TRUE(workers.WaitAll());

    const Downloads local = {{"torrents/have.torrent", "videos/have.avi"}, {"torrents/last.torrent", "videos/last.avi"}};
    EXPECT_EQ(local, Downloads(atOnce.begin(), atOnce.begin() + std::min<size_t>(2, atOnce.size())));
    EXPECT_EQ(2u, workers.Started());

    // The missing torrents were fetched first; only the one that came is added.
    Downloads all = RecordedDownloads();
    std::sort(all.begin(), all.end());
    EXPECT_EQ((Downloads{{"torrents/fetch.torrent", "videos/fetch.avi"},
                         {"torrents/have.torrent", "videos/have.avi"},
                         {"torrents/last.torrent", "videos/last.avi"}}),
              all);
    EXPECT_EQ("fetched torrent", ReadFile(folder / "torrents/fetch.torrent"));
    auto requests = server.Requests();
    std::sort(requests.begin(), requests.end());
    EXPECT_EQ((std::vector<std::string>{"t/fetch.torrent", "t/gone.torrent"}), requests);

    // Hostile names are refused before they become a path or an address; the
    // fetch failure's line ends in a line break of its own.
    auto lines = folder.LogLines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ((std::vector<std::string>{"",
                                        "Add download torrents/fetch.torrent",
                                        "AddDownload refused unsafe name [../../evil.torrent]",
                                        "AddDownload refused unsafe name [/abs.avi]",
                                        "Bad Torrent Url " + server.Base() + "t/gone.torrent",
                                        "GetHttpData torrents/gone.torrent error[0][404]"}),
              lines);
}

TEST_F(DownloadStartTest, NoFileCatalogueRootDoesNothing)
{
    store.FileDoc().Clear();
    EXPECT_EQ(0, CDownloadStart(store, workers).StartSubscribed());
    EXPECT_EQ(0u, workers.Started());
    EXPECT_TRUE(RecordedDownloads().empty());
}

TEST_F(DownloadStartTest, TheDownloadButtonLogsItsOwnFailureText)
{
    CDownloadStart start(store, workers);
    start.Start("other.torrent", "other.avi", kButtonFetchFailure);
    start.Start("gone.torrent", "gone.avi", kButtonFetchFailure);
    ASSERT_TRUE(workers.WaitAll());
    EXPECT_EQ((Downloads{{"torrents/other.torrent", "videos/other.avi"}}), RecordedDownloads());
    EXPECT_TRUE(Contains(folder.LogLines(), "GetTorrent, Bad Torrent Url " + server.Base() + "t/gone.torrent"));
}
