// Operations on FileInfo.xml: file lookups and the two deletions, which remove
// catalogue entries together with their video, torrent and picture on disk.
// The caller holds the file lock (and the channel lock for CheckFileList).
#pragma once

#include "store/CatalogueStore.h"

#include <string>

struct TFileFields {
    std::string title;
    std::string location;
    std::string pic;
    std::string torrent;
    std::string desc;
    std::string progress;
};

class CFileCatalogue {
public:
    // The longest full path of a video, torrent or picture the catalogue deletes.
    static constexpr size_t kMaxPath = 258;

    explicit CFileCatalogue(CCatalogueStore &store) : m_store(store) {}

    // 1 and the file's attributes when the file is in the first channel with that ID.
    int GetFileFields(int file, int channel, TFileFields *fields) const;
    // Removes the entry, saves, then deletes its files; 1 when found.
    int DelFileInfo(int channel, int file);
    // Prunes every channel to its PreserveNum newest files and saves once.
    void CheckFileList();

private:
    struct TPaths;
    TPaths PathsOf(const char *operation, const TiXmlElement *file) const;
    static void StopDownload(const TPaths &paths);

    CCatalogueStore &m_store;
};
