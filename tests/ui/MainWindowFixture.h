// The main window in a test application that runs the start-up steps it
// needs: the demo service on loopback, a client folder made for it, the real
// download engine, the store, the message channel with the login report, and
// then the window itself, shown.
#pragma once

#include "DemoService.h"
#include "base/KeyStore.h"
#include "net/ServiceChannel.h"
#include "net/ServiceReports.h"
#include "net/SyncWorkers.h"
#include "store/CatalogueStore.h"
#include "support/TestFolder.h"
#include "support/WaitableWorkers.h"
#include "ui/CMainDlg.h"
#include "ui/CWxMainWindowLink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

// Pumps events until the condition holds or the time is up; returns the condition.
bool PumpFor(const std::function<bool()> &condition, std::chrono::milliseconds limit);

// Progress of every File of a channel in FileInfo.xml as it is on disk.
std::vector<int> ProgressOnDisk(int channel);

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs before the store loads the client's Configure.xml.
    virtual void EditConfiguration() {}
    // The window exists and the catalogue from the service is in its tree.
    bool WaitForCatalogue();

    CMainDlg &Window() { return *m_window; }

    CTestFolder m_folder;
    CDemoService m_service;
    CCatalogueStore m_store;
    std::unique_ptr<CKeyStore> m_keys;
    CWaitableWorkers m_threads;
    CWxMainWindowLink m_link;
    TovixWndHandle m_engineHandle{};
    std::unique_ptr<CSyncWorkers> m_workers;
    std::unique_ptr<CServiceChannel> m_channel;
    std::unique_ptr<CServiceReports> m_reports;
    CMainDlg *m_window = nullptr;
    bool m_engineStarted = false;
};
