// Stands in for the main window and the sync workers: records every call, in
// order, from whichever thread makes it.
#pragma once

#include "net/MainWindowLink.h"

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class CSyncRecorder : public CMainWindowLink, public ISyncWorkers {
public:
    // What a call records besides its name: the state it finds (for example the
    // stored Version when the updater is started).
    using TWitness = std::function<std::string()>;

    void SetMainWindow(bool exists)
    {
        Locked([&] { m_mainWindow = exists; });
    }
    void SetDisabledButton(int commandId)
    {
        Locked([&] { m_disabled = {commandId}; });
    }
    void SetWitness(TWitness witness)
    {
        Locked([&] { m_witness = std::move(witness); });
    }

    std::vector<std::string> Calls() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    void Clear()
    {
        Locked([&] { m_calls.clear(); });
    }

    bool MainWindowExists() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_mainWindow;
    }
    void PostShowChannel(int channelKey) override { Record("ShowChannel " + std::to_string(channelKey)); }
    void PostCommand(int commandId) override { Record("Command " + std::to_string(commandId)); }
    bool IsButtonDisabled(int commandId) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_disabled.count(commandId) != 0;
    }
    void SendPictureReady(const std::string &picturePath, int entry) override
    {
        Record("PictureReady " + picturePath + " " + std::to_string(entry));
    }

    void PostServiceProblem(EServiceProblem problem) override
    {
        Record("ServiceProblem " + std::to_string(static_cast<int>(problem)));
    }
    void PostDownloadsFinished(int count, int firstEntry) override
    {
        Record("Finished " + std::to_string(count) + " " + std::to_string(firstEntry));
    }

    void StartPictureFetcher() override { Record("PictureFetcher"); }
    void StartAdFetcher() override { Record("AdFetcher"); }
    void StartUpdateFetcher(const std::string &address) override { Record("UpdateFetcher " + address); }
    void RunSubscribedDownloadStart() override { Record("DownloadStart"); }

private:
    template <typename F>
    void Locked(F body)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        body();
    }
    void Record(const std::string &call)
    {
        TWitness witness;
        Locked([&] { witness = m_witness; });
        const std::string seen = witness ? " [" + witness() + "]" : "";
        Locked([&] { m_calls.push_back(call + seen); });
    }

    mutable std::mutex m_mutex;
    bool m_mainWindow = true;
    std::set<int> m_disabled;
    TWitness m_witness;
    std::vector<std::string> m_calls;
};
