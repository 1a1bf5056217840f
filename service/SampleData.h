// Generates the demo service's data folder and a client working folder for it.
#pragma once

#include <cstdint>
#include <string>

struct TSampleOptions {
    int clipSeconds = 6;    // length of each video clip
    int heldBack = 4;       // files published later, one per publishing interval
    int version = 2;        // the version the service announces
};

// data/catalogue.xml, data/videos/ (the seeded clips), data/web/ (pictures,
// advertisement clips, the updater, the pages). Needs ffmpeg and a CJK font.
bool GenerateSampleData(const std::string &dataFolder, const TSampleOptions &options);

struct TServicePorts {
    uint16_t message = 0;
    uint16_t web = 0;
    uint16_t tracker = 0;
    uint16_t seeder = 0;
    static TServicePorts FromBase(uint16_t base) { return {base, uint16_t(base + 1), uint16_t(base + 2), uint16_t(base + 3)}; }
};

// A client working folder: Configure.xml with all sixteen items pointing at the
// service, the folders its roots name, and the skin images copied from skins.
// Returns false (and says why on stderr) when something cannot be made.
bool MakeClientFolder(const std::string &folder, const TServicePorts &ports, const std::string &skins);
