// The whole system for one test: a fresh demo service, a client working folder
// pointing at it (downloads on 127.0.0.1 only), and the program started and
// stopped as separate processes, as a user starts and stops them.
#pragma once

#include "DemoService.h"
#include "TovixProcess.h"
#include "support/TestFolder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// One file of a channel as the client's FileInfo.xml on disk has it (names in GBK).
struct TClientFile {
    int id = 0;
    int progress = 0;
    std::string location;
    std::string torrent;
    std::string picture;
};

class CWholeSystemTest : public ::testing::Test {
protected:
    void SetUp() override { Prepare(0); }
    void TearDown() override;
    // Starts the service, seeding at most seedRate KB/s (0: no limit), and makes the
    // client folder. home, when given, is a folder under the test folder (UTF-8)
    // that holds the user's folders and the client's working folder.
    void Prepare(int seedRate, const std::string &home = std::string());

    pid_t Start();
    // Asks the program to end as the desktop does (SIGTERM); its exit code, -1 on a time-out.
    int Stop(pid_t tovix);

    // The channel's files in the client's catalogue (none while it cannot be read).
    std::vector<TClientFile> Files(int channel) const;
    // Waits until the channel lists exactly count files, all of them finished.
    bool WaitDownloaded(int channel, size_t count, std::chrono::seconds limit) const;
    // The client's copy of a catalogue file under one of its roots ("videos", "torrents", "pics").
    std::string ClientPath(const char *root, const std::string &gbkName) const;
    // True when the client's video is byte-identical to the one the service seeds.
    bool SameAsServed(const TClientFile &file) const;

    CDemoService service;
    CTestFolder folder;
    std::string client;
    std::string userRoot; // the user's configuration, data and runtime folders go here

private:
    std::vector<pid_t> m_started;
};
