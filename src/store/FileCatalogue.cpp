#include "store/FileCatalogue.h"

#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/FileSystem.h"
#include "base/SafeName.h"
#include "store/ChannelCatalogue.h"
#include "store/XmlNumber.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

// The three local files of an entry; a path left empty was refused and is never touched.
struct CFileCatalogue::TPaths {
    std::string video;
    std::string torrent;
    std::string picture;
};

CFileCatalogue::TPaths CFileCatalogue::PathsOf(const char *operation, const TiXmlElement *file) const
{
    TPaths paths;
    MakeLocalPath(operation, m_store.GetConfigValue(CFG_FILEROOT), TextAttribute(file, "Location"), kMaxPath,
                  paths.video);
    MakeLocalPath(operation, m_store.GetConfigValue(CFG_TORRENTROOT), TextAttribute(file, "Torrent"), kMaxPath,
                  paths.torrent);
    MakeLocalPath(operation, m_store.GetConfigValue(CFG_PICROOT), TextAttribute(file, "Pic"), kMaxPath, paths.picture);
    return paths;
}

// The engine may still be writing the video: on Linux it could go on into an unlinked file.
void CFileCatalogue::StopDownload(const TPaths &paths)
{
    if (!paths.video.empty() && !paths.torrent.empty())
        Engine().DelDownload(paths.torrent.c_str(), paths.video.c_str());
}

namespace {

void DeleteLogged(const std::string &path, const char *format)
{
    if (path.empty())
        return;
    if (int error = DeleteFileError(path))
        DebugLog(format, path.c_str(), FileErrorCause(error));
}

} // namespace

int CFileCatalogue::GetFileFields(int file, int channel, TFileFields *fields) const
{
    const TiXmlElement *found =
        FindChildById(FindChildById(m_store.FileDoc().RootElement(), "Channel", channel), "File", file);
    if (!found)
        return 0;
    if (fields) {
        fields->title = TextAttribute(found, "Title");
        fields->location = TextAttribute(found, "Location");
        fields->pic = TextAttribute(found, "Pic");
        fields->torrent = TextAttribute(found, "Torrent");
        fields->desc = TextAttribute(found, "Desc");
        fields->progress = TextAttribute(found, "Progress");
    }
    return 1;
}

int CFileCatalogue::DelFileInfo(int channel, int file)
{
    TiXmlElement *channelElement = FindChildById(m_store.FileDoc().RootElement(), "Channel", channel);
    TiXmlElement *found = FindChildById(channelElement, "File", file);
    if (!found)
        return 0;
    const TPaths paths = PathsOf("DelFileInfo", found);
    channelElement->RemoveChild(found);
    m_store.SaveFileDoc();
    m_store.Positions().FileRemoved(file);

    StopDownload(paths);
    DeleteLogged(paths.video, "DelFileInfo del file %s error[%d]");
    DeleteLogged(paths.torrent, "DelFileInfo del file %s error[%d]");
    DeleteLogged(paths.picture, "DelFileInfo del file %s error[%d]");
    return 1;
}

void CFileCatalogue::CheckFileList()
{
    TiXmlElement *root = m_store.FileDoc().RootElement();
    if (!root)
        return;
    const CChannelCatalogue channels(m_store);
    for (TiXmlElement *channel = root->FirstChildElement("Channel"); channel;
         channel = channel->NextSiblingElement("Channel")) {
        const int keep = channels.GetPreserveNum(IdOf(channel));
        if (keep <= 0)
            continue;
        // Each ID's elements in document order, so that a large channel is pruned
        // in one pass rather than one backward walk per dropped file.
        std::vector<int> ids;
        std::unordered_map<int, std::vector<TiXmlElement *>> byId;
        for (TiXmlElement *file = channel->FirstChildElement("File"); file; file = file->NextSiblingElement("File")) {
            ids.push_back(IdOf(file));
            byId[ids.back()].push_back(file);
        }
        if (ids.size() <= static_cast<size_t>(keep))
            continue;

        // Oldest first.
        std::sort(ids.begin(), ids.end());
        const size_t drop = ids.size() - static_cast<size_t>(keep);
        for (size_t i = 0; i < drop; ++i) {
            // Of equal IDs, the last element in document order goes first.
            std::vector<TiXmlElement *> &same = byId[ids[i]];
            TiXmlElement *victim = same.back();
            same.pop_back();
            const TPaths paths = PathsOf("CheckFileList", victim);
            channel->RemoveChild(victim);
            m_store.Positions().FileRemoved(ids[i]);
            StopDownload(paths);
            DeleteLogged(paths.video, "CheckFileList del file %s error[%d]");
            DeleteLogged(paths.torrent, "CheckFileList del torrent %s error[%d]");
            DeleteLogged(paths.picture, "CheckFileList del pic %s error[%d]");
        }
    }
    m_store.SaveFileDoc();
}
