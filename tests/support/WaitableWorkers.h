// Worker threads a test waits for, with a deadline long enough for loopback work.
#pragma once

#include "net/WorkerThreads.h"

class CWaitableWorkers : public CWorkerThreads {
public:
    bool WaitAll(std::chrono::milliseconds deadline = std::chrono::seconds(20))
    {
        return CWorkerThreads::WaitAll(deadline);
    }
};
