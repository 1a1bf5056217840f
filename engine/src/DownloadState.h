// How the client sees a download: finished (complete, seeding or not), downloading
// (active), waiting (queued behind the download limit or held by the space guard),
// or none (stopped by an error the engine cannot wait out, such as a file it may
// not write).
#pragma once

#include <libtorrent/torrent_status.hpp>

enum class EDownloadState { None, Finished, Downloading, Waiting };

EDownloadState ClassifyDownload(const libtorrent::torrent_status &status, bool waitingForSpace);

// Share of the wanted bytes on disk, 0 to 100.
double ProgressPercent(const libtorrent::torrent_status &status);
