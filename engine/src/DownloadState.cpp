#include "DownloadState.h"

namespace lt = libtorrent;

EDownloadState ClassifyDownload(const lt::torrent_status &status, bool waitingForSpace)
{
    // progress reaches 1.0 a little before the state does; is_finished is the exact moment.
    if (status.is_finished || status.state == lt::torrent_status::seeding ||
        status.state == lt::torrent_status::finished)
        return EDownloadState::Finished;
    if (waitingForSpace)
        return EDownloadState::Waiting;
    // libtorrent's answer to a file it may not write: it only serves what it has.
    if (status.flags & lt::torrent_flags::upload_mode)
        return EDownloadState::None;
    if (status.flags & lt::torrent_flags::paused)
        return (status.flags & lt::torrent_flags::auto_managed) && !status.errc ? EDownloadState::Waiting
                                                                               : EDownloadState::None;
    return EDownloadState::Downloading;
}

double ProgressPercent(const lt::torrent_status &status)
{
    if (status.is_finished)
        return 100.0;
    if (status.total_wanted <= 0)
        return 0.0;
    return 100.0 * static_cast<double>(status.total_wanted_done) / static_cast<double>(status.total_wanted);
}
