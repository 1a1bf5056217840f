// The free-space guard: a download whose disk has less than a reserve left waits
// instead of running into a full disk, and goes on once space returns. Resuming
// needs a margin above the reserve, so a download does not flap at the edge.
#pragma once

#include <functional>
#include <map>
#include <string>

// Free bytes for unprivileged users on the file system holding folder (or its
// nearest existing parent); -1 when unknown.
long long FolderFreeSpace(const std::string &folder);

class CSpaceGuard {
public:
    using FreeSpace = std::function<long long(const std::string &folder)>;

    static constexpr long long kReserve = 64LL << 20;
    static constexpr long long kResumeMargin = 16LL << 20;

    explicit CSpaceGuard(FreeSpace freeSpace = FolderFreeSpace);

    // Forgets the figures of the previous round; each folder is asked once a round.
    void BeginRound();

    // Whether a download saving into folder must wait now, given whether it waits already.
    bool MustWait(const std::string &folder, bool waiting);

private:
    FreeSpace m_freeSpace;
    std::map<std::string, long long> m_round;
};
