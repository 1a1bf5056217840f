#include "net/DownloadRefresh.h"

#include "store/XmlNumber.h"

#include <algorithm>
#include <mutex>
#include <set>

namespace {

constexpr int kWriteStep = 5;

} // namespace

TiXmlElement *CDownloadRefresh::FindFile(int channel, int file)
{
    if (!m_indexed || m_indexedAt != m_store.FileSaves()) {
        // First match in document order, as the catalogue's lookups take it.
        m_index.clear();
        TiXmlElement *root = m_store.FileDoc().RootElement();
        std::set<int> channelsSeen;
        for (TiXmlElement *c = root ? root->FirstChildElement("Channel") : nullptr; c;
             c = c->NextSiblingElement("Channel")) {
            if (!channelsSeen.insert(IdOf(c)).second)
                continue;
            for (TiXmlElement *f = c->FirstChildElement("File"); f; f = f->NextSiblingElement("File"))
                m_index.emplace(std::make_pair(IdOf(c), IdOf(f)), f);
        }
        m_indexedAt = m_store.FileSaves();
        m_indexed = true;
    }
    const auto found = m_index.find({channel, file});
    return found == m_index.end() ? nullptr : found->second;
}

bool CDownloadRefresh::Find(int channel, int file, TListedFile *listed)
{
    *listed = TListedFile();
    std::string torrent;
    std::string location;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        const TiXmlElement *found = FindFile(channel, file);
        if (!found)
            return false;
        torrent = TextAttribute(found, "Torrent");
        location = TextAttribute(found, "Location");
        listed->storedProgress = IntAttribute(found, "Progress");
    }
    // The configuration lock nests after the file lock, but it need not nest at all here.
    listed->torrentPath = m_store.GetConfigValue(CFG_TORRENTROOT) + torrent;
    listed->locationPath = m_store.GetConfigValue(CFG_FILEROOT) + location;
    return true;
}

bool CDownloadRefresh::Record(int channel, int file, int enginePercent, int *stored)
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    TiXmlElement *found = FindFile(channel, file);
    if (!found)
        return false;
    const int current = IntAttribute(found, "Progress");
    const int value = ProgressToWrite(enginePercent, current);
    if (stored)
        *stored = value < 0 ? current : value;
    if (value < 0)
        return false;
    found->SetAttribute("Progress", value);
    m_changed = true;
    return true;
}

bool CDownloadRefresh::Finish()
{
    if (!m_changed)
        return false;
    m_changed = false;
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    return m_store.SaveFileDoc();
}

int CDownloadRefresh::ProgressToWrite(int enginePercent, int stored)
{
    const bool finished = enginePercent >= 100 && stored != 100;
    const bool firstProgress = enginePercent >= 0 && stored < 0;
    const bool step = enginePercent - stored >= kWriteStep;
    if (!finished && !firstProgress && !step)
        return -1;
    return std::min(enginePercent, 100);
}
