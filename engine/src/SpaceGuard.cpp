#include "SpaceGuard.h"

#include <sys/statvfs.h>

long long FolderFreeSpace(const std::string &folder)
{
    std::string path = folder.empty() ? std::string(".") : folder;
    for (;;) {
        struct statvfs info;
        if (::statvfs(path.c_str(), &info) == 0)
            return static_cast<long long>(info.f_bavail) * static_cast<long long>(info.f_frsize);
        // The engine creates missing folders when it writes; until then their parent decides.
        const std::string::size_type slash = path.find_last_of('/');
        if (slash == std::string::npos || path == "/")
            return -1;
        path = slash == 0 ? std::string("/") : path.substr(0, slash);
    }
}

CSpaceGuard::CSpaceGuard(FreeSpace freeSpace) : m_freeSpace(std::move(freeSpace)) {}

void CSpaceGuard::BeginRound() { m_round.clear(); }

bool CSpaceGuard::MustWait(const std::string &folder, bool waiting)
{
    auto it = m_round.find(folder);
    if (it == m_round.end())
        it = m_round.emplace(folder, m_freeSpace(folder)).first;
    const long long free = it->second;
    if (free < 0)
        return false; // a file system that cannot tell is not held up
    return free < kReserve + (waiting ? kResumeMargin : 0);
}
