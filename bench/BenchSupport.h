// Small helpers the benchmark programs share: timing, a child process per
// measurement (so each peak memory figure is its own), a generated catalogue.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

double SecondsSince(std::chrono::steady_clock::time_point start);
// CPU time the calling thread has used.
double ThreadCpuSeconds();

struct TMeasured {
    std::vector<double> figures; // what the body returned
    double peakMiB = 0;          // the child's peak resident memory
};

// Runs body in a child process, so that each peak memory figure is its own.
TMeasured RunMeasured(const std::function<std::vector<double>()> &body);

struct TGeneratedCatalogue {
    int channels = 200;
    int filesPerChannel = 500;
    int preserveNum = 400;
    // The stored Progress of file id (numbered from 1); unset: -1, never downloaded.
    std::function<int(int)> progress;
};

// Writes FileInfo.xml, ChannelInfo.xml and Configure.xml (roots videos/, torrents/, pics/)
// into the current directory, with GBK titles and descriptions.
void WriteCatalogue(const TGeneratedCatalogue &shape);

// Makes a fresh temporary folder and enters it.
std::string EnterScratchFolder(const char *name);
