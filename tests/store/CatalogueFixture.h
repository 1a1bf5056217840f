// Builds catalogue files in a test folder and loads them into a store.
#pragma once

#include "store/CatalogueStore.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

inline const std::string kDecl = "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n";

class CatalogueTest : public ::testing::Test {
protected:
    // The standard configuration: roots inside the test folder.
    void WriteConfigure(const std::string &extra = "")
    {
        WriteFile(folder / "Configure.xml", kDecl + "<TovixConfig>\n"
                                                    "<FileRoot value=\"videos/\" />\n"
                                                    "<TorrentRoot value=\"torrents/\" />\n"
                                                    "<PicRoot value=\"pics/\" />\n"
                                                    "<Version value=\"12\" />\n" +
                                                    extra + "</TovixConfig>\n");
        MakeFolder(folder / "videos");
        MakeFolder(folder / "torrents");
        MakeFolder(folder / "pics");
    }

    void Load()
    {
        reports.clear();
        store.Load([this](const std::string &message) { reports.push_back(message); });
    }

    CTestFolder folder;
    std::vector<std::string> reports;
    CCatalogueStore store;
};
