#include "net/DownloadRefresh.h"

#include "store/XmlNumber.h"

#include <algorithm>
#include <mutex>

namespace {

constexpr int kWriteStep = 5;

TiXmlElement *FindFile(CCatalogueStore &store, int channel, int file)
{
    return FindChildById(FindChildById(store.FileDoc().RootElement(), "Channel", channel), "File", file);
}

} // namespace

bool CDownloadRefresh::Find(int channel, int file, TListedFile *listed)
{
    *listed = TListedFile();
    std::string torrent;
    std::string location;
    {
        std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
        const TiXmlElement *found = FindFile(m_store, channel, file);
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

bool CDownloadRefresh::Record(int channel, int file, int enginePercent)
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    TiXmlElement *found = FindFile(m_store, channel, file);
    if (!found)
        return false;
    const int value = ProgressToWrite(enginePercent, IntAttribute(found, "Progress"));
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
