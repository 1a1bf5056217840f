#include "net/NetFixture.h"
#include "net/PictureFetcher.h"
#include "net/SyncWorkers.h"
#include "store/XmlNumber.h"

namespace {

std::string PicFile(int id, const std::string &pic)
{
    return "<File ID=\"" + std::to_string(id) + "\" Pic=\"" + pic + "\" Torrent=\"t\" Location=\"l\" />\n";
}

const std::string kFiles = "<Channel ID=\"2\">\n" + PicFile(5, "b.jpg") + PicFile(6, "") + PicFile(7, "a.jpg") +
                           PicFile(8, "../up.jpg") + "</Channel>\n<Channel ID=\"3\">\n" + PicFile(9, "c.jpg") +
                           PicFile(10, "b.jpg") + "</Channel>\n";

class PictureFetcherTest : public NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        Prepare(kFiles, "");
        server.Serve("p/a.jpg", "A");
        server.Serve("p/b.jpg", "B");
        WriteFile(folder / "pics/a.jpg", "on disk");
    }
};

} // namespace

TEST_F(PictureFetcherTest, FetchesOnlyMissingPicturesAndTellsTheFileListOfEach)
{
    CSyncWorkers(store, link, workers).StartPictureFetcher();
    ASSERT_TRUE(workers.WaitAll());

    // a.jpg is on disk, b.jpg is fetched once although two files name it, c.jpg fails.
    EXPECT_EQ((std::vector<std::string>{"p/b.jpg", "p/c.jpg"}), server.Requests());
    EXPECT_EQ("B", ReadFile(folder / "pics/b.jpg"));
    EXPECT_EQ("on disk", ReadFile(folder / "pics/a.jpg"));
    EXPECT_FALSE(Exists(folder / "up.jpg"));
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{{"pics/b.jpg", 5002}}), link.Pictures());
    EXPECT_EQ((std::vector<std::string>{"GetPicture refused unsafe name [../up.jpg]",
                                        "GetHttpData pics/c.jpg error[0][404]"}),
              folder.LogLines());

    // The next pass tries only the picture that failed.
    CPictureFetcher(store, link).Run();
    EXPECT_EQ((std::vector<std::string>{"p/b.jpg", "p/c.jpg", "p/c.jpg"}), server.Requests());
    EXPECT_EQ(1u, link.Pictures().size());
}

TEST_F(PictureFetcherTest, NoMessageOnceTheMainWindowIsGone)
{
    link.exists = false;
    CPictureFetcher(store, link).Run();
    EXPECT_EQ("B", ReadFile(folder / "pics/b.jpg"));
    EXPECT_TRUE(link.Pictures().empty());
}

TEST_F(PictureFetcherTest, AFileRemovedDuringThePassIsNotTouched)
{
    // While b.jpg is being fetched (the lock released), channel 3 loses file 9.
    server.BeforeAnswer("p/b.jpg", [this] {
        std::lock_guard<std::recursive_mutex> lock(store.FileLock());
        TiXmlElement *channel = FindChildById(store.FileDoc().RootElement(), "Channel", 3);
        channel->RemoveChild(FindChildById(channel, "File", 9));
    });
    CPictureFetcher(store, link).Run();
    EXPECT_EQ(std::vector<std::string>{"p/b.jpg"}, server.Requests());
    EXPECT_FALSE(Exists(folder / "pics/c.jpg"));
}
