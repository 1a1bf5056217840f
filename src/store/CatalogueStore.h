// The three catalogue documents (FileInfo.xml, ChannelInfo.xml, Configure.xml),
// held in memory for the whole run, with one re-entrant lock each.
#pragma once

#include "store/PlayPositions.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <tinyxml.h>

enum EConfigItem {
    CFG_INTERVEL = 0,
    CFG_MAXID,
    CFG_CHANNELDATE,
    CFG_THREADNUM,
    CFG_MAXDLSPEED,
    CFG_MAXULSPEED,
    CFG_FILEROOT,
    CFG_TORRENTROOT,
    CFG_PICROOT,
    CFG_TORRENTURL,
    CFG_PICURL,
    CFG_CONNECTION,
    CFG_VERSION,
    CFG_ADURL,
    CFG_WEBURL,
    CFG_FORUMURL,
    CFG_ITEM_COUNT
};

// The element name of a configuration item; nullptr outside 0..15.
const char *ConfigItemName(int item);

class CCatalogueStore {
public:
    static constexpr const char *kFileInfo = "FileInfo.xml";
    static constexpr const char *kChannelInfo = "ChannelInfo.xml";
    static constexpr const char *kConfigure = "Configure.xml";

    // Called once per file that could not be loaded, with "LoadFile <name> error!!",
    // before its default content is put in place. It may wait for the user.
    using LoadReport = std::function<void(const std::string &message)>;

    CCatalogueStore() = default;
    // The exit save, unless it was turned off.
    ~CCatalogueStore();
    CCatalogueStore(const CCatalogueStore &) = delete;
    CCatalogueStore &operator=(const CCatalogueStore &) = delete;

    // Loads the three files from the current directory, in the order FileInfo,
    // ChannelInfo, Configure, then the play positions. Nothing is written here.
    void Load(const LoadReport &report);

    TiXmlDocument &FileDoc() { return m_fileDoc; }
    TiXmlDocument &ChannelDoc() { return m_channelDoc; }
    TiXmlDocument &ConfigDoc() { return m_configDoc; }

    // Lock order, where they nest: file, then channel, then configuration.
    std::recursive_mutex &FileLock() { return m_fileLock; }
    std::recursive_mutex &ChannelLock() { return m_channelLock; }
    std::recursive_mutex &ConfigLock() { return m_configLock; }

    // Where each video was left off; kept under the file lock.
    CPlayPositions &Positions() { return m_positions; }

    std::string GetConfigValue(int item);
    int GetConfigInt(int item);
    void SetConfigValue(const std::string &name, const std::string &text);

    // Each saves one document to its file atomically; the caller holds its lock.
    bool SaveFileDoc();
    // How many times the file document was saved. Every change to it is saved
    // under the same hold of the file lock, so an unchanged count means no entry
    // was added or removed in between (readers may keep pointers into it).
    unsigned long FileSaves() const { return m_fileSaves.load(); }
    bool SaveChannelDoc();
    bool SaveConfigDoc();

    // Saves the three documents (file, channel, configuration); results ignored.
    void ExitSave();
    // A process leaving through the single-instance path must not write its stale copies.
    void DisableExitSave() { m_exitSave = false; }

private:
    // Field order is creation order: documents, then the locks in their order.
    TiXmlDocument m_fileDoc;
    TiXmlDocument m_channelDoc;
    TiXmlDocument m_configDoc;
    std::recursive_mutex m_fileLock;
    std::recursive_mutex m_channelLock;
    std::recursive_mutex m_configLock;
    CPlayPositions m_positions{*this};
    bool m_exitSave = true;
    std::atomic<unsigned long> m_fileSaves{0};
};

// Saves a document in the printed form of the catalogue files, atomically.
bool SaveDocument(const TiXmlDocument &document, const std::string &path);
