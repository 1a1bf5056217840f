// Loading, saving and pruning a large catalogue, against TinyXML alone as the floor.
#include "BenchSupport.h"

#include "base/DebugLog.h"
#include "store/CatalogueStore.h"
#include "store/FileCatalogue.h"

#include <cstdio>
#include <filesystem>
#include <tinyxml.h>

int main()
{
    const std::string folder = EnterScratchFolder("tovix-bench-catalogue");
    CDebugLog::Instance().Reopen(folder + "/skininfo.txt");
    TGeneratedCatalogue shape;
    WriteCatalogue(shape);
    std::printf("catalogue: %d channels x %d files, FileInfo.xml %.1f MB\n", shape.channels, shape.filesPerChannel,
                std::filesystem::file_size("FileInfo.xml") / 1e6);

    // The files the pruning will delete exist, as they would after downloads.
    const int dropPerChannel = shape.filesPerChannel - shape.preserveNum;
    for (int c = 0; c < shape.channels; ++c)
        for (int f = 1; f <= dropPerChannel; ++f) {
            const int id = c * shape.filesPerChannel + f;
            for (const std::string &path : {"videos/v" + std::to_string(id) + ".avi",
                                            "torrents/t" + std::to_string(id) + ".torrent",
                                            "pics/p" + std::to_string(id) + ".jpg"})
                std::fclose(std::fopen(path.c_str(), "wb"));
        }

    const TMeasured floor = RunMeasured([] {
        auto start = std::chrono::steady_clock::now();
        TiXmlDocument document;
        document.LoadFile("FileInfo.xml", TIXML_DEFAULT_ENCODING);
        const double load = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        document.SaveFile("floor.xml");
        return std::vector<double>{load, SecondsSince(start)};
    });

    const TMeasured store = RunMeasured([] {
        auto start = std::chrono::steady_clock::now();
        CCatalogueStore store;
        store.Load(nullptr);
        const double load = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        store.SaveFileDoc();
        const double save = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        {
            std::lock_guard<std::recursive_mutex> files(store.FileLock());
            std::lock_guard<std::recursive_mutex> channels(store.ChannelLock());
            CFileCatalogue(store).CheckFileList();
        }
        store.DisableExitSave();
        return std::vector<double>{load, save, SecondsSince(start)};
    });
    if (floor.figures.size() != 2 || store.figures.size() != 3) {
        std::fprintf(stderr, "a measurement failed\n");
        return 1;
    }

    std::printf("load:   floor %.3f s, store %.3f s (%.2fx)\n", floor.figures[0], store.figures[0],
                store.figures[0] / floor.figures[0]);
    std::printf("save:   floor %.3f s, store %.3f s (%.2fx; atomic: temporary file, fsync, rename)\n",
                floor.figures[1], store.figures[1], store.figures[1] / floor.figures[1]);
    std::printf("CheckFileList, PreserveNum %d: %.3f s (%d entries and %d files removed, one save)\n",
                shape.preserveNum, store.figures[2], shape.channels * dropPerChannel,
                3 * shape.channels * dropPerChannel);
    std::printf("peak memory: floor %.0f MiB, store %.0f MiB (%.2fx)\n", floor.peakMiB, store.peakMiB,
                store.peakMiB / floor.peakMiB);

    std::filesystem::remove_all(folder);
    return 0;
}
