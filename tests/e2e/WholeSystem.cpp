#include "WholeSystem.h"

#include "base/GbkText.h"
#include "store/XmlNumber.h"

#include <csignal>
#include <cstdio>
#include <tinyxml.h>

using namespace std::chrono_literals;

void CWholeSystemTest::Prepare(int seedRate, const std::string &home)
{
    ASSERT_FALSE(BinaryDir().empty());
    ASSERT_TRUE(service.Start(seedRate));
    userRoot = home.empty() ? folder.Path() : folder / home;
    client = userRoot + "/client";
    ASSERT_TRUE(MakeClientFolder(client, service.Ports(), BinaryDir() + "/Skins"));
    MakeFolder(client + "/EngineState");
    WriteFile(client + "/EngineState/settings.txt", "listen_interfaces = 127.0.0.1:0\n");
}

void CWholeSystemTest::TearDown()
{
    if (HasFailure()) {
        // The program's own account of what it did, for reading the failure.
        const std::string log = GbkToUtf8(ReadFile(client + "/skininfo.txt"));
        std::printf("--- skininfo.txt (last 4000 bytes) ---\n%s\n--- requests ---\n%s\n",
                    log.substr(log.size() > 4000 ? log.size() - 4000 : 0).c_str(), service.Requests().c_str());
    }
    for (pid_t pid : m_started)
        KillTovix(pid);
}

pid_t CWholeSystemTest::Start()
{
    m_started.push_back(StartTovix(client, userRoot));
    return m_started.back();
}

int CWholeSystemTest::Stop(pid_t tovix)
{
    kill(tovix, SIGTERM);
    return ExitCode(tovix, 60s);
}

std::vector<TClientFile> CWholeSystemTest::Files(int channel) const
{
    std::vector<TClientFile> files;
    TiXmlDocument document;
    if (!document.LoadFile((client + "/FileInfo.xml").c_str(), TIXML_DEFAULT_ENCODING) || !document.RootElement())
        return files;
    const TiXmlElement *element = FindChildById(document.RootElement(), "Channel", channel);
    for (const TiXmlElement *file = element ? element->FirstChildElement("File") : nullptr; file;
         file = file->NextSiblingElement("File"))
        files.push_back({IdOf(file), IntAttribute(file, "Progress"), TextAttribute(file, "Location"),
                         TextAttribute(file, "Torrent"), TextAttribute(file, "Pic")});
    return files;
}

bool CWholeSystemTest::WaitDownloaded(int channel, size_t count, std::chrono::seconds limit) const
{
    return WaitFor(
        [&] {
            const std::vector<TClientFile> files = Files(channel);
            if (files.size() != count)
                return false;
            for (const TClientFile &file : files)
                if (file.progress != 100)
                    return false;
            return true;
        },
        limit);
}

std::string CWholeSystemTest::ClientPath(const char *root, const std::string &gbkName) const
{
    return client + "/" + root + "/" + GbkToUtf8(gbkName);
}

bool CWholeSystemTest::SameAsServed(const TClientFile &file) const
{
    const std::string served = ReadFile(DemoData() + "/videos/" + GbkToUtf8(file.location));
    return !served.empty() && served == ReadFile(ClientPath("videos", file.location));
}
