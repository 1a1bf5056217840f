// The catalogue half of the main window's download-state refresh: where a
// listed file's torrent and video are, what progress the catalogue holds for
// it, and when the engine's progress is worth writing back to FileInfo.xml.
// One object serves one refresh pass; the file is saved once at its end.
#pragma once

#include "store/CatalogueStore.h"

#include <map>
#include <string>
#include <utility>

struct TListedFile {
    std::string torrentPath;  // TorrentRoot + Torrent; empty when the file is not in the catalogue
    std::string locationPath; // FileRoot + Location
    int storedProgress = 0;
};

class CDownloadRefresh {
public:
    explicit CDownloadRefresh(CCatalogueStore &store) : m_store(store) {}

    // The paths and stored Progress of a file; false (and an empty result) when
    // the channel or the file is not in the catalogue.
    bool Find(int channel, int file, TListedFile *listed);
    // Writes the engine's progress (whole percent) into the file's Progress when
    // the rule says so; true when it wrote. stored, when given, receives the
    // file's Progress after the call (untouched when the file is not found).
    bool Record(int channel, int file, int enginePercent, int *stored = nullptr);
    // Saves FileInfo.xml when this pass wrote something; true when it saved.
    bool Finish();

    // The value to write for an engine progress over a stored one, or -1 to keep
    // the stored value: a finished download, the first progress of a file never
    // started, or a step of at least 5 is written, capped at 100. Smaller steps
    // are shown but not written, so the file is not rewritten at every tick.
    static int ProgressToWrite(int enginePercent, int stored);

private:
    // The file element of (channel, file); the caller holds the file lock. A pass
    // indexes the catalogue once and indexes it again only when it changed.
    TiXmlElement *FindFile(int channel, int file);

    CCatalogueStore &m_store;
    bool m_changed = false;
    std::map<std::pair<int, int>, TiXmlElement *> m_index;
    unsigned long m_indexedAt = 0;
    bool m_indexed = false;
};
