// The whole system: the program and the demo service as separate processes.
#include "DemoService.h"
#include "TovixProcess.h"
#include "base/GbkText.h"
#include "store/XmlNumber.h"
#include "support/TestFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <tinyxml.h>

using namespace std::chrono_literals;

namespace {

struct TFileState {
    std::string location;
    int progress;
};

// Channel 1's files as the client's FileInfo.xml on disk has them.
std::vector<TFileState> SubscribedFiles(const std::string &client)
{
    std::vector<TFileState> files;
    TiXmlDocument document;
    if (!document.LoadFile((client + "/FileInfo.xml").c_str(), TIXML_DEFAULT_ENCODING) || !document.RootElement())
        return files;
    const TiXmlElement *channel = FindChildById(document.RootElement(), "Channel", 1);
    for (const TiXmlElement *file = channel ? channel->FirstChildElement("File") : nullptr; file;
         file = file->NextSiblingElement("File"))
        files.push_back({TextAttribute(file, "Location"), IntAttribute(file, "Progress")});
    return files;
}

} // namespace

TEST(WholeSystem, TheSubscribedChannelDownloadsWithNoClicksAndExitSavesIt)
{
    CDemoService service;
    ASSERT_TRUE(service.Start());
    CTestFolder folder;
    const std::string client = folder / "client";
    ASSERT_TRUE(MakeClientFolder(client, service.Ports(), BinaryDir() + "/Skins"));
    MakeFolder(client + "/EngineState");
    WriteFile(client + "/EngineState/settings.txt", "listen_interfaces = 127.0.0.1:0\n");

    const pid_t tovix = StartTovix(client, folder.Path());
    const bool finished = WaitFor(
        [&] {
            const std::vector<TFileState> files = SubscribedFiles(client);
            if (files.size() != 5)
                return false;
            for (const TFileState &file : files)
                if (file.progress != 100)
                    return false;
            return true;
        },
        180s);
    EXPECT_TRUE(finished);
    for (const TFileState &file : SubscribedFiles(client))
        EXPECT_EQ(ReadFile(DemoData() + "/videos/" + GbkToUtf8(file.location)),
                  ReadFile(client + "/videos/" + GbkToUtf8(file.location)))
            << file.location;
    // Pictures and the current advertisement clip came with the catalogue.
    EXPECT_TRUE(WaitFor([&] { return Exists(client + "/videos/ADs/ad-news.mp4"); }, 30s));
    EXPECT_FALSE(Exists(client + "/videos/ADs/ad-sport.mp4"));

    kill(tovix, SIGTERM);
    EXPECT_EQ(0, ExitCode(tovix, 60s));
    KillTovix(tovix);
}
