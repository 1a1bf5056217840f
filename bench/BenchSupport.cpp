#include "BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

TMeasured RunMeasured(const std::function<std::vector<double>()> &body)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        throw std::runtime_error("pipe");
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        std::vector<double> figures = body();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        figures.push_back(usage.ru_maxrss / 1024.0);
        const size_t bytes = figures.size() * sizeof(double);
        _exit(write(pipeFds[1], figures.data(), bytes) == static_cast<ssize_t>(bytes) ? 0 : 1);
    }
    close(pipeFds[1]);
    TMeasured measured;
    double value;
    while (read(pipeFds[0], &value, sizeof value) == sizeof value)
        measured.figures.push_back(value);
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    if (!measured.figures.empty()) {
        measured.peakMiB = measured.figures.back();
        measured.figures.pop_back();
    }
    return measured;
}

void WriteCatalogue(const TGeneratedCatalogue &shape)
{
    const char *decl = "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n";
    // 测试视频 / 这是一段描述 in GBK.
    const char *title = "\xB2\xE2\xCA\xD4\xCA\xD3\xC6\xB5";
    const char *desc = "\xD5\xE2\xCA\xC7\xD2\xBB\xB6\xCE\xC3\xE8\xCA\xF6";

    FILE *files = std::fopen("FileInfo.xml", "wb");
    std::fprintf(files, "%s<TovixFile>\n", decl);
    int id = 1;
    for (int c = 1; c <= shape.channels; ++c) {
        std::fprintf(files, "    <Channel ID=\"%d\">\n", c);
        for (int f = 0; f < shape.filesPerChannel; ++f, ++id)
            std::fprintf(files,
                         "        <File ID=\"%d\" Title=\"%s %d\" Pic=\"p%d.jpg\" Date=\"2026-12-01\" Progress=\"%d\" "
                         "Torrent=\"t%d.torrent\" Location=\"v%d.avi\" Desc=\"%s %d\" KBytes=\"%d\" />\n",
                         id, title, id, id, shape.progress ? shape.progress(id) : -1, id, id, desc, id, 1000 + id);
        std::fprintf(files, "    </Channel>\n");
    }
    std::fprintf(files, "</TovixFile>\n");
    std::fclose(files);

    FILE *channels = std::fopen("ChannelInfo.xml", "wb");
    std::fprintf(channels, "%s<TovixChannel>\n    <Date value=\"20261208\" />\n", decl);
    for (int c = 1; c <= shape.channels; ++c) {
        if ((c - 1) % 20 == 0)
            std::fprintf(channels, "%s    <Channel1 ID=\"%d\" Name=\"%s\">\n", c == 1 ? "" : "    </Channel1>\n",
                         10001 + (c - 1) / 20, title);
        std::fprintf(channels,
                     "        <Channel2 ID=\"%d\" Name=\"%s%d\" Subscribe=\"0\" PreserveNum=\"%d\" AD=\"\" ADTime=\"\" />\n",
                     c, title, c, shape.preserveNum);
    }
    std::fprintf(channels, "    </Channel1>\n</TovixChannel>\n");
    std::fclose(channels);

    FILE *config = std::fopen("Configure.xml", "wb");
    std::fprintf(config,
                 "%s<TovixConfig>\n    <FileRoot value=\"videos/\" />\n    <TorrentRoot value=\"torrents/\" />\n"
                 "    <PicRoot value=\"pics/\" />\n    <MaxID value=\"%d\" />\n</TovixConfig>\n",
                 decl, id - 1);
    std::fclose(config);
    for (const char *folder : {"videos", "torrents", "pics"})
        mkdir(folder, 0755);
}

std::string EnterScratchFolder(const char *name)
{
    std::string pattern = std::string("/tmp/") + name + "-XXXXXX";
    if (!mkdtemp(&pattern[0]) || chdir(pattern.c_str()) != 0)
        throw std::runtime_error("scratch folder");
    return pattern;
}
