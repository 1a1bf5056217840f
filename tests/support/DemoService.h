// The bundled demo service for the window tests: its sample data, generated
// once into the build tree and shared by every test program, and the service
// itself running as a child process on free loopback ports.
#pragma once

#include "SampleData.h"

#include <string>
#include <sys/types.h>

// The sample data folder (build/tests/demo-data), generated on first use with
// 2-second clips; empty when it cannot be made.
std::string DemoData();

class CDemoService {
public:
    CDemoService() = default;
    ~CDemoService() { Stop(); }
    CDemoService(const CDemoService &) = delete;
    CDemoService &operator=(const CDemoService &) = delete;

    // Serves the sample data with nothing held back for later, trying a few
    // port bases; false when it never came up.
    bool Start();
    void Stop();

    const TServicePorts &Ports() const { return m_ports; }
    std::string WebAddress() const { return "http://127.0.0.1:" + std::to_string(m_ports.web); }

private:
    bool StartOn(uint16_t portBase);

    pid_t m_child = -1;
    TServicePorts m_ports;
};
