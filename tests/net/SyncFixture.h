// A small local catalogue, a key store and a recorder for the main window and the
// workers, plus builders for the service's replies.
#pragma once

#include "SyncRecorder.h"
#include "base/KeyStore.h"
#include "store/CatalogueFixture.h"
#include "store/ChannelCatalogue.h"
#include "store/XmlNumber.h"

#include <mutex>
#include <string>
#include <vector>

// A string token: its byte count, ":", the bytes.
inline std::string Str(const std::string &bytes) { return std::to_string(bytes.size()) + ":" + bytes; }

inline std::string FileEntry(int id, int progress = -1)
{
    const std::string n = std::to_string(id);
    return "<File ID=\"" + n + "\" Title=\"T" + n + "\" Pic=\"p" + n + ".jpg\" Date=\"2026-12-01\" Progress=\"" +
           std::to_string(progress) + "\" Torrent=\"t" + n + ".torrent\" Location=\"v" + n +
           ".avi\" Desc=\"d\" KBytes=\"100\" />\n";
}

// A file-catalogue fragment: channels (ID and the file IDs in order), then MaxID when given.
inline std::string FileFragment(const std::vector<std::pair<int, std::vector<int>>> &channels,
                                const std::string &maxId = "")
{
    std::string text = kDecl + "<TovixFile>\n";
    for (const auto &[channel, files] : channels) {
        text += "<Channel ID=\"" + std::to_string(channel) + "\">\n";
        for (int file : files)
            text += FileEntry(file, 0);
        text += "</Channel>\n";
    }
    if (!maxId.empty())
        text += "<MaxID value=\"" + maxId + "\" />\n";
    return text + "</TovixFile>\n";
}

// The service's channel catalogue: category 10001 keeps channels 1 and 2, channel 3
// moves to category 10003, channel 4 is new; with a Date when given.
inline std::string ChannelFragment(const std::string &date = "20270101")
{
    return kDecl + "<TovixChannel>\n" + (date.empty() ? "" : "<Date value=\"" + date + "\" />\n") +
           "<Channel1 ID=\"10001\" Name=\"A\">\n"
           "<Channel2 ID=\"1\" Name=\"c1\" Subscribe=\"0\" PreserveNum=\"10\" AD=\"\" ADTime=\"\" />\n"
           "<Channel2 ID=\"2\" Name=\"c2\" Subscribe=\"0\" PreserveNum=\"2\" AD=\"\" ADTime=\"\" />\n"
           "</Channel1>\n<Channel1 ID=\"10003\" Name=\"C\">\n"
           "<Channel2 ID=\"3\" Name=\"c3\" Subscribe=\"0\" PreserveNum=\"10\" AD=\"\" ADTime=\"\" />\n"
           "<Channel2 ID=\"4\" Name=\"c4\" Subscribe=\"0\" PreserveNum=\"10\" AD=\"\" ADTime=\"\" />\n"
           "</Channel1>\n</TovixChannel>\n";
}

class SyncTest : public CatalogueTest {
protected:
    // Configuration: Version 12, MaxID 7, ChannelDate 20260101, the given Connection.
    // Files: channel 1 holds 10 (Progress 50) and 11, channel 2 holds 20.
    // Channels: 10001 {1 subscribed, 2 (PreserveNum 2)}, 10002 {3 subscribed}.
    void WriteCatalogue(const std::string &connection = "127.0.0.1:9")
    {
        WriteConfigure("<MaxID value=\"7\" />\n<ChannelDate value=\"20260101\" />\n<Connection value=\"" + connection +
                       "\" />\n");
        WriteFile(folder / "FileInfo.xml", kDecl + "<TovixFile>\n<Channel ID=\"1\">\n" + FileEntry(10, 50) +
                                               FileEntry(11) + "</Channel>\n<Channel ID=\"2\">\n" + FileEntry(20) +
                                               "</Channel>\n</TovixFile>\n");
        WriteFile(folder / "ChannelInfo.xml",
                  kDecl + "<TovixChannel>\n<Date value=\"20260101\" />\n<Channel1 ID=\"10001\" Name=\"A\">\n"
                          "<Channel2 ID=\"1\" Name=\"c1\" Subscribe=\"1\" PreserveNum=\"10\" AD=\"\" ADTime=\"\" />\n"
                          "<Channel2 ID=\"2\" Name=\"c2\" Subscribe=\"0\" PreserveNum=\"2\" AD=\"\" ADTime=\"\" />\n"
                          "</Channel1>\n<Channel1 ID=\"10002\" Name=\"B\">\n"
                          "<Channel2 ID=\"3\" Name=\"c3\" Subscribe=\"1\" PreserveNum=\"10\" AD=\"\" ADTime=\"\" />\n"
                          "</Channel1>\n</TovixChannel>\n");
        Load();
    }

    // Channel ID: file IDs, each with its Progress, in document order.
    std::vector<std::string> FileCatalogue()
    {
        std::lock_guard<std::recursive_mutex> lock(store.FileLock());
        std::vector<std::string> channels;
        for (const TiXmlElement *channel = store.FileDoc().RootElement()->FirstChildElement("Channel"); channel;
             channel = channel->NextSiblingElement("Channel")) {
            std::string text = std::to_string(IdOf(channel)) + ":";
            for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
                 file = file->NextSiblingElement("File"))
                text += " " + std::to_string(IdOf(file)) + "/" + TextAttribute(file, "Progress");
            channels.push_back(text);
        }
        return channels;
    }

    std::vector<int> Subscribed()
    {
        std::lock_guard<std::recursive_mutex> lock(store.ChannelLock());
        return CChannelCatalogue(store).GetSubscribedChannels();
    }

    std::string InstallRecord()
    {
        std::string value;
        return keys.ReadValue(EHive::LocalMachine, "Software\\Tovix", "Install", value) ? value : "(none)";
    }

    CKeyStore keys{folder / "keys"};
    CSyncRecorder recorder;
};
