// Merging a 10,000-file fragment into a 100,000-file catalogue (parse, merge,
// save, prune and save again, as a file news reply does), against the floor of
// TinyXML alone parsing the same fragment and saving the same two documents.
#include "BenchSupport.h"

#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "net/CatalogueMerge.h"
#include "net/MainWindowLink.h"
#include "net/XmlFragment.h"
#include "store/CatalogueStore.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tinyxml.h>
#include <unistd.h>

namespace {

constexpr int kNewPerChannel = 50;
constexpr int kRuns = 5;

class CQuietWindow : public CMainWindowLink, public ISyncWorkers {
public:
    bool MainWindowExists() override { return true; }
    void PostShowChannel(int) override {}
    void PostCommand(int) override {}
    bool IsButtonDisabled(int) override { return false; }
    void SendPictureReady(const std::string &, int) override {}
    void StartPictureFetcher() override {}
    void StartAdFetcher() override {}
    void StartUpdateFetcher(const std::string &) override {}
    void RunSubscribedDownloadStart() override {}
};

// The files of the oldest entries, which the pruning deletes, exist on disk.
void MakeOldFiles(const TGeneratedCatalogue &shape)
{
    for (int c = 0; c < shape.channels; ++c)
        for (int f = 1; f <= kNewPerChannel; ++f) {
            const int id = c * shape.filesPerChannel + f;
            for (const std::string &path :
                 {"videos/v" + std::to_string(id) + ".avi", "torrents/t" + std::to_string(id) + ".torrent",
                  "pics/p" + std::to_string(id) + ".jpg"})
                std::fclose(std::fopen(path.c_str(), "wb"));
        }
}

// kNewPerChannel new files for every channel, with IDs above the catalogue's.
std::string Fragment(const TGeneratedCatalogue &shape)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n<TovixFile>\n";
    int id = shape.channels * shape.filesPerChannel + 1;
    for (int c = 1; c <= shape.channels; ++c) {
        text += "    <Channel ID=\"" + std::to_string(c) + "\">\n";
        for (int f = 0; f < kNewPerChannel; ++f, ++id) {
            const std::string n = std::to_string(id);
            text += "        <File ID=\"" + n + "\" Title=\"\xD0\xC2 " + n + "\" Pic=\"p" + n +
                    ".jpg\" Date=\"2027-01-01\" Progress=\"-1\" Torrent=\"t" + n + ".torrent\" Location=\"v" + n +
                    ".avi\" Desc=\"\xC3\xE8\xCA\xF6 " + n + "\" KBytes=\"" + std::to_string(1000 + id) + "\" />\n";
        }
        text += "    </Channel>\n";
    }
    return text + "    <MaxID value=\"" + std::to_string(id - 1) + "\" />\n</TovixFile>\n";
}

std::string ReadAll(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    const std::string folder = EnterScratchFolder("tovix-bench-sync");
    CDebugLog::Instance().Reopen(folder + "/skininfo.txt");
    TGeneratedCatalogue shape;
    shape.preserveNum = shape.filesPerChannel; // full: every new file pushes out an old one
    WriteCatalogue(shape);
    const std::string fragment = Fragment(shape);
    std::filesystem::copy_file("FileInfo.xml", "FileInfo.original");
    std::filesystem::copy_file("Configure.xml", "Configure.original");
    std::printf("catalogue: %d channels x %d files (%.1f MB); fragment: %d files (%.1f MB)\n", shape.channels,
                shape.filesPerChannel, std::filesystem::file_size("FileInfo.xml") / 1e6,
                shape.channels * kNewPerChannel, fragment.size() / 1e6);

    TEngineApi engine = UnboundEngine();
    engine.DelDownload = [](const char *, const char *) { return 0; };
    BindEngine(engine);

    // The merge as a file news reply runs it; the same documents are kept for the floor.
    auto merge = [&] {
        std::filesystem::copy_file("FileInfo.original", "FileInfo.xml",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file("Configure.original", "Configure.xml",
                                   std::filesystem::copy_options::overwrite_existing);
        MakeOldFiles(shape);
        return RunMeasured([&] {
            CCatalogueStore store;
            store.Load(nullptr);
            store.DisableExitSave();
            CQuietWindow window;
            auto start = std::chrono::steady_clock::now();
            TiXmlDocument parsed;
            std::string error;
            ParseXmlFragment(fragment.data(), fragment.size(), parsed, error);
            const double parse = SecondsSince(start);
            start = std::chrono::steady_clock::now();
            CCatalogueMerge(store, window, window).MergeFileFragment(parsed);
            const double merge = SecondsSince(start);
            // Not part of the merge: what one of its saves costs, and the same save without
            // the temporary file, flush and rename.
            start = std::chrono::steady_clock::now();
            store.SaveFileDoc();
            const double atomicSave = SecondsSince(start);
            start = std::chrono::steady_clock::now();
            store.FileDoc().SaveFile("plain.xml");
            return std::vector<double>{parse, merge, atomicSave, SecondsSince(start)};
        });
    };
    // One run first, for the pruned document the floor saves.
    TMeasured ours = merge();
    const std::string pruned = ReadAll("FileInfo.xml");
    {
        TiXmlDocument merged;
        merged.LoadFile("FileInfo.original", TIXML_DEFAULT_ENCODING);
        TiXmlDocument incoming;
        incoming.Parse(fragment.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
        TiXmlElement *channel = merged.RootElement()->FirstChildElement("Channel");
        for (const TiXmlElement *in = incoming.RootElement()->FirstChildElement("Channel"); in && channel;
             in = in->NextSiblingElement("Channel"), channel = channel->NextSiblingElement("Channel"))
            for (const TiXmlElement *file = in->FirstChildElement("File"); file;
                 file = file->NextSiblingElement("File"))
                channel->InsertEndChild(*file);
        merged.SaveFile("merged.xml");
    }
    auto bare = [&] {
        return RunMeasured([&] {
            TiXmlDocument merged;
            merged.LoadFile("merged.xml", TIXML_DEFAULT_ENCODING);
            TiXmlDocument prunedDoc;
            prunedDoc.Parse(pruned.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
            const auto start = std::chrono::steady_clock::now();
            TiXmlDocument incoming;
            incoming.Parse(fragment.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
            merged.SaveFile("floor-merged.xml");
            prunedDoc.SaveFile("floor-pruned.xml");
            return std::vector<double>{SecondsSince(start)};
        });
    };

    // Alternating, each after the disk has settled, so both meet the same conditions.
    std::vector<double> parse, mergeSavePrune, total, floor, atomicSave, plainSave;
    TMeasured plain;
    for (int run = 0; run < kRuns; ++run) {
        sync();
        plain = bare();
        sync();
        ours = merge();
        if (ours.figures.size() != 4 || plain.figures.size() != 1) {
            std::fprintf(stderr, "a measurement failed\n");
            return 1;
        }
        parse.push_back(ours.figures[0]);
        mergeSavePrune.push_back(ours.figures[1]);
        total.push_back(ours.figures[0] + ours.figures[1]);
        floor.push_back(plain.figures[0]);
        atomicSave.push_back(ours.figures[2]);
        plainSave.push_back(ours.figures[3]);
    }

    std::printf(
        "ours (median of %d): parse %.3f s (shape check included), merge+save+prune+save %.3f s, total %.3f s\n", kRuns,
        Median(parse), Median(mergeSavePrune), Median(total));
    std::printf("one save of the catalogue: %.3f s atomic (temporary file, fsync, rename), %.3f s plain\n",
                Median(atomicSave), Median(plainSave));
    std::printf("floor (TinyXML parsing the fragment, saving the merged and the pruned document): %.3f s\n",
                Median(floor));
    std::printf("ratio: %.2fx (target at most 2x); peak memory ours %.0f MiB, floor %.0f MiB\n",
                Median(total) / Median(floor), ours.peakMiB, plain.peakMiB);
    std::filesystem::remove_all(folder);
    return 0;
}
