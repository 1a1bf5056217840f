#include "base/EngineApi.h"
#include "store/CatalogueFixture.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"

#include <sys/inotify.h>
#include <unistd.h>

namespace {

std::string FileXml(int id, const std::string &name, int progress = -1)
{
    return "<File ID=\"" + std::to_string(id) + "\" Title=\"T" + std::to_string(id) + "\" Pic=\"" + name +
           ".jpg\" Date=\"2026-12-01\" Progress=\"" + std::to_string(progress) + "\" Torrent=\"" + name +
           ".torrent\" Location=\"" + name + ".avi\" Desc=\"d\" KBytes=\"100\" />\n";
}

// Puts the three local files of an entry on disk.
void MakeEntryFiles(const CTestFolder &folder, const std::string &name)
{
    WriteFile(folder / ("videos/" + name + ".avi"), "v");
    WriteFile(folder / ("torrents/" + name + ".torrent"), "t");
    WriteFile(folder / ("pics/" + name + ".jpg"), "p");
}

bool EntryFilesExist(const CTestFolder &folder, const std::string &name)
{
    return Exists(folder / ("videos/" + name + ".avi")) || Exists(folder / ("torrents/" + name + ".torrent")) ||
           Exists(folder / ("pics/" + name + ".jpg"));
}

std::vector<int> FileIds(TiXmlDocument &doc, int nthChannel)
{
    std::vector<int> ids;
    TiXmlElement *channel = doc.RootElement()->FirstChildElement("Channel");
    while (nthChannel-- > 0)
        channel = channel->NextSiblingElement("Channel");
    for (TiXmlElement *file = channel->FirstChildElement("File"); file; file = file->NextSiblingElement("File"))
        ids.push_back(IdOf(file));
    return ids;
}

// Counts the times a file is replaced by a rename in a folder (each atomic save is one).
class CSaveCounter {
public:
    explicit CSaveCounter(const std::string &folder) : m_fd(inotify_init1(IN_NONBLOCK))
    {
        inotify_add_watch(m_fd, folder.c_str(), IN_MOVED_TO);
    }
    ~CSaveCounter() { close(m_fd); }
    int Count(const std::string &name)
    {
        alignas(inotify_event) char buffer[8192];
        ssize_t length;
        while ((length = read(m_fd, buffer, sizeof buffer)) > 0)
            for (char *p = buffer; p < buffer + length;) {
                auto *event = reinterpret_cast<inotify_event *>(p);
                if (event->len && name == event->name)
                    ++m_count;
                p += sizeof(inotify_event) + event->len;
            }
        return m_count;
    }

private:
    int m_fd;
    int m_count = 0;
};

struct TEngineCall {
    std::string torrent;
    std::string save;
    bool catalogueSaved;
    bool videoPresent;
};
std::vector<TEngineCall> g_delCalls;
int RecordDel(const char *torrent, const char *save)
{
    g_delCalls.push_back({torrent, save, ReadFile("FileInfo.xml").find("ID=\"3\" Title") == std::string::npos,
                          Exists(save)});
    return 1;
}

class FileCatalogueTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        g_delCalls.clear();
        TEngineApi api = UnboundEngine();
        api.DelDownload = RecordDel;
        BindEngine(api);
        WriteFile(folder / "ChannelInfo.xml", kDecl + "<TovixChannel>\n<Channel1 ID=\"10001\">\n"
                                                      "<Channel2 ID=\"1\" Subscribe=\"1\" PreserveNum=\"3\" />\n"
                                                      "<Channel2 ID=\"2\" Subscribe=\"0\" PreserveNum=\"0\" />\n"
                                                      "<Channel2 ID=\"3\" Subscribe=\"0\" PreserveNum=\"1\" />\n"
                                                      "</Channel1>\n</TovixChannel>\n");
        WriteConfigure();
    }
    void TearDown() override { UnbindEngine(); }

    void WriteFiles(const std::string &channels)
    {
        WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n" + channels + "</TovixFile>\n");
        Load();
        store.DisableExitSave();
    }

    CFileCatalogue files{store};
};

} // namespace

TEST_F(FileCatalogueTest, PrunesOldestFilesBeyondPreserveNumWithTheirFiles)
{
    std::string channel = "<Channel ID=\"1\">\n";
    for (int id : {7, 3, 9, 1, 5}) {
        channel += FileXml(id, "f" + std::to_string(id), 100);
        MakeEntryFiles(folder, "f" + std::to_string(id));
    }
    WriteFiles(channel + "</Channel>\n<Channel ID=\"2\">\n" + FileXml(1, "keep2a") + FileXml(2, "keep2b") +
               "</Channel>\n<Channel ID=\"77\">\n" + FileXml(1, "unknownA") + FileXml(2, "unknownB") +
               "</Channel>\n");
    MakeEntryFiles(folder, "keep2a");
    MakeEntryFiles(folder, "unknownA");

    CSaveCounter saves(folder.Path());
    files.CheckFileList();
    EXPECT_EQ(1, saves.Count("FileInfo.xml"));

    EXPECT_EQ((std::vector<int>{7, 9, 5}), FileIds(store.FileDoc(), 0));
    EXPECT_EQ((std::vector<int>{1, 2}), FileIds(store.FileDoc(), 1)); // PreserveNum 0 keeps all
    EXPECT_EQ((std::vector<int>{1, 2}), FileIds(store.FileDoc(), 2)); // not in the channel catalogue
    EXPECT_FALSE(EntryFilesExist(folder, "f1"));
    EXPECT_FALSE(EntryFilesExist(folder, "f3"));
    for (const char *kept : {"f7", "f9", "f5", "keep2a", "unknownA"})
        EXPECT_TRUE(Exists(folder / (std::string("videos/") + kept + ".avi"))) << kept;
    // Each removed download was taken from the engine first.
    ASSERT_EQ(2u, g_delCalls.size());
    EXPECT_EQ("torrents/f1.torrent", g_delCalls[0].torrent);
    EXPECT_EQ("videos/f3.avi", g_delCalls[1].save);
    EXPECT_TRUE(folder.LogLines().empty());
}

TEST_F(FileCatalogueTest, DuplicateIdsLoseTheirLastOccurrenceFirst)
{
    // Channel 3 keeps 1: IDs 4, 2, 4 sorted give 2, 4, 4; 2 and one 4 go, the last 4 first.
    WriteFiles("<Channel ID=\"3\">\n" + FileXml(4, "first4") + FileXml(2, "two") + FileXml(4, "last4") +
               "</Channel>\n<Channel ID=\"3\">\n" + FileXml(8, "a") + FileXml(9, "b") + "</Channel>\n");
    files.CheckFileList();
    const TiXmlElement *kept = store.FileDoc().RootElement()->FirstChildElement("Channel")->FirstChildElement("File");
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ("first4.avi", TextAttribute(kept, "Location"));
    EXPECT_EQ(nullptr, kept->NextSiblingElement("File"));
    // Both channels with ID 3 are pruned separately.
    EXPECT_EQ(std::vector<int>{9}, FileIds(store.FileDoc(), 1));
    // Missing files on disk are logged with their cause and the run goes on.
    const auto lines = folder.LogLines();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "CheckFileList del file videos/last4.avi error[2]"));
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "CheckFileList del torrent torrents/two.torrent error[2]"));
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "CheckFileList del pic pics/a.jpg error[2]"));
}

TEST_F(FileCatalogueTest, DelFileInfoSavesFirstThenDeletesAndLogsMissingVideo)
{
    WriteFiles("<Channel ID=\"2\">\n" + FileXml(3, "three") + FileXml(4, "four") + "</Channel>\n<Channel ID=\"2\">\n" +
               FileXml(5, "five") + "</Channel>\n");
    WriteFile(folder / "torrents/three.torrent", "t");
    WriteFile(folder / "pics/three.jpg", "p");

    EXPECT_EQ(0, files.DelFileInfo(2, 5)); // only the first channel 2 is searched
    EXPECT_EQ(0, files.DelFileInfo(9, 3));
    EXPECT_EQ(1, files.DelFileInfo(2, 3));
    EXPECT_EQ((std::vector<int>{4}), FileIds(store.FileDoc(), 0));
    EXPECT_FALSE(Exists(folder / "torrents/three.torrent"));
    EXPECT_FALSE(Exists(folder / "pics/three.jpg"));
    EXPECT_EQ((std::vector<std::string>{"DelFileInfo del file videos/three.avi error[2]"}), folder.LogLines());
    ASSERT_EQ(1u, g_delCalls.size());
    EXPECT_TRUE(g_delCalls[0].catalogueSaved);
}

TEST_F(FileCatalogueTest, DeletingAFolderNamedLikeTheVideoLogsAccessDenied)
{
    WriteFiles("<Channel ID=\"2\">\n" + FileXml(3, "three") + "</Channel>\n");
    MakeFolder(folder / "videos/three.avi");
    WriteFile(folder / "videos/three.avi/inside", "x");
    EXPECT_EQ(1, files.DelFileInfo(2, 3));
    EXPECT_TRUE(Exists(folder / "videos/three.avi/inside"));
    EXPECT_EQ("DelFileInfo del file videos/three.avi error[5]", folder.LogLines().front());
}

TEST_F(FileCatalogueTest, HostileNamesNeverReachOutsideTheRoots)
{
    MakeFolder(folder / "outside");
    WriteFile(folder / "outside/victim.avi", "precious");
    WriteFile(folder / "victim.torrent", "precious");
    const std::string absolute = folder / "outside/victim.avi";
    WriteFiles("<Channel ID=\"2\">\n"
               "<File ID=\"1\" Progress=\"-1\" KBytes=\"1\" Location=\"../outside/victim.avi\" Torrent=\"..\\victim.torrent\" Pic=\"\" />\n"
               "<File ID=\"2\" Progress=\"-1\" KBytes=\"1\" Location=\"" + absolute + "\" Torrent=\"..\" Pic=\".\" />\n"
               "</Channel>\n<Channel ID=\"3\">\n" + FileXml(1, "../../outside/victim") + FileXml(2, "ok") + "</Channel>\n");
    EXPECT_EQ(1, files.DelFileInfo(2, 1));
    EXPECT_EQ(1, files.DelFileInfo(2, 2));
    files.CheckFileList(); // channel 3 keeps 1: the hostile entry 1 goes
    EXPECT_EQ("precious", ReadFile(folder / "outside/victim.avi"));
    EXPECT_EQ("precious", ReadFile(folder / "victim.torrent"));
    EXPECT_TRUE(FileIds(store.FileDoc(), 0).empty());
    EXPECT_EQ(std::vector<int>{2}, FileIds(store.FileDoc(), 1));
    EXPECT_TRUE(g_delCalls.empty());
    const auto lines = folder.LogLines();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "DelFileInfo refused unsafe name [../outside/victim.avi]"));
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "CheckFileList refused unsafe name [../../outside/victim.avi]"));
}

TEST_F(FileCatalogueTest, OverlongPathsAreRefusedNotOverrun)
{
    const std::string longName(300, 'n');
    WriteFiles("<Channel ID=\"2\">\n" + FileXml(1, longName) + "</Channel>\n");
    EXPECT_EQ(1, files.DelFileInfo(2, 1));
    const auto lines = folder.LogLines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(0u, lines[0].find("DelFileInfo refused path videos/nnn"));
}

TEST_F(FileCatalogueTest, GetFileFieldsCopiesTheAskedAttributes)
{
    WriteFiles("<Channel ID=\"2\">\n" + FileXml(3, "three", 42) + "<File ID=\"4\" Progress=\"0\" KBytes=\"1\" />\n</Channel>\n");
    TFileFields fields;
    ASSERT_EQ(1, files.GetFileFields(3, 2, &fields));
    EXPECT_EQ("T3", fields.title);
    EXPECT_EQ("three.avi", fields.location);
    EXPECT_EQ("three.jpg", fields.pic);
    EXPECT_EQ("three.torrent", fields.torrent);
    EXPECT_EQ("d", fields.desc);
    EXPECT_EQ("42", fields.progress);
    ASSERT_EQ(1, files.GetFileFields(4, 2, &fields));
    EXPECT_EQ("", fields.title);
    EXPECT_EQ(1, files.GetFileFields(4, 2, nullptr));
    EXPECT_EQ(0, files.GetFileFields(5, 2, &fields));
    EXPECT_EQ(0, files.GetFileFields(3, 1, &fields));
}
