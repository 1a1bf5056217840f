#include "net/PictureFetcher.h"

#include "base/FileSystem.h"
#include "base/SafeName.h"
#include "net/HttpFetch.h"
#include "net/WorkerThreads.h"
#include "store/FileCatalogue.h"
#include "store/XmlNumber.h"

#include <mutex>

// The lock is released around every fetch, so the walk goes over copies of
// (channel, file, picture) taken under it rather than over elements that a
// merge or a deletion may free meanwhile.
std::vector<CPictureFetcher::TPicture> CPictureFetcher::Snapshot()
{
    std::vector<TPicture> pictures;
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    const TiXmlElement *root = m_store.FileDoc().RootElement();
    if (!root)
        return pictures;
    for (const TiXmlElement *channel = root->FirstChildElement("Channel"); channel;
         channel = channel->NextSiblingElement("Channel"))
        for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
             file = file->NextSiblingElement("File")) {
            std::string pic = TextAttribute(file, "Pic");
            if (!pic.empty())
                pictures.push_back({IdOf(channel), IdOf(file), std::move(pic)});
        }
    return pictures;
}

// A file removed from the catalogue during the pass must not get its picture back.
bool CPictureFetcher::StillListed(const TPicture &picture)
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    const TiXmlElement *file =
        FindChildById(FindChildById(m_store.FileDoc().RootElement(), "Channel", picture.channel), "File", picture.file);
    return file && TextAttribute(file, "Pic") == picture.pic;
}

void CPictureFetcher::Run()
{
    const std::string root = m_store.GetConfigValue(CFG_PICROOT);
    const std::string url = m_store.GetConfigValue(CFG_PICURL);
    const std::vector<TPicture> pictures = Snapshot();
    if (pictures.empty())
        return;
    CHttpHandle handle;
    for (const TPicture &picture : pictures) {
        if (CurrentStopSignal().Stopped())
            return;
        std::string path;
        if (!MakeLocalPath("GetPicture", root, picture.pic, CFileCatalogue::kMaxPath, path) || FileExists(path) ||
            !StillListed(picture))
            continue;
        if (GetHttpData(handle.Get(), url + picture.pic, path) && m_link.MainWindowExists())
            m_link.SendPictureReady(path, static_cast<int>(picture.file * 1000LL + picture.channel));
    }
}
