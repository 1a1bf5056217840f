// The torrent fetch worker: brings a missing torrent from the web server, then
// hands its download to the engine.
#pragma once

#include "store/CatalogueStore.h"

#include <string>

// What a worker logs in front of the address when the torrent cannot be fetched:
// the subscribed-download start's text and the detail pane's download button's.
inline constexpr const char kSubscribedFetchFailure[] = "Bad Torrent Url ";
inline constexpr const char kButtonFetchFailure[] = "GetTorrent, Bad Torrent Url ";

// A job owns copies of its names: the catalogue element may be gone by the time it runs.
struct TTorrentJob {
    std::string torrent;  // the file's Torrent name
    std::string location; // the file's Location name
    std::string failureText;
};

// Runs one job on the calling thread: fetches TorrentURL + torrent into
// TorrentRoot + torrent and on success adds the download to FileRoot + location.
void RunTorrentFetch(CCatalogueStore &store, const TTorrentJob &job);
