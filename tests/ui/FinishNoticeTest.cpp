// Desktop notices of finished downloads, on a private session bus with a
// stand-in notification server, the demo service and the real engine.
#include "MainWindowFixture.h"

#include "base/EngineApi.h"
#include "net/FinishWatch.h"
#include "store/ChannelCatalogue.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"
#include "views/ViewPaint.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr int kSubscribedChannel = 1; // the demo service marks it subscribed

pid_t StartChild(const std::vector<std::string> &argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char *> args;
        for (const std::string &arg : argv)
            args.push_back(const_cast<char *>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

void StopChild(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

struct TNotice {
    std::string id, app, summary, body, actions;
};

class FinishNoticeTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        // The bus comes first: the process's first use of the session bus fixes its address.
        // A bus of our own that starts no services (no accessibility bus either).
        WriteFile(m_folder / "bus.conf",
                  "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                  " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig><type>session</type><listen>unix:path=" + m_folder / "bus" + "</listen>\n"
                  "<auth>EXTERNAL</auth>\n<policy context=\"default\"><allow send_destination=\"*\" "
                  "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>\n"
                  "</busconfig>\n");
        m_bus = StartChild(
            {"/usr/bin/dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + m_folder / "bus.conf"});
        ASSERT_TRUE(PumpFor([this] { return Exists(m_folder / "bus"); }, 20s));
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + m_folder / "bus").c_str(), 1);
        m_log = m_folder / "notices.txt";
        m_server = StartChild({"/usr/bin/python3", std::string(std::getenv("TOVIX_SOURCE_DIR")) +
                                                       "/tests/ui/notification-server.py",
                               m_log});
        ASSERT_TRUE(PumpFor([this] { return Exists(m_log + ".ready"); }, 20s));
        MainWindowTest::SetUp();
        // Out of view from the start: every finish of this run deserves a notice.
        Window().Hide();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        StopChild(m_server);
        StopChild(m_bus);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    std::vector<TNotice> Notices() const
    {
        std::vector<TNotice> notices;
        std::ifstream in(m_log);
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            TNotice notice;
            std::getline(fields, notice.id, '\t');
            std::getline(fields, notice.app, '\t');
            std::getline(fields, notice.summary, '\t');
            std::getline(fields, notice.body, '\t');
            std::getline(fields, notice.actions, '\t');
            notices.push_back(notice);
        }
        return notices;
    }

    // Every file of the subscribed channel is finished in the engine.
    bool EngineFinishedAll()
    {
        const std::string root = m_store.GetConfigValue(CFG_TORRENTROOT);
        std::vector<std::string> torrents;
        {
            std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
            const TiXmlElement *channel = FindChildById(m_store.FileDoc().RootElement(), "Channel", kSubscribedChannel);
            for (const TiXmlElement *file = channel ? channel->FirstChildElement("File") : nullptr; file;
                 file = file->NextSiblingElement("File"))
                torrents.push_back(root + TextAttribute(file, "Torrent"));
        }
        return !torrents.empty() && std::all_of(torrents.begin(), torrents.end(), [](const std::string &torrent) {
            const int position = Engine().GetPosByTorrent(torrent.c_str());
            return position >= 0 && Engine().IsFinished(position);
        });
    }

    pid_t m_bus = -1;
    pid_t m_server = -1;
    std::string m_log;
};

class FinishNoticeOffTest : public FinishNoticeTest {
protected:
    void EditConfiguration() override
    {
        CKeyStore keys(m_folder / "keys");
        ASSERT_TRUE(CFinishWatch::SetNotificationsOn(keys, false));
    }
};

} // namespace

TEST_F(FinishNoticeTest, FinishedVideosAreToldAndTheActionShowsTheFirst)
{
    ASSERT_TRUE(PumpFor([this] { return !Notices().empty(); }, 120s)) << "no notice arrived";
    const TNotice notice = Notices().front();
    const int entry = Window().FinishNotice().Entry();
    EXPECT_EQ(kSubscribedChannel, entry % 1000);
    EXPECT_EQ("Tovix", notice.summary);
    TFileFields fields;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        ASSERT_EQ(1, CFileCatalogue(m_store).GetFileFields(entry / 1000, entry % 1000, &fields));
    }
    const std::string one = "《" + std::string(ScreenText(fields.title).utf8_str()) + "》下载完成";
    const bool several = notice.body.size() > 3 && notice.body.find(" 个节目下载完成") != std::string::npos &&
                         std::atoi(notice.body.c_str()) >= 2;
    EXPECT_TRUE(notice.body == one || several) << notice.body;
    // One action, "显示"; the stand-in invokes it as a click on it would.
    const size_t label = notice.actions.find("=显示");
    ASSERT_NE(std::string::npos, label) << notice.actions;
    EXPECT_EQ(std::string::npos, notice.actions.find(';')) << notice.actions;
    const std::string key = notice.actions.substr(0, label);
    const std::string invoke = "gdbus call --session --dest org.freedesktop.Notifications --object-path "
                               "/org/freedesktop/Notifications --method org.tovix.StandIn.Invoke " +
                               notice.id + " \"'" + key + "'\" > /dev/null";
    ASSERT_EQ(0, std::system(invoke.c_str()));

    CSimpleTree &list = Window().ChannelInfo().FileList().Tree();
    auto selectedEntry = [&list] {
        const CSimpleTree::CItemInfo *item = list.LookUp(list.GetSelectedKey());
        return item ? item->entryNumber : 0;
    };
    EXPECT_TRUE(PumpFor([&] { return Window().IsShown() && selectedEntry() == entry; }, 20s))
        << "shown " << Window().IsShown() << ", selected " << selectedEntry();
    EXPECT_FALSE(Window().Button(CMainDlg::IDC_MY_PROGRAMS).IsEnabled()) << "not on the subscribed channels";
    HTREEITEM channel = Window().Tree().GetSelectedItem();
    ASSERT_TRUE(channel);
    EXPECT_EQ(kSubscribedChannel, Window().Tree().GetItemData(channel));
    EXPECT_EQ(entry, Window().ChannelInfo().EntryNumberOfKey(list.GetSelectedKey()));
}

TEST_F(FinishNoticeOffTest, SwitchedOffNothingIsTold)
{
    ASSERT_TRUE(PumpFor([this] { return EngineFinishedAll(); }, 120s));
    // Longer than the grouping and a refresh tick together.
    PumpFor([] { return false; }, std::chrono::seconds(CFinishWatch::kGroupSeconds + 10));
    EXPECT_TRUE(Notices().empty()) << Notices().front().body;
    EXPECT_FALSE(Window().IsShown());
}
