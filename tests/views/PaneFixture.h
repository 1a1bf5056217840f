// The working folder of the pane tests: the build's skin images, catalogue files
// the test writes, and the download engine bound to a recorder.
#pragma once

#include "store/CatalogueFixture.h"

#include <wx/colour.h>
#include <wx/gdicmn.h>

#include <string>
#include <vector>

// The recorder answers GetPosByTorrent for the torrent paths it was told about,
// with the state given (1 finished, 2 downloading, 3 waiting, 0 none of these),
// and records AddDownload and DelDownload as "AddDownload <torrent> <video>".
void EngineKnows(const std::string &torrentPath, int state);
std::vector<std::string> EngineCalls();

// A File element; title and description are written as GBK.
std::string FileXml(int id, const std::string &titleUtf8, int progress, int kilobytes = 1536);

// A picture file of one colour in the format the name's extension says.
void WritePicture(const std::string &path, const wxColour &colour, const wxSize &size = wxSize(80, 60));

class PaneTest : public CatalogueTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Configure.xml with the standard roots and the torrent address on a closed
    // port, then FileInfo.xml and ChannelInfo.xml around the given content.
    void Prepare(const std::string &files, const std::string &channels);
};
