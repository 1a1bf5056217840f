// The bundled demo service for the window tests: its sample data, generated
// once into the build tree and shared by every test program, and the service
// itself running as a child process on free loopback ports.
#pragma once

#include "SampleData.h"

#include <initializer_list>
#include <string>
#include <sys/types.h>

// The build tree: the program, the service and the skins the build drew.
std::string BinaryDir();

// The sample data folder (build/tests/demo-data), generated on first use with
// 2-second clips; empty when it cannot be made.
std::string DemoData();

class CDemoService {
public:
    CDemoService() = default;
    ~CDemoService() { Stop(); }
    CDemoService(const CDemoService &) = delete;
    CDemoService &operator=(const CDemoService &) = delete;

    // Serves the sample data from a folder of its own (its request logs and the
    // torrents naming its tracker are this service's alone), holding files back
    // until PublishNext, seeding at most seedRate KB/s (0: no limit); tries a few
    // port bases. False when it never came up.
    bool Start(int seedRate = 0);
    void Stop();
    // Publishes the next held-back file now: its ID, or 0 when none is left.
    int PublishNext();

    const TServicePorts &Ports() const { return m_ports; }
    std::string WebAddress() const { return "http://127.0.0.1:" + std::to_string(m_ports.web); }
    // Every message the service received, one per line.
    std::string Requests() const;

private:
    bool StartOn(uint16_t portBase, int seedRate);
    void StopChild();
    // Reads the service's output until a line containing one of the words; that line.
    std::string ReadUntil(std::initializer_list<const char *> words, int seconds);

    pid_t m_child = -1;
    int m_output = -1;
    std::string m_pending;
    std::string m_folder;
    TServicePorts m_ports;
};
