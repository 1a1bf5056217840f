#include "store/PlayPositions.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "store/CatalogueStore.h"
#include "store/XmlNumber.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>

namespace {

long long SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool InCatalogue(CCatalogueStore &store, int file)
{
    const TiXmlElement *root = store.FileDoc().RootElement();
    if (!root)
        return false;
    for (const TiXmlElement *channel = root->FirstChildElement("Channel"); channel;
         channel = channel->NextSiblingElement("Channel"))
        if (FindChildById(channel, "File", file))
            return true;
    return false;
}

} // namespace

CPlayPositions::CPlayPositions(CCatalogueStore &store) : m_store(store), m_clock(SteadyMs) {}

void CPlayPositions::Load()
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    m_positions.clear();
    m_dirty = false;
    std::ifstream in(kFile);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream fields(line);
        int file = 0;
        long long position = 0;
        std::string rest;
        if (!(fields >> file >> position) || (fields >> rest) || position <= 0) {
            DebugLog("Load %s line %d error", kFile, number);
            continue;
        }
        m_positions[file] = position;
    }
}

long long CPlayPositions::StartPosition(int file) const
{
    long long position = 0;
    if (!Remembered(file, &position))
        return 0;
    return std::max(0LL, position - kBackUpMs);
}

bool CPlayPositions::Remembered(int file, long long *position) const
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    const auto found = m_positions.find(file);
    if (found == m_positions.end())
        return false;
    if (position)
        *position = found->second;
    return true;
}

bool CPlayPositions::Update(int file, long long position, long long length)
{
    // The catalogue prunes on the network thread while the video may still play.
    if (!InCatalogue(m_store, file)) {
        Forget(file);
        return false;
    }
    const bool watched = length > 0 && position >= length - kEndMarginMs;
    if (watched || position <= 0) {
        m_dirty |= m_positions.erase(file) > 0;
        return true;
    }
    long long &kept = m_positions[file];
    m_dirty |= kept != position;
    kept = position;
    return true;
}

void CPlayPositions::Playing(int file, long long position, long long length)
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    if (Update(file, position, length) && m_dirty && (!m_written || m_clock() - m_lastWrite >= kWritePeriodMs))
        Write();
}

void CPlayPositions::Left(int file, long long position, long long length)
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    if (Update(file, position, length) && m_dirty)
        Write();
}

void CPlayPositions::FileRemoved(int file)
{
    std::lock_guard<std::recursive_mutex> lock(m_store.FileLock());
    if (!InCatalogue(m_store, file))
        Forget(file);
}

void CPlayPositions::Forget(int file)
{
    if (m_positions.erase(file) > 0) {
        m_dirty = true;
        Write();
    }
}

void CPlayPositions::Write()
{
    std::ostringstream out;
    for (const auto &[file, position] : m_positions)
        out << file << ' ' << position << '\n';
    int error = 0;
    m_written = true;
    m_lastWrite = m_clock();
    if (!WriteFileAtomic(kFile, out.str(), &error)) {
        DebugLog("Save file %s error[%d]", kFile, error);
        return;
    }
    m_dirty = false;
}
