// A test folder with catalogue files, a web server on 127.0.0.1 that the
// configured addresses point to, waitable workers, and recorders for the main
// window link and the engine's AddDownload.
#pragma once

#include "net/HttpTestServer.h"
#include "net/MainWindowLink.h"
#include "store/CatalogueFixture.h"
#include "support/WaitableWorkers.h"

#include <atomic>
#include <utility>

class CRecordingLink : public CMainWindowLink {
public:
    bool MainWindowExists() override { return exists; }
    void PostShowChannel(int) override {}
    void PostCommand(int) override {}
    bool IsButtonDisabled(int) override { return false; }
    void SendPictureReady(const std::string &picturePath, int entry) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pictures.emplace_back(picturePath, entry);
    }

    std::vector<std::pair<std::string, int>> Pictures()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_pictures;
    }

    std::atomic<bool> exists{true};

private:
    std::mutex m_mutex;
    std::vector<std::pair<std::string, int>> m_pictures;
};

// AddDownload calls as (torrent path, save path), from any thread.
std::vector<std::pair<std::string, std::string>> RecordedDownloads();

class NetTest : public CatalogueTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Configure.xml with every address on the test server, then the two
    // catalogues (their root's content) and a load.
    void Prepare(const std::string &files, const std::string &channels);

    CHttpTestServer server;
    CWaitableWorkers workers;
    CRecordingLink link;
};
