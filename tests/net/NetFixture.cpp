#include "net/NetFixture.h"

#include "base/EngineApi.h"

namespace {

std::mutex g_downloadsMutex;
std::vector<std::pair<std::string, std::string>> g_downloads;

int RecordAdd(const char *torrent, const char *save)
{
    std::lock_guard<std::mutex> lock(g_downloadsMutex);
    g_downloads.emplace_back(torrent, save);
    return 1;
}

} // namespace

std::vector<std::pair<std::string, std::string>> RecordedDownloads()
{
    std::lock_guard<std::mutex> lock(g_downloadsMutex);
    return g_downloads;
}

void NetTest::SetUp()
{
    {
        std::lock_guard<std::mutex> lock(g_downloadsMutex);
        g_downloads.clear();
    }
    TEngineApi api = UnboundEngine();
    api.AddDownload = RecordAdd;
    BindEngine(api);
}

void NetTest::TearDown()
{
    EXPECT_TRUE(workers.WaitAll());
    UnbindEngine();
    store.DisableExitSave();
}

void NetTest::Prepare(const std::string &files, const std::string &channels)
{
    const std::string base = server.Base();
    WriteConfigure("<TorrentURL value=\"" + base + "t/\" />\n<PicURL value=\"" + base + "p/\" />\n<ADURL value=\"" +
                   base + "a/\" />\n");
    WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n" + files + "</TovixFile>\n");
    WriteFile(folder / "ChannelInfo.xml", kDecl + "<TovixChannel>\n" + channels + "</TovixChannel>\n");
    Load();
    ASSERT_TRUE(reports.empty());
}
