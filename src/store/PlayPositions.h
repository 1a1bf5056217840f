// Where each video was left off, so that the next play goes on from there: a
// small file beside the catalogue, one "fileID milliseconds" line per video.
// Records exist only for files in the file catalogue: every write checks the
// catalogue under the file lock, the lock the deletions hold while they forget.
#pragma once

#include <functional>
#include <map>
#include <string>

class CCatalogueStore;

class CPlayPositions {
public:
    static constexpr const char *kFile = "PlayPositions.txt";
    // Playback goes on a little before the remembered point, to pick up the thread.
    static constexpr long long kBackUpMs = 5000;
    // A video left this close to its end counts as watched and starts from 0.
    static constexpr long long kEndMarginMs = 10000;
    // While a video plays its position reaches the file at most this often.
    static constexpr long long kWritePeriodMs = 5000;

    // Milliseconds of a monotonic clock.
    using Clock = std::function<long long()>;

    explicit CPlayPositions(CCatalogueStore &store);

    // Reads the file from the working directory; a missing file is no record.
    void Load();
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // Where the next play of the file starts, in milliseconds: 0 without a record.
    long long StartPosition(int file) const;
    // The remembered position itself; false without a record.
    bool Remembered(int file, long long *position) const;

    // A playing video's position, kept and written at most every write period.
    // length is 0 while it is not known.
    void Playing(int file, long long position, long long length);
    // The video stopped or was left: the position is written now.
    void Left(int file, long long position, long long length);
    // An entry of the file was removed from the catalogue: its record goes
    // unless another channel still lists the file.
    void FileRemoved(int file);

private:
    // Updates the record; false when the file is not in the catalogue.
    bool Update(int file, long long position, long long length);
    void Forget(int file);
    void Write();

    CCatalogueStore &m_store;
    Clock m_clock;
    std::map<int, long long> m_positions;
    bool m_dirty = false;
    long long m_lastWrite = 0;
    bool m_written = false;
};
